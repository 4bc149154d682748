// Config.ini, Setting.ini and Preview.ini as the saver engine and the preview module read them.
#include <gtest/gtest.h>

#include "IniFiles.h"
#include "Options.h"
#include "PavonaError.h"
#include "TestUtil.h"

namespace {

const QByteArray kDefaultConfig =
    "[SetInfo]\r\nDisplayMode=0\r\nPlayConfine=0\r\nWidth=800\r\nHeight=600\r\nPlayQuality=1\r\n"
    "PlayOrder=0\r\nBackground=0\r\nBlessingRepeatNumber=0\r\nBlessingLineDelay=3000\r\nShowMouse=0\r\n"
    "SaverPlaySequence=1\r\nBlessingEnabled=1\r\nBlessingDisplayAlign=top\r\n[CloseEvent]\r\nMouseMove=1\r\n"
    "MouseDown=1\r\nKeyDown=1\r\nKeyEsc=1\r\n";

class ConfigFile : public ::testing::Test {
 protected:
  TIniConfig Loaded(const QByteArray& contents) {
    dir.Write("Config.ini", contents);
    return LoadedFromDisk();
  }
  TIniConfig LoadedFromDisk() {
    TIniConfig c;
    c.FileName = dir.Path("Config.ini");
    c.Load();
    return c;
  }
  TempFolder dir;
};

TEST_F(ConfigFile, MissingFileLoadsDefaultsAndSavesTheExampleFile) {
  TIniConfig c;
  c.FileName = dir.Path("Config.ini");
  c.Load();
  EXPECT_TRUE(c.FlashFiles.isEmpty());
  c.Save();
  EXPECT_EQ(dir.Read("Config.ini"), kDefaultConfig);
  // A second save of the same values changes nothing.
  c.Save();
  EXPECT_EQ(dir.Read("Config.ini"), kDefaultConfig);
}

TEST_F(ConfigFile, CreateGivesZeroValuesNotDefaults) {
  TIniConfig c;
  EXPECT_TRUE(c.FileName.isEmpty());
  EXPECT_TRUE(c.BlessingDisplayAlign.isEmpty());
  EXPECT_EQ(c.Width, 0);
  EXPECT_EQ(c.BlessingLineDelay, 0);
  EXPECT_FALSE(c.KeyEsc);
}

TEST_F(ConfigFile, EveryFieldReadsItsKey) {
  const TIniConfig c = Loaded(
      "[setinfo]\r\ndisplaymode=2\r\nPlayConfine=1\r\nWidth=1024\r\nHeight=0x300\r\nPlayQuality=0\r\n"
      "PlayOrder=1\r\nBackground=49\r\nBlessingRepeatNumber=300\r\nBlessingLineDelay=500\r\nShowMouse=1\r\n"
      "SaverPlaySequence=0\r\nBlessingEnabled=0\r\nBlessingDisplayAlign=bottom\r\n"
      "[CLOSEEVENT]\r\nMouseMove=0\r\nMouseDown=0\r\nKeyDown=0\r\nKeyEsc=0\r\n");
  EXPECT_EQ(c.DisplayMode, 2);
  EXPECT_EQ(c.PlayConfine, 1);
  EXPECT_EQ(c.Width, 1024);
  EXPECT_EQ(c.Height, 0x300);
  EXPECT_EQ(c.PlayQuality, 0);
  EXPECT_EQ(c.PlayOrder, 1);
  EXPECT_EQ(c.Background, 49);
  EXPECT_EQ(c.BlessingRepeatNumber, 300);
  EXPECT_EQ(c.BlessingLineDelay, 500);
  EXPECT_TRUE(c.ShowMouse);
  EXPECT_FALSE(c.SaverPlaySequence);
  EXPECT_FALSE(c.BlessingEnabled);
  EXPECT_EQ(c.BlessingDisplayAlign, QString("bottom"));
  EXPECT_FALSE(c.MouseMove);
  EXPECT_FALSE(c.MouseDown);
  EXPECT_FALSE(c.KeyDown);
  EXPECT_FALSE(c.KeyEsc);
}

TEST_F(ConfigFile, FilesWrittenOnWindowsReadTheSame) {
  // Each line end, bracket blanks, key case, quotes, comments and a duplicate key.
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    QByteArray file = "; saved by hand\r\n[ SetInfo ]\r\nwidth = 1024 \r\n;Height=1\r\nHEIGHT=\"768\"\r\n"
                      "height=1\r\nBlessingDisplayAlign='bottom'\r\n[closeevent]\r\nkeyesc=0\r\n";
    file.replace("\r\n", eol);
    const TIniConfig c = Loaded(file);
    EXPECT_EQ(c.Width, 1024) << eol;
    EXPECT_EQ(c.Height, 768) << eol;
    EXPECT_EQ(c.BlessingDisplayAlign, QString("bottom")) << eol;
    EXPECT_FALSE(c.KeyEsc) << eol;
    EXPECT_TRUE(c.KeyDown) << eol;
  }
}

TEST_F(ConfigFile, HexOnlyFileKeepsOtherDefaults) {
  const TIniConfig c = Loaded("[SetInfo]\r\nPlayQuality=0x1\r\n");
  EXPECT_EQ(c.PlayQuality, 1);
  EXPECT_EQ(c.Width, 800);
  EXPECT_EQ(c.Height, 600);
  EXPECT_EQ(c.BlessingLineDelay, 3000);
  EXPECT_TRUE(c.SaverPlaySequence);
  EXPECT_TRUE(c.BlessingEnabled);
  EXPECT_EQ(c.BlessingDisplayAlign, QString("top"));
  EXPECT_TRUE(c.KeyEsc);
}

TEST_F(ConfigFile, UnreadableNumbersTakeTheirDefaultOnly) {
  const TIniConfig c = Loaded("[SetInfo]\r\nWidth=wide\r\nHeight=\r\nBlessingEnabled=yes\r\nPlayOrder=0x\r\n"
                              "BlessingLineDelay=0x7D0\r\n");
  EXPECT_EQ(c.Width, 800);
  EXPECT_EQ(c.Height, 600);
  EXPECT_TRUE(c.BlessingEnabled);
  EXPECT_EQ(c.PlayOrder, 0);
  EXPECT_EQ(c.BlessingLineDelay, 2000);
}

struct AlignCase {
  QByteArray stored;
  const char* loaded;
};
void PrintTo(const AlignCase& c, std::ostream* os) { *os << '"' << c.stored.constData() << '"'; }

class ConfigAlign : public ConfigFile, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(ConfigAlign, NormalisesToTopOrBottom) {
  TIniConfig c = Loaded("[SetInfo]\r\nBlessingDisplayAlign=" + GetParam().stored + "\r\n");
  EXPECT_EQ(c.BlessingDisplayAlign, QString(GetParam().loaded)) << GetParam().stored.constData();
  c.Save();
  EXPECT_TRUE(dir.Read("Config.ini").contains("BlessingDisplayAlign=" + QByteArray(GetParam().loaded) + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigAlign,
                         ::testing::Values(AlignCase{" Bottom ", "bottom"}, AlignCase{"BOTTOM", "bottom"},
                                           AlignCase{"\" bottom \"", "bottom"}, AlignCase{"bottom\x01", "bottom"},
                                           AlignCase{"Top", "top"}, AlignCase{"middle", "top"},
                                           AlignCase{"", "top"}, AlignCase{"bottoms", "top"},
                                           AlignCase{"b o t t o m", "top"}));

TEST_F(ConfigFile, FlashFilesAreCarriedThroughWithEmptyValues) {
  TIniConfig c = Loaded("[SetInfo]\r\nWidth=640\r\n[FlashFiles]\r\na.swf=1\r\nb.swf=\r\n[Extra]\r\nz=1\r\n");
  EXPECT_EQ(c.FlashFiles, QStringList({"a.swf", "b.swf"}));
  c.Save();
  const QByteArray saved = dir.Read("Config.ini");
  EXPECT_TRUE(saved.endsWith("[FlashFiles]\r\na.swf=\r\nb.swf=\r\n")) << saved.constData();
  EXPECT_TRUE(saved.contains("[Extra]\r\nz=1\r\n"));
  EXPECT_EQ(LoadedFromDisk().FlashFiles, QStringList({"a.swf", "b.swf"}));
}

TEST_F(ConfigFile, EmptyOrMissingFlashFilesSectionGetsNoKeys) {
  TIniConfig c = Loaded("[SetInfo]\r\n[FlashFiles]\r\n");
  c.FlashFiles = QStringList({"never.swf"});  // only keys found in the file are written back
  c.Save();
  TIniFile ini(dir.Path("Config.ini"));
  EXPECT_TRUE(ini.SectionExists("FlashFiles"));
  EXPECT_TRUE(ini.ReadSection("FlashFiles").isEmpty());

  dir.Write("Config.ini", "[SetInfo]\r\nWidth=1\r\n");
  c.Save();
  EXPECT_FALSE(ini.SectionExists("FlashFiles"));
}

TEST_F(ConfigFile, LoadWithoutFlashFilesKeepsTheList) {
  TIniConfig c;
  c.FileName = dir.Path("Config.ini");
  c.FlashFiles = QStringList({"kept.swf"});
  dir.Write("Config.ini", "[FlashFiles]\r\n");
  c.Load();
  EXPECT_EQ(c.FlashFiles, QStringList({"kept.swf"}));
}

TEST_F(ConfigFile, UnknownKeysSurviveAndKnownKeysStayInPlace) {
  TIniConfig c = Loaded("; written by hand\r\n[SetInfo]\r\nWidth=1\r\nFuture=keep me\r\n[CloseEvent]\r\nKeyEsc=0\r\n");
  c.Width = 1280;
  c.Save();
  const QByteArray saved = dir.Read("Config.ini");
  EXPECT_TRUE(saved.startsWith("; written by hand\r\n[SetInfo]\r\nWidth=1280\r\nFuture=keep me\r\nDisplayMode=0\r\n"))
      << saved.constData();
  EXPECT_EQ(TIniFile(dir.Path("Config.ini")).ReadString("SetInfo", "Future", ""), QString("keep me"));
}

TEST_F(ConfigFile, RefusedSaveRaisesAndKeepsTheOldFile) {
  TIniConfig c;
  c.FileName = dir.Path("gone/Config.ini");
  c.Load();
  try {
    c.Save();
    FAIL();
  } catch (const EIniFileError& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + c.FileName);
  }
}

TEST(BackgroundColors, FiftyInTheirFixedOrder) {
  const TBackgroundColor* colors = BackgroundColors();
  EXPECT_STREQ(colors[0].Name, "clBlack");
  EXPECT_STREQ(colors[17].Name, "clSkyBlue");
  EXPECT_EQ(colors[17].Red, 166);
  EXPECT_EQ(colors[17].Blue, 240);
  EXPECT_STREQ(colors[19].Name, "clMedGray");
  EXPECT_FALSE(colors[19].IsSystem);
  EXPECT_TRUE(colors[20].IsSystem);
  EXPECT_EQ(colors[44].SystemIndex, 0);
  EXPECT_STREQ(colors[BackgroundColorCount - 1].Name, "clWindowText");
  EXPECT_EQ(colors[BackgroundColorCount - 1].SystemIndex, 8);
}

class ToolFiles : public ::testing::Test {
 protected:
  TempFolder dir;
  AppFolderOverride app{dir.Path()};
};

TEST_F(ToolFiles, SettingDefaultsToTheApplicationFolder) {
  TIniSetting s;
  EXPECT_EQ(s.FileName, dir.Path("Setting.ini"));
  EXPECT_TRUE(s.BuildPath.isEmpty());
  s.Load();
  EXPECT_EQ(s.BuildPath, dir.Path() + "/");
}

TEST_F(ToolFiles, EmptyBuildPathComesBackEmpty) {
  TIniSetting s;
  s.BuildPath = "";
  s.Save();
  EXPECT_EQ(dir.Read("Setting.ini"), QByteArray("[Setting]\r\nBuildPath=\r\n"));
  TIniSetting again;
  again.Load();
  EXPECT_EQ(again.BuildPath, QString(""));
}

TEST_F(ToolFiles, ChineseBuildPathIsGbkOnDiskAndRoundTrips) {
  TIniSetting s;
  s.BuildPath = QStringLiteral("/home/用户/屏保输出");
  s.Save();
  EXPECT_EQ(dir.Read("Setting.ini"), Gbk("[Setting]\r\nBuildPath=/home/用户/屏保输出\r\n"));
  TIniSetting again;
  again.Load();
  EXPECT_EQ(again.BuildPath, s.BuildPath);
}

TEST_F(ToolFiles, BuildPathGbkCannotHoldIsRefusedAndNothingWritten) {
  dir.Write("Setting.ini", "[Setting]\r\nBuildPath=/old\r\n");
  TIniSetting s;
  s.BuildPath = QString::fromUtf8("/tmp/\xF0\x9F\x98\x80");
  EXPECT_THROW(s.Save(), EEncodingError);
  EXPECT_EQ(dir.Read("Setting.ini"), QByteArray("[Setting]\r\nBuildPath=/old\r\n"));
}

TEST_F(ToolFiles, PreviewReplacesItsSectionAsAWhole) {
  dir.Write("Preview.ini", "[Preview]\r\n/old/x.swf=\r\n/old/y.swf=\r\n[Keep]\r\nk=v\r\n");
  TIniPreview p;
  EXPECT_EQ(p.FileName, dir.Path("Preview.ini"));
  QStringList list = {"/m/a.swf", "/m/b.swf", "/m/中文 c.swf"};
  p.SetFlashFiles(list);
  list << "/m/later.swf";  // the preview took a copy
  p.Save();
  EXPECT_EQ(dir.Read("Preview.ini"), Gbk("[Keep]\r\nk=v\r\n[Preview]\r\n/m/a.swf=\r\n/m/b.swf=\r\n/m/中文 c.swf=\r\n"));
  EXPECT_EQ(TIniFile(p.FileName).ReadSection("Preview"), QStringList({"/m/a.swf", "/m/b.swf", "/m/中文 c.swf"}));
}

}  // namespace
