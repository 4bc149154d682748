// TBlessing on real files: FontStyle.ini and Blessing.dat as the saver engine
// reads them, the add/delete/modify commands with scripted dialogs, and what a
// refused write leaves behind.
#include <gtest/gtest.h>

#include <QDir>
#include <stdexcept>

#include "AtomicFile.h"
#include "Blessing.h"
#include "BlessingTestUtil.h"
#include "PavonaError.h"
#include "ProfileDocument.h"
#include "TestUtil.h"

namespace {

// One section as a save writes it: the 27 keys in their order, with the values
// of the effect defaults unless the overrides say otherwise.
QString SavedSection(int index, const std::vector<std::pair<QString, QString>>& overrides) {
  std::vector<std::pair<QString, QString>> keys = {
      {"StyleName", ""},
      {"Charset", ""},
      {"Color", ""},
      {"Height", ""},
      {"FontName", ""},
      {"FontSize", ""},
      {"FontStyle", "0"},
      {"Alpha", "100"},
      {"Blur", "0"},
      {"Noise", "0"},
      {"Spray", "0"},
      {"Angle", "0"},
      {"Outline", "0"},
      {"HorzMirror", "0"},
      {"VertMirror", "0"},
      {"Shadow", "0"},
      {"ShadowAlpha", "70"},
      {"ShadowBlur", "80"},
      {"ShadowColor", "4473924"},
      {"ShadowOffsetX", "2"},
      {"ShadowOffsetY", "2"},
      {"Gradual", "0"},
      {"GradualStartColor", "16777215"},
      {"GradualEndColor", "0"},
      {"GradualStyle", "0"},
      {"Texture", "0"},
      {"TextureMode", "0"},
  };
  for (const auto& [key, value] : overrides) {
    auto it = std::find_if(keys.begin(), keys.end(), [&](const auto& kv) { return kv.first == key; });
    if (it == keys.end()) throw std::logic_error("no such key " + key.toStdString());
    it->second = value;
  }
  QString text = QStringLiteral("[%1]\r\n").arg(index);
  for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
  return text;
}

// The default table as FontStyle.ini, worked out by hand from the style list:
// colours as red + 256 green + 65536 blue, sizes from the heights at 96 dpi.
QByteArray DefaultTableFile() {
  QString f;
  f += SavedSection(0, {{"StyleName", "Title1"},
                        {"Charset", "1"},
                        {"Color", "0"},
                        {"Height", "-21"},
                        {"FontName", "Tahoma"},
                        {"FontSize", "16"},
                        {"Shadow", "1"}});
  f += SavedSection(1, {{"StyleName", "Title2"},
                        {"Charset", "1"},
                        {"Color", "16711680"},
                        {"Height", "-21"},
                        {"FontName", "Tahoma"},
                        {"FontSize", "16"},
                        {"FontStyle", "1"},
                        {"Shadow", "1"},
                        {"ShadowOffsetX", "1"},
                        {"ShadowOffsetY", "1"},
                        {"Gradual", "1"},
                        {"GradualStartColor", "16711808"},
                        {"GradualEndColor", "65535"}});
  f += SavedSection(2, {{"StyleName", "Title3"},
                        {"Charset", "1"},
                        {"Color", "16711680"},
                        {"Height", "-21"},
                        {"FontName", "Arial"},
                        {"FontSize", "16"},
                        {"Shadow", "1"},
                        {"Gradual", "1"},
                        {"GradualStartColor", "16744448"},
                        {"GradualEndColor", "65280"},
                        {"GradualStyle", "4"}});
  f += SavedSection(3, {{"StyleName", "Text1"},
                        {"Charset", "1"},
                        {"Color", "0"},
                        {"Height", "-12"},
                        {"FontName", "Arial"},
                        {"FontSize", "9"},
                        {"ShadowOffsetX", "1"},
                        {"ShadowOffsetY", "1"}});
  f += SavedSection(4, {{"StyleName", "Text2"},
                        {"Charset", "1"},
                        {"Color", "8421376"},
                        {"Height", "-11"},
                        {"FontName", "Arial"},
                        {"FontSize", "8"},
                        {"Shadow", "1"},
                        {"ShadowOffsetX", "1"},
                        {"ShadowOffsetY", "1"}});
  f += SavedSection(5, {{"StyleName", "Title4"},
                        {"Charset", "0"},
                        {"Color", "0"},
                        {"Height", "-19"},
                        {"FontName", "Tahoma"},
                        {"FontSize", "14"},
                        {"Blur", "50"},
                        {"Outline", "1"},
                        {"Shadow", "1"},
                        {"Gradual", "1"},
                        {"GradualStartColor", "16720384"},
                        {"GradualEndColor", "2232575"}});
  f += SavedSection(6, {{"StyleName", "Text3"},
                        {"Charset", "1"},
                        {"Color", "16711680"},
                        {"Height", "-15"},
                        {"FontName", QStringLiteral("隶书")},
                        {"FontSize", "11"},
                        {"Shadow", "1"},
                        {"ShadowOffsetX", "1"},
                        {"ShadowOffsetY", "1"},
                        {"Gradual", "1"},
                        {"GradualStartColor", "13404177"},
                        {"GradualEndColor", "16720554"},
                        {"GradualStyle", "2"}});
  return Gbk(f);
}

class BlessingFiles : public ::testing::Test {
 protected:
  BlessingFiles() {
    b.FontStyleFile = dir.Path("FontStyle.ini");
    b.BlessingFile = dir.Path("Blessing.dat");
    b.FadeText = &model;
  }
  ~BlessingFiles() override { platform::SetWriteFaultHookForTesting(nullptr); }

  void ExpectSameTable(const TFontStyles& got, const TFontStyles& want) {
    ASSERT_EQ(got.Names(), want.Names());
    for (int i = 0; i < want.Count(); ++i) EXPECT_EQ(got[i], want[i]) << i;
  }

  TempFolder dir;
  TBlessingModel model;
  TBlessing b;
};

TEST_F(BlessingFiles, DefaultTableSavesSectionByKeyAndLoadsBackTheSame) {
  b.SaveFontStyles();
  const QByteArray saved = dir.Read("FontStyle.ini");
  EXPECT_EQ(saved, DefaultTableFile()) << saved.toStdString();

  model.Fonts.Clear();
  b.LoadFontStyles();
  ExpectSameTable(model.Fonts, DefaultFontStyles());
  EXPECT_EQ(b.StyleNames, QStringList({"Title1", "Title2", "Title3", "Text1", "Text2", "Title4", "Text3"}));

  // A second save of the loaded table writes the same bytes.
  b.SaveFontStyles();
  EXPECT_EQ(dir.Read("FontStyle.ini"), saved);
}

TEST_F(BlessingFiles, WithoutFontStyleIniTheTableStaysAndTheNamesFollowIt) {
  model.Fonts.Remove("Title2");
  b.LoadFontStyles();
  EXPECT_EQ(model.Fonts.Count(), 6);
  EXPECT_EQ(b.StyleNames, model.Fonts.Names());
  // A folder of that name is no FontStyle.ini either.
  ASSERT_TRUE(QDir().mkdir(dir.Path("FontStyle.ini")));
  b.LoadFontStyles();
  EXPECT_EQ(model.Fonts.Count(), 6);
}

TEST_F(BlessingFiles, AFileWithoutSectionsEmptiesTheTable) {
  for (const QByteArray& contents : {QByteArray(), QByteArray("; only a comment\r\nkey=1\r\n")}) {
    model.Fonts = DefaultFontStyles();
    dir.Write("FontStyle.ini", contents);
    b.LoadFontStyles();
    EXPECT_TRUE(model.Fonts.IsEmpty());
    EXPECT_TRUE(b.StyleNames.isEmpty());
  }
}

TEST_F(BlessingFiles, SectionsLoadInFileOrderAndSaveAsTheirPositions) {
  dir.Write(
      "FontStyle.ini",
      "[5]\r\nStyleName=Five\r\nBlur=50\r\n[2]\r\nStyleName=Two\r\n[9]\r\nStyleName=Nine\r\nFontSize=10\r\n");
  b.LoadFontStyles();
  EXPECT_EQ(b.StyleNames, QStringList({"Five", "Two", "Nine"}));
  EXPECT_EQ(model.Fonts[1].Effect.Blur, 50);
  EXPECT_EQ(model.Fonts[2].Font.Height, -13);
  b.SaveFontStyles();
  const QByteArray saved = dir.Read("FontStyle.ini");
  EXPECT_TRUE(saved.startsWith("[0]\r\nStyleName=Five\r\n")) << saved.toStdString();
  EXPECT_TRUE(saved.contains("[1]\r\nStyleName=Two\r\n"));
  EXPECT_TRUE(saved.contains("[2]\r\nStyleName=Nine\r\n"));
  EXPECT_FALSE(saved.contains("[5]"));
  EXPECT_FALSE(saved.contains("[9]"));
}

TEST_F(BlessingFiles, SectionsOfAnOlderSaveAreGone) {
  QByteArray old;
  for (int i = 0; i < 9; ++i)
    old += "[" + QByteArray::number(i) + "]\r\nStyleName=Old" + QByteArray::number(i) + "\r\n";
  dir.Write("FontStyle.ini", old + "[Extra]\r\nKey=1\r\n");
  b.LoadFontStyles();
  ASSERT_EQ(model.Fonts.Count(), 10);  // [Extra] is a style named Title
  for (const char* name : {"Old1", "Old3", "Old5", "Old7", "title"}) b.DeleteFontStyle(name);
  b.SaveFontStyles();
  const ProfileDocument doc = ProfileDocument::Parse(dir.Read("FontStyle.ini"));
  EXPECT_EQ(doc.SectionNames(), QStringList({"0", "1", "2", "3", "4"}));
  EXPECT_EQ(doc.Value("4", "StyleName"), QString("Old8"));
  EXPECT_EQ(doc.KeyNames("3").size(), 27);
}

TEST_F(BlessingFiles, ScreenResolutionComesFromTheProvider) {
  dir.Write("FontStyle.ini",
            "[0]\r\nStyleName=A\r\nFontSize=14\r\nHeight=-99\r\n[1]\r\nStyleName=B\r\nHeight=-99\r\n");
  b.LoadFontStyles();
  EXPECT_EQ(model.Fonts[0].Font.Height, -19);  // 96 without a provider
  EXPECT_EQ(model.Fonts[1].Font.Height, -19);  // no FontSize: 14 points
  b.ScreenPixelsPerInch = [] { return 120; };
  b.LoadFontStyles();
  EXPECT_EQ(model.Fonts[0].Font.Height, -23);
  b.SaveFontStyles();
  EXPECT_EQ(ProfileDocument::Parse(dir.Read("FontStyle.ini")).Value("0", "FontSize"), QString("14"));
  b.ScreenPixelsPerInch = [] { return 0; };
  EXPECT_EQ(b.PixelsPerInch(), 96);
}

TEST_F(BlessingFiles, ARefusedSaveLeavesTheOldFileWhole) {
  const QByteArray old = "[0]\r\nStyleName=Old\r\n";
  dir.Write("FontStyle.ini", old);

  platform::SetWriteFaultHookForTesting([](const QString&, qint64 written) { return written < 100; });
  try {
    b.SaveFontStyles();
    ADD_FAILURE() << "the save did not fail";
  } catch (const EIniFileError& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + b.FontStyleFile);
  }
  platform::SetWriteFaultHookForTesting(nullptr);
  EXPECT_EQ(dir.Read("FontStyle.ini"), old);

  TFontStyle bad;
  bad.Name = QString::fromUtf8("\xF0\x9F\x98\x80");
  ASSERT_TRUE(model.Fonts.Add(bad));
  EXPECT_THROW(b.SaveFontStyles(), EEncodingError);
  EXPECT_EQ(dir.Read("FontStyle.ini"), old);

  b.FontStyleFile = dir.Path("missing/FontStyle.ini");
  model.Fonts.Remove(bad.Name);
  EXPECT_THROW(b.SaveFontStyles(), EIniFileError);
}

// Blessing.dat ---------------------------------------------------------------

struct TextCase {
  const char* label;
  QStringList lines;
  QByteArray bytes;
};
void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.label;
}

class BlessingText : public BlessingFiles, public ::testing::WithParamInterface<TextCase> {};

TEST_P(BlessingText, SavesAsTheBytesAndLoadsBack) {
  const TextCase& c = GetParam();
  model.Lines = c.lines;
  EXPECT_EQ(b.HasText(), !c.lines.isEmpty());
  b.SaveText();
  EXPECT_EQ(dir.Read("Blessing.dat"), c.bytes);
  model.Lines = QStringList({"stale"});
  b.LoadText();
  EXPECT_EQ(model.Lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlessingText,
    ::testing::Values(TextCase{"three lines", {"a", "", "b"}, "a\r\n\r\nb\r\n"}, TextCase{"no lines", {}, ""},
                      TextCase{"one empty line", {""}, "\r\n"},
                      TextCase{"markup kept as typed",
                               {"<Title1>Hello <Nope> <", " x "},
                               "<Title1>Hello <Nope> <\r\n x \r\n"},
                      TextCase{"chinese",
                               {QStringLiteral("<Title1>新年快乐"), QStringLiteral("万事如意！")},
                               Gbk(QStringLiteral("<Title1>新年快乐\r\n万事如意！\r\n"))}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(BlessingFiles, LinesEndAtAnyLineBreakAndALastLineWithoutOneCounts) {
  struct Case {
    QByteArray bytes;
    QStringList lines;
  };
  const Case cases[] = {
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\n", {""}},
      {"\r\r\n", {"", ""}},
      {"x", {"x"}},
      {Gbk(QStringLiteral("中\r文")), {QStringLiteral("中"), QStringLiteral("文")}},
      {"\xD6", {QString(QChar(0xFFFD))}},  // a lead byte cut off
  };
  for (const Case& c : cases) {
    dir.Write("Blessing.dat", c.bytes);
    b.LoadText();
    EXPECT_EQ(model.Lines, c.lines) << c.bytes.toStdString();
  }
}

TEST_F(BlessingFiles, WithoutBlessingDatTheLinesAreEmpty) {
  model.Lines = QStringList({"old"});
  b.LoadText();
  EXPECT_TRUE(model.Lines.isEmpty());
  EXPECT_FALSE(b.HasText());
}

TEST_F(BlessingFiles, ALineGbkCannotHoldIsRefusedBeforeAnythingIsWritten) {
  dir.Write("Blessing.dat", "old\r\n");
  model.Lines = QStringList({"fine", QString::fromUtf8("emoji \xF0\x9F\x98\x80")});
  EXPECT_THROW(b.SaveText(), EEncodingError);
  EXPECT_EQ(dir.Read("Blessing.dat"), QByteArray("old\r\n"));
}

TEST_F(BlessingFiles, AFailedTextWriteKeepsTheOldFileAndSaysWhere) {
  dir.Write("Blessing.dat", "old\r\n");
  model.Lines = QStringList({"new"});
  platform::SetWriteFaultHookForTesting([](const QString&, qint64) { return false; });
  try {
    b.SaveText();
    ADD_FAILURE() << "the save did not fail";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.Message().startsWith("Unable to write to " + b.BlessingFile)) << e.Message().toStdString();
  }
  platform::SetWriteFaultHookForTesting(nullptr);
  EXPECT_EQ(dir.Read("Blessing.dat"), QByteArray("old\r\n"));

  b.BlessingFile = dir.Path("no/such/folder/Blessing.dat");
  EXPECT_THROW(b.SaveText(), EInOutError);
}

// The style commands ------------------------------------------------------------

class StyleCommands : public BlessingFiles {
 protected:
  StyleCommands() {
    b.InputText = [this](const QString& caption, const QString& prompt, QString& value) {
      asked.push_back({caption, prompt, value});
      if (!answer) return false;
      value = *answer;
      return true;
    };
    b.ShowMsg = [this](int code) {
      messages.push_back(code);
      return 1;
    };
    b.FontDialog = [this](const QString& name, const TFontSpec& current) -> std::optional<TFontSpec> {
      calls << "font:" + name;
      fontSeen = current;
      return fontAnswer;
    };
    b.EffectDialog = [this](const QString& name, const TAAEffect& current) -> std::optional<TAAEffect> {
      calls << "effect:" + name;
      effectSeen = current;
      return effectAnswer;
    };
  }

  struct Question {
    QString caption, prompt, initial;
  };
  std::optional<QString> answer;
  std::vector<Question> asked;
  std::vector<int> messages;
  QStringList calls;
  std::optional<TFontSpec> fontAnswer;
  std::optional<TAAEffect> effectAnswer;
  TFontSpec fontSeen;
  TAAEffect effectSeen;
};

TEST_F(StyleCommands, AddAsksWithTheFixedTextsAndChecksTheName) {
  struct Case {
    std::optional<QString> answer;
    bool added;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {std::nullopt, false, {}},  // cancelled
      {QString(""), false, {305}},        {QString("title1"), false, {304}},
      {QString("TEXT3"), false, {304}},   {QString(" Title1"), true, {}},  // no trimming
      {QString("<x>"), true, {}},                                          // no check for the marks
      {QStringLiteral("祝福"), true, {}},
  };
  for (const Case& c : cases) {
    model.Fonts = DefaultFontStyles();
    answer = c.answer;
    asked.clear();
    messages.clear();
    calls.clear();
    const bool added = b.AddFontStyle();
    const std::string label = c.answer ? c.answer->toStdString() : "cancel";
    EXPECT_EQ(added, c.added) << label;
    EXPECT_EQ(messages, c.messages) << label;
    EXPECT_EQ(model.Fonts.Count(), c.added ? 8 : 7) << label;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, QStringLiteral("添加字体样式"));
    EXPECT_EQ(asked[0].prompt, QStringLiteral("请输入新字体样式的名字，注意：字符内不能包含\"< >\"标记："));
    EXPECT_TRUE(asked[0].initial.isEmpty());
    if (c.added) {
      EXPECT_EQ(model.Fonts[7].Name, *c.answer);
      EXPECT_EQ(calls, QStringList({"font:" + *c.answer, "effect:" + *c.answer})) << label;
    } else {
      EXPECT_TRUE(calls.isEmpty()) << label;
    }
  }
}

TEST_F(StyleCommands, ANewStyleIsGreenTahomaOfTwelvePointsWithAShadowWhenBothDialogsAreCancelled) {
  answer = QString("Mine");
  ASSERT_TRUE(b.AddFontStyle());
  const TFontStyle* s = model.Fonts.Find("Mine");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Font.Name, "Tahoma");
  EXPECT_EQ(s->Font.Size(96), 12);
  EXPECT_EQ(s->Font.Height, -16);
  EXPECT_EQ(ColorToRgb(s->Font.Color), (TRgb{0, 128, 0}));
  EXPECT_EQ(s->Font.Style, 0);
  TAAEffect expected;
  expected.Shadow = true;
  EXPECT_EQ(s->Effect, expected);
  // The dialogs were offered the new style's values.
  EXPECT_EQ(fontSeen, s->Font);
  EXPECT_EQ(effectSeen, s->Effect);
  // The list follows the table only when asked.
  EXPECT_TRUE(b.StyleNames.isEmpty());
  b.RefreshStyleNames();
  EXPECT_EQ(b.StyleNames.back(), "Mine");
}

TEST_F(StyleCommands, TheDialogsAnswersReachTheNewStyle) {
  answer = QString("Mine");
  TFontSpec font;
  font.Name = "Arial";
  font.Height = -30;
  font.Style = fsItalic | fsUnderline;
  font.Color = SystemColor(8);
  font.Charset = 134;
  fontAnswer = font;
  TAAEffect effect;
  effect.Blur = 20;
  effect.TextureMode = TTextureMode::tmCenter;
  effectAnswer = effect;
  ASSERT_TRUE(b.AddFontStyle());
  EXPECT_EQ(model.Fonts.Find("mine")->Font, font);
  EXPECT_EQ(model.Fonts.Find("mine")->Effect, effect);
}

TEST_F(StyleCommands, ANameGbkCannotHoldIsRefusedAtOnce) {
  answer = QString::fromUtf8("\xF0\x9F\x98\x80");
  EXPECT_THROW(b.AddFontStyle(), EEncodingError);
  EXPECT_EQ(model.Fonts, DefaultFontStyles());
  EXPECT_TRUE(calls.isEmpty());
}

TEST_F(StyleCommands, WithoutServicesAddDoesNothing) {
  TBlessing bare;
  bare.FadeText = &model;
  EXPECT_FALSE(bare.AddFontStyle());
  EXPECT_EQ(model.Fonts.Count(), 7);
  bare.ModifyFont("Title1");
  bare.ModifyEffect("Title1");
  EXPECT_EQ(model.Fonts, DefaultFontStyles());
}

TEST_F(StyleCommands, ModifyActsOnTheNamedStyleOnlyOnOk) {
  fontAnswer.reset();
  b.ModifyFont("text2");
  EXPECT_EQ(calls, QStringList({"font:Text2"}));
  EXPECT_EQ(fontSeen, DefaultFontStyles()[4].Font);
  EXPECT_EQ(model.Fonts, DefaultFontStyles());

  TFontSpec font;
  font.Name = "Courier";
  fontAnswer = font;
  b.ModifyFont("TEXT2");
  EXPECT_EQ(model.Fonts[4].Font, font);
  EXPECT_EQ(model.Fonts[4].Effect, DefaultFontStyles()[4].Effect);

  TAAEffect effect;
  effect.Angle = -90;
  effectAnswer = effect;
  b.ModifyEffect("Title4");
  EXPECT_EQ(model.Fonts[5].Effect, effect);

  calls.clear();
  b.ModifyFont("Unknown");
  b.ModifyEffect("Unknown");
  EXPECT_TRUE(calls.isEmpty());
}

TEST_F(StyleCommands, ADialogThatChangesTheTableLeavesNoDanglingStyle) {
  // The dialog's event loop may run other commands: here one deletes the style.
  b.FontDialog = [this](const QString& name, const TFontSpec& current) -> std::optional<TFontSpec> {
    model.Fonts.Remove(name);
    for (int i = 0; i < 50; ++i) {
      TFontStyle s;
      s.Name = QString("filler%1").arg(i);
      model.Fonts.Add(s);
    }
    return current;
  };
  b.ModifyFont("Title1");
  EXPECT_FALSE(model.Fonts.Contains("Title1"));
  EXPECT_EQ(model.Fonts.Count(), 56);
}

TEST_F(StyleCommands, DeleteRemovesTheFirstMatchIgnoringCase) {
  b.RefreshStyleNames();
  b.DeleteFontStyle("TITLE3");
  EXPECT_EQ(model.Fonts.Names(), QStringList({"Title1", "Title2", "Text1", "Text2", "Title4", "Text3"}));
  EXPECT_EQ(b.StyleNames.size(), 7);  // not refreshed by the delete
  b.DeleteFontStyle("nothing");
  EXPECT_EQ(model.Fonts.Count(), 6);
}

TEST_F(StyleCommands, ANameThatProfileReadersWouldAlterSurvivesSaveAndLoad) {
  answer = QString(" Title1");
  ASSERT_TRUE(b.AddFontStyle());
  b.SaveFontStyles();
  b.LoadFontStyles();
  EXPECT_EQ(b.StyleNames.size(), 8);
  EXPECT_EQ(b.StyleNames.back(), " Title1");
}

TEST(Blessing, NeedsItsModel) {
  TBlessing b;
  EXPECT_FALSE(b.HasText());
  EXPECT_THROW(b.LoadFontStyles(), std::logic_error);
  EXPECT_THROW(b.SaveText(), std::logic_error);
}

TEST(Blessing, TheModelStartsWithTheDefaultTableAndTheEightLabels) {
  const TBlessingModel m;
  EXPECT_EQ(m.Fonts, DefaultFontStyles());
  EXPECT_TRUE(m.Lines.isEmpty());
  EXPECT_EQ(TBlessingModel::Labels(),
            QStringList({"Left", "Center", "Right", "Owner", "Organization", "AppTitle", "Date", "Time"}));
}

}  // namespace
