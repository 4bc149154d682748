// The blessing markup as every renderer reads it.
#include <gtest/gtest.h>

#include "BlessingModel.h"
#include "Markup.h"
#include "TestUtil.h"

namespace {

QString Joined(const QList<TMarkupPiece>& pieces) {
  QString s;
  for (const TMarkupPiece& p : pieces) s += p.IsTag ? "<" + p.Text + ">" : p.Text;
  return s;
}

TEST(SplitMarkup, CutsALineIntoTextAndTags) {
  using P = TMarkupPiece;
  struct Case {
    QString line;
    QList<TMarkupPiece> pieces;
  };
  const Case cases[] = {
      {"", {}},
      {"plain", {P{false, "plain"}}},
      {"<Title1>Hi", {P{true, "Title1"}, P{false, "Hi"}}},
      {"a<b>c<d>", {P{false, "a"}, P{true, "b"}, P{false, "c"}, P{true, "d"}}},
      {"<a><b>", {P{true, "a"}, P{true, "b"}}},
      {"x < y", {P{false, "x < y"}}},
      {"1 > 0", {P{false, "1 > 0"}}},
      {"<>", {P{false, "<>"}}},
      {"<<Left>", {P{false, "<"}, P{true, "Left"}}},
      {"<a<b>c", {P{false, "<a"}, P{true, "b"}, P{false, "c"}}},
      {"<Left>>", {P{true, "Left"}, P{false, ">"}}},
      {"< Title1 >", {P{true, " Title1 "}}},
      {"tail<", {P{false, "tail<"}}},
      {QStringLiteral("<隶书>中文"), {P{true, QStringLiteral("隶书")}, P{false, QStringLiteral("中文")}}},
  };
  for (const Case& c : cases) {
    const QList<TMarkupPiece> got = SplitMarkup(c.line);
    EXPECT_EQ(got, c.pieces) << c.line.toStdString();
    EXPECT_EQ(Joined(got), c.line);
  }
}

class ReadMarkupTest : public ::testing::Test {
 protected:
  ReadMarkupTest() {
    context.Owner = "Ann Lee";
    context.Organization = "Acme";
    context.Now = QDateTime(QDate(2006, 8, 18), QTime(12, 36, 5));
    context.Locale = QLocale(QLocale::English, QLocale::UnitedStates);
  }
  TFontStyles styles = DefaultFontStyles();
  TMarkupContext context;
};

TEST_F(ReadMarkupTest, TagsSelectStylesAndAlignmentsAndStandForTheirTexts) {
  struct Case {
    QString line;
    QString text;
    int style;
    std::optional<TLineAlign> align;
  };
  const Case cases[] = {
      {"<Title1>Happy new year", "Happy new year", 0, std::nullopt},
      {"<title2>x", "x", 1, std::nullopt},
      {"<TEXT3>x", "x", 6, std::nullopt},
      {"no tags", "no tags", -1, std::nullopt},
      {"<Title1>a<Text1>b", "ab", 3, std::nullopt},  // the last style wins
      {"<Center>mid", "mid", -1, TLineAlign::Center},
      {"<left><Right>r", "r", -1, TLineAlign::Right},
      {"<RIGHT><Left>l", "l", -1, TLineAlign::Left},
      {"From <Owner> of <Organization>", "From Ann Lee of Acme", -1, std::nullopt},
      {"<AppTitle>!", "Pavona!", -1, std::nullopt},
      {"<Date> <Time>", "8/18/06 12:36 PM", -1, std::nullopt},
      {"<owner><OWNER>", "Ann LeeAnn Lee", -1, std::nullopt},
      {"<Nope>text", "<Nope>text", -1, std::nullopt},
      {"< Title1 >x", "< Title1 >x", -1, std::nullopt},
      {"a < b > c", "a < b > c", -1, std::nullopt},
      {"<<Title1>", "<", 0, std::nullopt},
      {"<Title1", "<Title1", -1, std::nullopt},
      {"<>", "<>", -1, std::nullopt},
      {"<Text2><Center>Wishes, <Owner>", "Wishes, Ann Lee", 4, TLineAlign::Center},
  };
  for (const Case& c : cases) {
    const TMarkupLine got = ReadMarkup(c.line, styles, context);
    EXPECT_EQ(got.Text, c.text) << c.line.toStdString();
    EXPECT_EQ(got.StyleIndex, c.style) << c.line.toStdString();
    EXPECT_EQ(got.Align, c.align) << c.line.toStdString();
  }
}

TEST_F(ReadMarkupTest, ReplacementTextIsNotReadForTags) {
  context.Owner = "<Title1>";
  const TMarkupLine got = ReadMarkup("<Owner>", styles, context);
  EXPECT_EQ(got.Text, "<Title1>");
  EXPECT_EQ(got.StyleIndex, -1);
}

TEST_F(ReadMarkupTest, LabelsComeBeforeStylesOfTheSameName) {
  TFontStyle s;
  s.Name = "date";
  ASSERT_TRUE(styles.Add(s));
  s.Name = QStringLiteral("祝福");
  ASSERT_TRUE(styles.Add(s));
  TMarkupLine got = ReadMarkup("<Date>", styles, context);
  EXPECT_EQ(got.StyleIndex, -1);
  EXPECT_EQ(got.Text, "8/18/06");
  got = ReadMarkup(QStringLiteral("<祝福>好"), styles, context);
  EXPECT_EQ(got.StyleIndex, 8);
  EXPECT_EQ(got.Text, QStringLiteral("好"));
}

TEST_F(ReadMarkupTest, DateAndTimeFollowTheLocale) {
  const QString us = ReadMarkup("<Date>|<Time>", styles, context).Text;
  context.Locale = QLocale(QLocale::Chinese, QLocale::China);
  const QString cn = ReadMarkup("<Date>|<Time>", styles, context).Text;
  EXPECT_NE(cn, us);
  EXPECT_TRUE(cn.startsWith("2006")) << cn.toStdString();
  EXPECT_TRUE(cn.endsWith("12:36")) << cn.toStdString();
}

TEST(MarkupContext, CurrentNamesTheToolAndTheMoment) {
  const QDateTime before = QDateTime::currentDateTime();
  const TMarkupContext c = TMarkupContext::Current();
  EXPECT_EQ(c.AppTitle, "Pavona");
  EXPECT_GE(c.Now, before);
  EXPECT_FALSE(c.Owner.isEmpty());
}

}  // namespace
