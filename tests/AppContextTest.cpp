#include <gtest/gtest.h>

#include "Constant.h"
#include "Functions.h"
#include "TestUtil.h"
#include "Variable.h"

namespace {

TEST(FixedTexts, IdentityAndCaption) {
  EXPECT_EQ(constant::ProductName, QString("Pavona"));
  EXPECT_EQ(constant::SoftVersion, QString("1.8"));
  EXPECT_EQ(constant::BuildDate, QString("2006-8-18 12:36"));
  EXPECT_EQ(constant::MainCaption(), QString("Pavona1.8"));
}

struct MsgCase {
  int code;
  const char* text;
  TMsgStyle style;
};
void PrintTo(const MsgCase& c, std::ostream* os) { *os << "message " << c.code; }

class Catalogue : public ::testing::TestWithParam<MsgCase> {};

TEST_P(Catalogue, CodeGivesItsTextAndStyle) {
  EXPECT_EQ(MessageText(GetParam().code), QString::fromUtf8(GetParam().text)) << GetParam().code;
  EXPECT_EQ(MessageStyle(GetParam().code), GetParam().style) << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Catalogue,
    ::testing::Values(MsgCase{2, "预览模块文件已丢失，无法启用预览功能，建议重新安装软件。", TMsgStyle::Error},
                      MsgCase{11, "预览模块文件已损坏，无法启用预览功能，建议重新安装软件。", TMsgStyle::Error},
                      MsgCase{301, "文件不存在！", TMsgStyle::Warning},
                      MsgCase{302, "文件打开错误！", TMsgStyle::Warning},
                      MsgCase{303, "无法调用浏览器！", TMsgStyle::Warning},
                      MsgCase{304, "字体样式名称以存在，请重新取名。", TMsgStyle::Warning},
                      MsgCase{305, "名称不能为空，请重新取名。", TMsgStyle::Warning},
                      MsgCase{306, "请输入屏保名称。", TMsgStyle::Warning},
                      MsgCase{308, "列表内没有Flash文件，请添加文件。", TMsgStyle::Warning},
                      MsgCase{309, "输出文件夹不存在！", TMsgStyle::Warning},
                      MsgCase{310, "屏保文件生成失败！", TMsgStyle::Error},
                      MsgCase{311, "当前可执行文件中不包含有效的Flash文件！无法提取。", TMsgStyle::Warning},
                      MsgCase{312, "请选择文件。", TMsgStyle::Warning},
                      MsgCase{313, "请至少保留一个字体样式。", TMsgStyle::Warning},
                      MsgCase{314, "屏保名称过长，请不要超过255个字节。", TMsgStyle::Warning},
                      MsgCase{315, "屏保名称中含有无法保存的字符，请修改。", TMsgStyle::Warning},
                      MsgCase{316, "输出文件不能与源文件相同。", TMsgStyle::Warning},
                      MsgCase{350, "屏保文件已经存在，是否覆盖此屏保文件？", TMsgStyle::Question},
                      MsgCase{400, "屏保文件生成完毕！", TMsgStyle::Information},
                      MsgCase{401, "Flash文件提取完毕！", TMsgStyle::Information},
                      MsgCase{0, "", TMsgStyle::Warning}, MsgCase{999, "", TMsgStyle::Warning},
                      MsgCase{-1, "", TMsgStyle::Warning}));

TEST(Catalogue, ForbiddenCharacterMessageIsComposedExactly) {
  // Full-width colon, one blank, then / \ | * : ? " < > two blanks apart, nothing after '>'.
  const QString expected = QString::fromUtf8("屏保名称不能包含下列任何字符之一：") + " /  \\  |  *  :  ?  \"  <  >";
  EXPECT_EQ(MessageText(307), expected);
  EXPECT_EQ(MessageStyle(307), TMsgStyle::Warning);
  EXPECT_EQ(MessageCaption(), QString("提示"));
}

TEST(ApplicationContext, PathsFollowTheExecutableFolder) {
  TempFolder dir;
  AppFolderOverride app(dir.Path());
  InitApplicationContext();
  EXPECT_EQ(AppPath, dir.Path() + "/");
  EXPECT_EQ(IniConfig->FileName, dir.Path("Config.ini"));
  EXPECT_EQ(IniSetting->FileName, dir.Path("Setting.ini"));
  EXPECT_EQ(Blessings->FontStyleFile, dir.Path("FontStyle.ini"));
  EXPECT_EQ(Blessings->BlessingFile, dir.Path("Blessing.dat"));
  EXPECT_FALSE(dir.Exists("Config.ini")) << "making the context reads and writes nothing";
  EXPECT_FALSE(dir.Exists("Setting.ini"));
  EXPECT_EQ(IniConfig->Width, 0);
}

TEST(ApplicationContext, RootFolderGivesASingleSeparator) {
  AppFolderOverride app("");  // an executable at "/pavona"
  InitApplicationContext();
  EXPECT_EQ(AppPath, QString("/"));
  EXPECT_EQ(IniConfig->FileName, QString("/Config.ini"));
}

}  // namespace
