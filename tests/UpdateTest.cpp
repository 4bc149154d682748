// The update page parser and the version comparison.
#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>

#include "TestUtil.h"
#include "untUpdate.h"

namespace {

QByteArray Section(int n, const QByteArray& ver, const QByteArray& extra = "") {
  const QByteArray d = QByteArray::number(n);
  return "(" + d + ")(ver)" + ver + "(/ver)(upday)day" + d + "(/upday)(size)size" + d +
         "(/size)(url)http://h/" + d + "(/url)(uptext)text" + d + "(/uptext)" + extra + "(/" + d + ")";
}

struct PageCase {
  const char* label;
  QByteArray page;
  TSoftUpdate fields;
};
void PrintTo(const PageCase& c, std::ostream* os) {
  *os << c.label;
}

class UpdatePage : public ::testing::TestWithParam<PageCase> {};

TEST_P(UpdatePage, GivesTheFieldsOfSectionFour) {
  const PageCase& c = GetParam();
  const TSoftUpdate got = TCheckUpdate::GetSoftUpdate(TCheckUpdate::GetSection(SectionNumber, c.page));
  EXPECT_EQ(got.Ver, c.fields.Ver);
  EXPECT_EQ(got.UpDay, c.fields.UpDay);
  EXPECT_EQ(got.Size, c.fields.Size);
  EXPECT_EQ(got.Url, c.fields.Url);
  EXPECT_EQ(got.UpText, c.fields.UpText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdatePage,
    ::testing::Values(
        PageCase{"only section four counts",
                 "<html>" + Section(1, "9.9(x)") + Section(4, "1.9(2006)") + "</html>",
                 {"1.9(2006)", "day4", "size4", "http://h/4", "text4"}},
        PageCase{"first start marker wins even inside another section",
                 "(1)(4)(ver)a(/ver)(/1)(4)(ver)b(/ver)(/4)",
                 {"a", "", "", "", ""}},
        PageCase{"blanks kept", "(4)(size) 1.2 MB (/size)(/4)", {"", "", " 1.2 MB ", "", ""}},
        PageCase{"line breaks kept",
                 "(4)(uptext)\r\nfixed\r\nadded\r\n(/uptext)(/4)",
                 {"", "", "", "", "\r\nfixed\r\nadded\r\n"}},
        PageCase{"capital tags are not found",
                 "(4)(VER)1.9((/VER)(Url)u(/Url)(url)v(/url)(/4)",
                 {"", "", "", "v", ""}},
        PageCase{"first of two ver fields",
                 "(4)(ver)1.9(a)(/ver)(ver)2.0(b)(/ver)(/4)",
                 {"1.9(a)", "", "", "", ""}},
        PageCase{"close without open", "(4)1.9(/ver)(upday)d(/upday)(/4)", {"", "d", "", "", ""}},
        PageCase{"open without close", "(4)(ver)1.9(upday)d(/upday)(/4)", {"", "d", "", "", ""}},
        PageCase{"any order", "(4)(url)u(/url)x(size)s(/size)y(ver)v((/ver)(/4)", {"v(", "", "s", "u", ""}},
        PageCase{"empty value", "(4)(ver)(/ver)(/4)", {"", "", "", "", ""}},
        PageCase{"field after the end marker is outside",
                 "(4)(url)u(/url)(/4)(ver)1.9(x)(/ver)",
                 {"", "", "", "u", ""}},
        PageCase{"no section four", Section(40, "2(x)") + Section(14, "2(x)"), {}},
        PageCase{"start without end", "(4)(ver)2(x)(/ver)", {}},
        PageCase{"end before start only", "(/4)(4)(ver)2(x)(/ver)", {}},
        PageCase{"gbk text taken as bytes",
                 "(4)(uptext)\xD0\xC2\xB0\xE6(/uptext)(/4)",
                 {"", "", "", "", "\xD0\xC2\xB0\xE6"}},
        PageCase{"empty page", "", {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(UpdatePage, SectionStartsWithItsMarkerAndStopsBeforeTheEnd) {
  EXPECT_EQ(TCheckUpdate::GetSection(4, "xx(4)body(/4)yy(/4)"), QByteArray("(4)body"));
  EXPECT_EQ(TCheckUpdate::GetSection(12, "(1)(12)a(/12)"), QByteArray("(12)a"));
  EXPECT_EQ(TCheckUpdate::GetSection(4, "(4)(/4)"), QByteArray("(4)"));
  EXPECT_EQ(TCheckUpdate::GetSection(4, "(04)a(/04)"), QByteArray());
}

TEST(UpdatePage, TagTextLooksForTheCloseTagFromTheOpenTagOn) {
  EXPECT_EQ(TCheckUpdate::GetTagText("a[x]b[/x]c[/x]", "[x]", "[/x]"), QByteArray("b"));
  EXPECT_EQ(TCheckUpdate::GetTagText("[/x][x]b", "[x]", "[/x]"), QByteArray());
  // A close tag inside the open tag leaves nothing between them.
  EXPECT_EQ(TCheckUpdate::GetTagText("<ab>c<a", "<ab>", "<a"), QByteArray());
  EXPECT_EQ(TCheckUpdate::GetTagText("<ab>c", "<ab>", "b>"), QByteArray());
}

TEST(VersionCheck, ComparesDecimalNumbers) {
  struct Case {
    QByteArray current, newest;
    bool newer;
  };
  const Case cases[] = {
      {"1.8", "1.9(2006-9-1)", true}, {"1.8", "1.8(2006-8-18)", false},
      {"1.8", "1.10(beta)", false},   {"1.8", "1.80(", false},
      {"1.8", "2(x)", true},          {"1.8", "1.81(x)", true},
      {"1.8", " 1.9 (x)", true},      {"1.8", "+1.9(", true},
      {"1.8", "-2(", false},          {"1.8", "1.9((x)", true},
      {"1.8", "1e1(", true},          {"1.8", ".9(", false},
      {"1.8", "9.(", true},           {"2", "10(", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TCheckUpdate::IsNewVersion(c.current, c.newest), c.newer)
        << c.current.toStdString() << " vs " << c.newest.toStdString();
  }
}

TEST(VersionCheck, TextThatIsNoNumberRaisesAConversionError) {
  const std::pair<QByteArray, QByteArray> cases[] = {
      {"1.8", "1.9"},                                                // no "("
      {"1.8", "(1.9)"},                                              // begins with it
      {"1.8", ""},           {"1.8", "v1.9(x)"}, {"1.8", "1,9(x)"},  // only '.' separates decimals
      {"1.8", "1.9.1(x)"},   {"1.8", ".(x)"},    {"1.8", "1e(x)"},   {"1.8", "inf(x)"},
      {"1.8", "1e99999(x)"}, {"", "1.9(x)"},     {"1.8b", "1.9(x)"},
  };
  for (const auto& [current, newest] : cases) {
    EXPECT_THROW(TCheckUpdate::IsNewVersion(current, newest), EConvertError)
        << current.toStdString() << " vs " << newest.toStdString();
  }
  try {
    TCheckUpdate::IsNewVersion("1.8", "abc(");
    ADD_FAILURE() << "no error";
  } catch (const EPavonaError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
}

TEST(VersionCheck, AMissingSectionMakesTheComparisonRaise) {
  const TSoftUpdate u =
      TCheckUpdate::GetSoftUpdate(TCheckUpdate::GetSection(SectionNumber, "(3)(ver)9(x)(/ver)(/3)"));
  EXPECT_EQ(u, TSoftUpdate());
  EXPECT_THROW(TCheckUpdate::IsNewVersion("1.8", u.Ver), EConvertError);
}

TEST(VersionCheck, TheUsersNumberFormatDoesNotMatter) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  EXPECT_TRUE(TCheckUpdate::IsNewVersion("1.8", "1.9(x)"));
  EXPECT_FALSE(TCheckUpdate::IsNewVersion("1.8", "1.10(x)"));
  EXPECT_THROW(TCheckUpdate::IsNewVersion("1,8", "1,9(x)"), EConvertError);
  std::setlocale(LC_NUMERIC, savedC.c_str());
  QLocale::setDefault(saved);
  if (!german) GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed; only Qt's default locale was switched";
}

}  // namespace
