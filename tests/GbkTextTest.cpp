#include <gtest/gtest.h>

#include "GbkText.h"
#include "PavonaError.h"

namespace {

TEST(GbkText, ChineseRoundTripsAsGbkBytes) {
  const QString text = QStringLiteral("屏保 D:\\中文\\路径 €");
  const QByteArray bytes = gbk::Encode(text);
  EXPECT_EQ(bytes, QByteArray("\xC6\xC1\xB1\xA3 D:\\\xD6\xD0\xCE\xC4\\\xC2\xB7\xBE\xB6 \x80"));
  EXPECT_EQ(gbk::Decode(bytes), text);
  EXPECT_TRUE(gbk::IsValid(bytes));
}

TEST(GbkText, RefusesWhatGbkCannotHoldNamingTheCharacter) {
  const QString emoji = QString::fromUtf8("ok \xF0\x9F\x98\x80");
  EXPECT_FALSE(gbk::TryEncode(emoji).has_value());
  EXPECT_FALSE(gbk::CanEncode(emoji));
  try {
    gbk::Encode(emoji);
    FAIL();
  } catch (const EEncodingError& e) {
    EXPECT_TRUE(e.Message().contains(QString::fromUtf8("\xF0\x9F\x98\x80"))) << e.Message().toStdString();
    EXPECT_TRUE(e.Message().contains("GBK"));
  }
  EXPECT_FALSE(gbk::CanEncode(QString(QChar(0xD800))));  // lone surrogate
  EXPECT_FALSE(gbk::CanEncode(QString::fromUtf8("\xE0\xB8\x81")));  // Thai
}

TEST(GbkText, DamagedBytesDecodeWithoutFailing) {
  EXPECT_EQ(gbk::Decode("a\xFF" "b"), QString::fromUtf8("a\xEF\xBF\xBD" "b"));
  EXPECT_EQ(gbk::Decode("a\xC6"), QString::fromUtf8("a\xEF\xBF\xBD"));  // cut-off character
  EXPECT_FALSE(gbk::IsValid("a\xC6"));
  EXPECT_TRUE(gbk::Decode(QByteArray()).isEmpty());
}

}  // namespace
