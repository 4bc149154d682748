// The style table and its FontStyle.ini form, without files: colours, the
// height/size arithmetic, the table's name rules and the reader's key rules.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "BlessingTestUtil.h"
#include "FontStyle.h"
#include "PavonaError.h"
#include "ProfileDocument.h"
#include "TestUtil.h"

namespace {

TEST(Colors, WindowsValuesTurnIntoRgb) {
  struct Case {
    TColorValue value;
    TRgb rgb;
  };
  const Case cases[] = {
      {0, {0, 0, 0}},
      {16711680, {0, 0, 255}},  // blue: red is the lowest byte
      {4473924, {68, 68, 68}},
      {RgbColor(17, 136, 204), {17, 136, 204}},
      {static_cast<TColorValue>(0x02123456), {0x56, 0x34, 0x12}},  // palette flags are no system colour
      {-16777201, {212, 208, 200}},                                // 0xFF00000F, COLOR_BTNFACE
      {SystemColor(5), {255, 255, 255}},                           // COLOR_WINDOW
      {SystemColor(8), {0, 0, 0}},                                 // COLOR_WINDOWTEXT
      {SystemColor(13), {10, 36, 106}},                            // COLOR_HIGHLIGHT
      {SystemColor(24), {255, 255, 225}},                          // COLOR_INFOBK
      {SystemColor(30), {212, 208, 200}},                          // COLOR_MENUBAR, the last index
      {SystemColor(31), {0, 0, 0}},                                // no such index
      {SystemColor(255), {0, 0, 0}},
  };
  for (const Case& c : cases) {
    const TRgb got = ColorToRgb(c.value);
    EXPECT_EQ(got, c.rgb) << c.value << " gave " << got.Red << "," << got.Green << "," << got.Blue;
  }
  EXPECT_EQ(SystemColor(15), -16777201);
  EXPECT_TRUE(IsSystemColor(SystemColor(0)));
  EXPECT_FALSE(IsSystemColor(RgbColor(255, 255, 255)));
  EXPECT_FALSE(IsSystemColor(static_cast<TColorValue>(0x80FFFFFF)));
}

TEST(FontArithmetic, MulDivRoundsHalfAwayFromZeroAndHoldsItsRange) {
  struct Case {
    int a, b, c, expected;
  };
  const Case cases[] = {
      {21, 72, 96, 16},
      {-21, 72, 96, -16},
      {14, 96, 72, 19},
      {12, 96, 72, 16},
      {1, 3, 2, 2},
      {-1, 3, 2, -2},
      {1, -3, 2, -2},
      {-1, -3, -2, -2},
      {5, 1, 0, 0},
      {INT_MAX, 2, 1, INT_MAX},
      {INT_MIN, 1, 1, -INT_MAX},
      {INT_MAX, 96, 72, INT_MAX},
      {INT_MIN, 72, 96, -1610612736},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(FontArithmetic, SizeAndHeightFollowThePixelsPerInch) {
  struct Case {
    int size, dpi, height;
  };
  const Case cases[] = {{14, 96, -19}, {12, 96, -16},  {16, 96, -21}, {9, 96, -12},  {8, 96, -11},
                        {11, 96, -15}, {14, 120, -23}, {14, 72, -14}, {-10, 96, 13}, {14, 0, -19}};
  for (const Case& c : cases)
    EXPECT_EQ(FontHeightFromSize(c.size, c.dpi), c.height) << c.size << "@" << c.dpi;
  // Every height of the default table gives back its size at 96 pixels per inch.
  for (const TFontStyle& s : DefaultFontStyles()) {
    EXPECT_EQ(FontHeightFromSize(s.Font.Size(96), 96), s.Font.Height) << s.Name.toStdString();
  }
}

TEST(FontStyles, NamesAreUniqueWithoutRegardToCase) {
  TFontStyles t;
  TFontStyle a;
  a.Name = "Title1";
  EXPECT_TRUE(t.Add(a));
  TFontStyle b = a;
  b.Name = "TITLE1";
  b.Font.Height = -40;
  EXPECT_FALSE(t.Add(b));
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t[0].Font.Height, a.Font.Height);

  b.Name = "Text";
  EXPECT_TRUE(t.Add(b));
  EXPECT_EQ(t.IndexOf("text"), 1);
  EXPECT_EQ(t.IndexOf("title1"), 0);
  EXPECT_EQ(t.IndexOf("Title"), -1);
  EXPECT_EQ(t.Find("TEXT")->Font.Height, -40);
  EXPECT_EQ(t.Find("nope"), nullptr);

  EXPECT_FALSE(t.Rename(1, "title1"));
  EXPECT_TRUE(t.Rename(0, "TITLE1"));  // its own name in other letters
  EXPECT_TRUE(t.Rename(1, "Other"));
  EXPECT_EQ(t.Names(), QStringList({"TITLE1", "Other"}));

  EXPECT_FALSE(t.Remove("missing"));
  EXPECT_TRUE(t.Remove("other"));
  EXPECT_EQ(t.Names(), QStringList({"TITLE1"}));
}

TEST(FontStyles, NonAsciiNamesCompareWithoutRegardToCase) {
  TFontStyles t;
  TFontStyle s;
  s.Name = QStringLiteral("Ärger");
  ASSERT_TRUE(t.Add(s));
  s.Name = QStringLiteral("äRGER");
  EXPECT_FALSE(t.Add(s));
  s.Name = QStringLiteral("隶书");
  EXPECT_TRUE(t.Add(s));
  EXPECT_EQ(t.IndexOf(QStringLiteral("隶书")), 1);
}

TFontStyles Read(const QString& ini, int dpi = 96) {
  return ReadFontStyles(ProfileDocument::Parse(Gbk(ini)), dpi);
}

// One key of one section, read on its own: the width of its field, the range
// checks and the integer forms.
struct KeyCase {
  const char* key;
  const char* text;
  std::function<bool(const TFontStyle&)> holds;
  const char* what;
};
void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << c.key << "=" << c.text << " -> " << c.what;
}

class FontStyleKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FontStyleKey, ReadsAsTheFieldKeepsIt) {
  const KeyCase& c = GetParam();
  const TFontStyles t = Read(QStringLiteral("[0]\r\nStyleName=S\r\n%1=%2\r\n").arg(c.key, c.text));
  ASSERT_EQ(t.Count(), 1);
  EXPECT_TRUE(c.holds(t[0])) << c.what << "; got " << ::testing::PrintToString(t[0]);
}

#define HOLDS(expr) [](const TFontStyle& s) { return expr; }, #expr
INSTANTIATE_TEST_SUITE_P(
    Cases, FontStyleKey,
    ::testing::Values(
        KeyCase{"Alpha", "300", HOLDS(s.Effect.Alpha == 44)},
        KeyCase{"Alpha", "-1", HOLDS(s.Effect.Alpha == 255)},
        KeyCase{"Alpha", "150", HOLDS(s.Effect.Alpha == 150)},
        KeyCase{"Blur", "0x132", HOLDS(s.Effect.Blur == 0x32)},
        KeyCase{"Noise", "256", HOLDS(s.Effect.Noise == 0)},
        KeyCase{"Spray", "99", HOLDS(s.Effect.Spray == 99)},
        KeyCase{"ShadowAlpha", "356", HOLDS(s.Effect.ShadowAlpha == 100)},
        KeyCase{"ShadowBlur", "x", HOLDS(s.Effect.ShadowBlur == 80)},
        KeyCase{"Angle", "-360", HOLDS(s.Effect.Angle == -360)},
        KeyCase{"Angle", "70000", HOLDS(s.Effect.Angle == 4464)},
        KeyCase{"Angle", "32768", HOLDS(s.Effect.Angle == -32768)},
        KeyCase{"ShadowOffsetX", "-20", HOLDS(s.Effect.ShadowOffsetX == -20)},
        KeyCase{"ShadowOffsetX", "130", HOLDS(s.Effect.ShadowOffsetX == -126)},
        KeyCase{"ShadowOffsetY", "255", HOLDS(s.Effect.ShadowOffsetY == -1)},
        KeyCase{"GradualStyle", "9", HOLDS(s.Effect.GradualStyle == TGradualStyle::gsLeftToRight)},
        KeyCase{"GradualStyle", "6", HOLDS(s.Effect.GradualStyle == TGradualStyle::gsLeftToRight)},
        KeyCase{"GradualStyle", "5", HOLDS(s.Effect.GradualStyle == TGradualStyle::gsCenterToTB)},
        KeyCase{"GradualStyle", "261", HOLDS(s.Effect.GradualStyle == TGradualStyle::gsCenterToTB)},
        KeyCase{"GradualStyle", "-1", HOLDS(s.Effect.GradualStyle == TGradualStyle::gsLeftToRight)},
        KeyCase{"TextureMode", "4", HOLDS(s.Effect.TextureMode == TTextureMode::tmTiled)},
        KeyCase{"TextureMode", "3", HOLDS(s.Effect.TextureMode == TTextureMode::tmNormal)},
        KeyCase{"TextureMode", "259", HOLDS(s.Effect.TextureMode == TTextureMode::tmNormal)},
        KeyCase{"ShadowColor", "-16777201", HOLDS(s.Effect.ShadowColor == SystemColor(15))},
        KeyCase{"GradualEndColor", "0xFFFFFFFF", HOLDS(s.Effect.GradualEndColor == -1)},
        KeyCase{"Outline", "2", HOLDS(s.Effect.Outline)}, KeyCase{"Shadow", "0x0", HOLDS(!s.Effect.Shadow)},
        KeyCase{"Texture", "-1", HOLDS(s.Effect.Texture)},
        KeyCase{"HorzMirror", "", HOLDS(!s.Effect.HorzMirror)},
        KeyCase{"Charset", "390", HOLDS(s.Font.Charset == 134)},
        KeyCase{"Charset", "zz", HOLDS(s.Font.Charset == 134)},
        KeyCase{"Color", "-16777211", HOLDS(s.Font.Color == SystemColor(5))},
        KeyCase{"Color", "0x800080", HOLDS(s.Font.Color == RgbColor(128, 0, 128))},
        KeyCase{"FontStyle", "0x10F", HOLDS(s.Font.Style == 0x0F)},
        KeyCase{"FontSize", "72", HOLDS(s.Font.Height == -96)},
        KeyCase{"FontSize", "99999999999", HOLDS(s.Font.Height == -19)},
        KeyCase{"Height", "-40", HOLDS(s.Font.Height == -19)},
        KeyCase{"FontName", "  'Courier New'  ", HOLDS(s.Font.Name == "Courier New")},
        KeyCase{"FontName", "", HOLDS(s.Font.Name.isEmpty())}),
    [](const auto& info) { return "case" + std::to_string(info.index); });
#undef HOLDS

TEST(ReadFontStyles, MissingKeysTakeTheirDefaults) {
  const TFontStyles t = Read("[any]\r\n");
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t[0].Name, "Title");
  EXPECT_EQ(t[0].Font.Charset, 134);
  EXPECT_EQ(t[0].Font.Color, 0);
  EXPECT_EQ(t[0].Font.Name, "Tahoma");
  EXPECT_EQ(t[0].Font.Height, -19);  // 14 points
  EXPECT_EQ(t[0].Font.Style, 0);
  EXPECT_EQ(t[0].Effect, TAAEffect());
}

TEST(ReadFontStyles, AValueEndsAtANulByteAndTheTableStaysWritable) {
  const char raw[] = "[0]\r\nStyleName=A\0B\r\nFontName=Ari\0al\r\nFontSize=10\0 junk\r\n";
  const QByteArray file(raw, sizeof raw - 1);
  const TFontStyles t = ReadFontStyles(ProfileDocument::Parse(file), 96);
  ASSERT_EQ(t.Count(), 1);
  EXPECT_EQ(t[0].Name, "A");
  EXPECT_EQ(t[0].Font.Name, "Ari");
  EXPECT_EQ(t[0].Font.Height, -13);
  ProfileDocument out;
  WriteFontStyles(out, t, 96);
  EXPECT_EQ(ReadFontStyles(ProfileDocument::Parse(out.Serialize()), 96), t);
}

TEST(ReadFontStyles, FontSizeDecidesTheHeightAtTheScreensResolution) {
  for (auto [dpi, height] : {std::pair{96, -19}, {120, -23}, {144, -28}, {72, -14}}) {
    const TFontStyles t = Read("[0]\r\nHeight=-40\r\n", dpi);
    EXPECT_EQ(t[0].Font.Height, height) << dpi;
  }
  EXPECT_EQ(Read("[0]\r\nHeight=-40\r\nFontSize=10\r\n", 120)[0].Font.Height, -17);
}

TEST(ReadFontStyles, SectionsCountInFileOrderWhateverTheirNames) {
  const TFontStyles t = Read("[5]\r\nStyleName=Five\r\n[2]\r\nStyleName=Two\r\n[9]\r\nStyleName=Nine\r\n");
  EXPECT_EQ(t.Names(), QStringList({"Five", "Two", "Nine"}));
  EXPECT_TRUE(Read("; nothing but a comment\r\nStyleName=x\r\n").IsEmpty());
}

TEST(ReadFontStyles, EffectValuesCarryIntoTheNextSectionButFontValuesDoNot) {
  const TFontStyles t = Read(
      "[a]\r\nStyleName=A\r\nBlur=50\r\nShadow=1\r\nGradualStyle=3\r\nCharset=0\r\nFontName=Arial\r\nColor="
      "255\r\n"
      "[b]\r\nStyleName=B\r\n"
      "[c]\r\nStyleName=C\r\nBlur=7\r\n");
  ASSERT_EQ(t.Count(), 3);
  EXPECT_EQ(t[1].Effect.Blur, 50);
  EXPECT_TRUE(t[1].Effect.Shadow);
  EXPECT_EQ(t[1].Effect.GradualStyle, TGradualStyle::gsBottomToTop);
  EXPECT_EQ(t[1].Font.Charset, 134);
  EXPECT_EQ(t[1].Font.Name, "Tahoma");
  EXPECT_EQ(t[1].Font.Color, 0);
  EXPECT_EQ(t[2].Effect.Blur, 7);
  EXPECT_TRUE(t[2].Effect.Shadow);
  // The first section starts from the effect defaults, not from anything loaded before.
  EXPECT_EQ(t[0].Effect.Alpha, 100);
}

TEST(ReadFontStyles, ALaterSectionWithATakenNameIsPassedOverAsAWhole) {
  const TFontStyles t = Read(
      "[0]\r\nStyleName=Title1\r\nBlur=1\r\n"
      "[1]\r\nStyleName=TITLE1\r\nBlur=99\r\nFontName=Arial\r\n"
      "[2]\r\nStyleName=Other\r\n"
      "[3]\r\nBlur=3\r\n"
      "[4]\r\nFontName=Dup\r\n");
  EXPECT_EQ(t.Names(), QStringList({"Title1", "Other", "Title"}));
  EXPECT_EQ(t[0].Font.Name, "Tahoma");
  // The skipped section's Blur 99 reaches nobody.
  EXPECT_EQ(t[1].Effect.Blur, 1);
  EXPECT_EQ(t[2].Effect.Blur, 3);
}

TEST(WriteFontStyles, NamesWithOuterBlanksOrQuotesReadBackUnchanged) {
  TFontStyles t;
  const QStringList names = {" Title", "Title ", "\tx", "\"q\"", "'s'", "a\"b", "<Tag>", "x=y;z", "中文 "};
  for (const QString& n : names) {
    TFontStyle s;
    s.Name = n;
    s.Font.Name = n + "F";
    ASSERT_TRUE(t.Add(s)) << n.toStdString();
  }
  ProfileDocument doc;
  WriteFontStyles(doc, t, 96);
  const TFontStyles back = ReadFontStyles(ProfileDocument::Parse(doc.Serialize()), 96);
  EXPECT_EQ(back.Names(), names);
  for (int i = 0; i < back.Count(); ++i) EXPECT_EQ(back[i].Font.Name, names[i] + "F");
}

TEST(WriteFontStyles, ANameGbkCannotHoldLeavesTheDocumentAsItWas) {
  const QByteArray before = "; kept\r\n[7]\r\nStyleName=Old\r\n";
  ProfileDocument doc = ProfileDocument::Parse(before);
  TFontStyles t = DefaultFontStyles();
  TFontStyle bad;
  bad.Name = QString::fromUtf8("smile \xF0\x9F\x98\x80");
  ASSERT_TRUE(t.Add(bad));
  EXPECT_THROW(WriteFontStyles(doc, t, 96), EEncodingError);
  EXPECT_EQ(doc.Serialize(), before);
}

TEST(WriteFontStyles, EverySectionGoesEvenWhenANameStandsTwice) {
  ProfileDocument doc =
      ProfileDocument::Parse("; head\r\n[0]\r\nStale=1\r\n[x]\r\nk=v\r\n[0]\r\nStale=2\r\n[X]\r\nk=w\r\n");
  TFontStyles t;
  TFontStyle s;
  s.Name = "Only";
  t.Add(s);
  WriteFontStyles(doc, t, 96);
  const QByteArray out = doc.Serialize();
  EXPECT_TRUE(out.startsWith("; head\r\n[0]\r\nStyleName=Only\r\n")) << out.toStdString();
  EXPECT_FALSE(out.contains("Stale"));
  EXPECT_FALSE(out.contains("k="));
  EXPECT_EQ(ProfileDocument::Parse(out).SectionNames(), QStringList({"0"}));
}

}  // namespace
