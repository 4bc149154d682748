// Building and previewing from the wizard's fourth page, through the real window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QCheckBox>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

#include "Dialogs.h"
#include "IniFiles.h"
#include "Operation.h"
#include "PackageReader.h"
#include "TestUtil.h"
#include "Variable.h"
#include "untMain.h"

using platform::DialogScript;
using Kind = platform::DialogScript::Shown::Kind;

namespace {

class BuildPipeline : public ::testing::Test {
 protected:
  void SetUp() override {
    DialogScript::Reset();
    DialogScript::SetStrict(true);
    for (const char* stub : {"Install.dll", "Glimmora.dll", "Uninstall.dll"}) dir.Write(stub, QByteArray(1000, 's'));
    QDir(dir.Path()).mkdir("out");
    QDir(dir.Path()).mkdir("swf");
    a = Movie("a.swf", 3000);
    b = Movie("b.swf", 5000);
    w = std::make_unique<TPavona_Main>();
    w->show();
    w->edtSaverName->setText("Demo");
    w->edtBuildPath->setText(dir.Path("out"));
    w->lstFlashFiles->addItems({a, b});
  }
  void TearDown() override {
    w.reset();
    DialogScript::Reset();
  }
  QString Movie(const QString& name, int size) {
    dir.Write("swf/" + name, QByteArray(size, name[0].toLatin1()));
    return dir.Path("swf/" + name);
  }
  void Run(const char* name) {
    // A person's click reaches the window as events before the command runs.
    QApplication::postEvent(w.get(), new QEvent(QEvent::User));
    QApplication::processEvents();
    w->findChild<QAction*>(name)->trigger();
    QApplication::processEvents();
  }
  QList<DialogScript::Shown> Shown(Kind kind) {
    QList<DialogScript::Shown> out;
    for (const auto& s : DialogScript::History())
      if (s.kind == kind) out << s;
    return out;
  }
  QStringList Messages() {
    QStringList texts;
    for (const auto& s : Shown(Kind::Message)) texts << s.text;
    return texts;
  }
  // Runs once inside the build, when the writer reports its first progress step
  // after the stubs (the window is processing events between files then).
  void DuringBuild(std::function<void()> f) {
    auto once = std::make_shared<bool>(false);
    QObject::connect(w->pbBuildSaver, &QProgressBar::valueChanged, w.get(), [this, f, once](int v) {
      if (v == 2 && !*once && BuildingSaver) {
        *once = true;
        f();
      }
    });
  }
  QStringList EntryNames(const QString& package) {
    TPackageReader reader;
    if (!reader.Open(package)) return {"unreadable: " + reader.ErrorText()};
    QStringList names;
    for (const auto& e : reader.Entries()) names << QString::fromLatin1(e.EntryName);
    return names;
  }

  TempFolder dir;
  AppFolderOverride app{dir.Path()};
  std::unique_ptr<TPavona_Main> w;
  QString a, b;
};

TEST_F(BuildPipeline, ChecksReportOneThingAtATimeInOrder) {
  struct Case {
    QString name;
    QString folder;
    bool emptyList;
    const char* message;  // the start of the one message shown
  };
  const QString missingFolder = dir.Path("nowhere");
  const Case cases[] = {
      {"", dir.Path("out"), true, "请输入屏保名称。"},
      {"a*b", "", true, "屏保名称不能包含下列任何字符之一："},
      {QString(256, u'x'), "", true, "屏保名称过长"},
      {QString::fromUtf8("笑\xF0\x9F\x98\x80"), "", true, "屏保名称中含有无法保存的字符"},
      {"Demo", "", true, "列表内没有Flash文件，请添加文件。"},
      {"Demo", "", false, "输出文件夹不存在！"},
      {"Demo", missingFolder, false, "输出文件夹不存在！"},
  };
  for (const Case& c : cases) {
    DialogScript::Reset();
    DialogScript::SetStrict(true);
    w->edtSaverName->setText(c.name);
    w->edtBuildPath->setText(c.folder);
    w->lstFlashFiles->clear();
    if (!c.emptyList) w->lstFlashFiles->addItems({a, b});
    Run("actSaverBuild");
    const QStringList shown = Messages();
    ASSERT_EQ(shown.size(), 1) << c.message;
    EXPECT_TRUE(shown[0].startsWith(QString::fromUtf8(c.message))) << shown[0].toStdString();
  }
  EXPECT_FALSE(dir.Exists("Config.ini")) << "a failed check writes nothing";
  EXPECT_TRUE(QDir(dir.Path("out")).isEmpty());
}

TEST_F(BuildPipeline, CancelOnOverwriteWritesNothingOkBuilds) {
  dir.Write("out/Demo.exe", "old package");
  dir.Write("Config.ini", "[SetInfo]\r\nWidth=1\r\n");
  DialogScript::Push(platform::IdCancel);
  Run("actSaverBuild");
  EXPECT_EQ(Messages(), QStringList({"屏保文件已经存在，是否覆盖此屏保文件？"}));
  EXPECT_EQ(dir.Read("Config.ini"), QByteArray("[SetInfo]\r\nWidth=1\r\n"));
  EXPECT_FALSE(dir.Exists("Blessing.dat"));
  EXPECT_FALSE(dir.Exists("FontStyle.ini"));
  EXPECT_EQ(dir.Read("out/Demo.exe"), QByteArray("old package"));

  DialogScript::Reset();
  DialogScript::SetStrict(true);
  DialogScript::Push(platform::IdOk);
  Run("actSaverBuild");
  EXPECT_EQ(Messages().last(), QString("屏保文件生成完毕！"));
  EXPECT_EQ(EntryNames(dir.Path("out/Demo.exe")),
            QStringList({"Demo.scr", "Uninstall.exe", "a.swf", "b.swf", "Config.ini"}));
  EXPECT_TRUE(QFileInfo(dir.Path("out/Demo.exe")).isExecutable());
}

TEST_F(BuildPipeline, ProgressRunsThroughEveryStepAndEndsEmpty) {
  QList<int> values;
  QObject::connect(w->pbBuildSaver, &QProgressBar::valueChanged, [&](int v) { values << v; });
  Run("actSaverBuild");
  // n = 3 payload files (two movies and Config.ini): steps 0 .. n + 3.
  EXPECT_EQ(w->pbBuildSaver->maximum(), 6);
  EXPECT_EQ(values, QList<int>({1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(Messages(), QStringList({"屏保文件生成完毕！"}));
}

TEST_F(BuildPipeline, BlessingsArePackedOnlyWhenEnabledAndPresent) {
  struct Case {
    bool enabled;
    const char* text;
    bool packed;
  };
  const Case cases[] = {{true, "<Title1>新年快乐\n", true}, {true, "", false}, {false, "<Title1>hi", false},
                        {false, "", false}};
  int n = 0;
  for (const Case& c : cases) {
    w->chkBlessingEnabled->setChecked(c.enabled);
    w->mmoBlessingModify->setPlainText(QString::fromUtf8(c.text));
    w->edtSaverName->setText(QString("Saver%1").arg(n++));
    Run("actSaverBuild");
    QStringList expected = {w->edtSaverName->text() + ".scr", "Uninstall.exe", "a.swf", "b.swf", "Config.ini"};
    if (c.packed) expected << "Blessing.dat" << "FontStyle.ini";
    EXPECT_EQ(EntryNames(dir.Path("out/" + w->edtSaverName->text() + ".exe")), expected) << c.text;
  }
}

TEST_F(BuildPipeline, BlankNameAndTrailingSeparatorGiveTheExpectedPath) {
  w->edtSaverName->setText("   ");
  w->edtBuildPath->setText(dir.Path("out") + "/");
  Run("actSaverBuild");
  EXPECT_TRUE(dir.Exists("out/   .exe"));
  EXPECT_EQ(EntryNames(dir.Path("out/   .exe")).first(), QString("   .scr"));
}

TEST_F(BuildPipeline, PostBuildActionsRunOnlyAfterSuccess) {
  w->rbShellInstall->setChecked(true);
  DialogScript::Push(platform::IdOk);  // message 400
  DialogScript::Push(40);               // the program start
  Run("actSaverBuild");
  ASSERT_EQ(Shown(Kind::Program).size(), 1);
  EXPECT_EQ(Shown(Kind::Program)[0].caption, dir.Path("out/Demo.exe"));

  DialogScript::Reset();
  DialogScript::SetStrict(true);
  w->rbOpenDir->setChecked(true);
  DialogScript::Push(platform::IdOk);  // overwrite
  DialogScript::Push(platform::IdOk);  // 400
  DialogScript::Push(false);           // the shell fails
  Run("actSaverBuild");
  ASSERT_EQ(Shown(Kind::Shell).size(), 1) << Messages().join("|").toStdString();
  EXPECT_EQ(Shown(Kind::Shell)[0].caption, dir.Path("out") + "/");
  EXPECT_EQ(Messages().last(), QString("无法调用浏览器！"));

  DialogScript::Reset();
  DialogScript::SetStrict(true);
  QFile::remove(dir.Path("Uninstall.dll"));
  QFile::remove(dir.Path("out/Demo.exe"));
  Run("actSaverBuild");
  EXPECT_EQ(Messages(), QStringList({"屏保文件生成失败！"}));
  EXPECT_FALSE(dir.Exists("out/Demo.exe"));
  EXPECT_TRUE(Shown(Kind::Shell).isEmpty());
}

TEST_F(BuildPipeline, VanishedPayloadIsReportedAndTheCommandComesBack) {
  DuringBuild([this] { QFile::remove(b); });
  Run("actSaverBuild");
  const auto shown = Shown(Kind::Message);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].text.contains(b)) << shown[0].text.toStdString();
  EXPECT_EQ(shown[0].icon, platform::MsgIcon::Error) << "the default error report, not the check's warning";
  EXPECT_FALSE(dir.Exists("out/Demo.exe"));
  EXPECT_EQ(QDir(dir.Path("out")).entryList(QDir::Files | QDir::Hidden), QStringList());
  EXPECT_EQ(BuildingSaver, nullptr);
  QApplication::postEvent(w.get(), new QEvent(QEvent::User));  // the next event after the build
  QApplication::processEvents();
  EXPECT_TRUE(w->findChild<QAction*>("actSaverBuild")->isEnabled());
}

TEST_F(BuildPipeline, DuringABuildOnlyTheBuildCommandIsHeldAndAPreviewWorks) {
  bool buildEnabled = true, previewEnabled = false;
  DuringBuild([&] {
    QApplication::processEvents();  // the first event after the start
    buildEnabled = w->findChild<QAction*>("actSaverBuild")->isEnabled();
    previewEnabled = w->findChild<QAction*>("actSaverPreview")->isEnabled();
    DialogScript::Push(42);  // the preview module starts
    w->findChild<QAction*>("actSaverPreview")->trigger();
  });
  Run("actSaverBuild");
  EXPECT_FALSE(buildEnabled);
  EXPECT_TRUE(previewEnabled);
  EXPECT_EQ(Shown(Kind::Program).size(), 1);
  EXPECT_TRUE(dir.Exists("out/Demo.exe"));
  EXPECT_EQ(EntryNames(dir.Path("out/Demo.exe")).size(), 5);
}

TEST_F(BuildPipeline, PreviewWritesTheListAndReportsABrokenModule) {
  w->edtBuildPath->setText("");
  struct Case {
    int result;
    const char* message;
  };
  for (const Case& c : {Case{42, nullptr}, Case{2, "预览模块文件已丢失，无法启用预览功能，建议重新安装软件。"},
                        Case{11, "预览模块文件已损坏，无法启用预览功能，建议重新安装软件。"}}) {
    DialogScript::Reset();
    DialogScript::SetStrict(true);
    DialogScript::Push(c.result);
    Run("actSaverPreview");
    ASSERT_EQ(Shown(Kind::Program).size(), 1);
    EXPECT_EQ(Shown(Kind::Program)[0].caption, dir.Path("Preview.exe") + " /PREVIEW");
    EXPECT_EQ(Messages(), c.message ? QStringList({QString::fromUtf8(c.message)}) : QStringList());
  }
  EXPECT_EQ(TIniFile(dir.Path("Preview.ini")).ReadSection("Preview"), QStringList({a, b}));
  EXPECT_TRUE(dir.Exists("Config.ini"));
  EXPECT_TRUE(dir.Exists("FontStyle.ini"));
}

TEST_F(BuildPipeline, ClosingDuringABuildWaitsForTheWholePackage) {
  w->edtBuildPath->setText(dir.Path("out"));
  DuringBuild([&] { w->close(); });
  Run("actSaverBuild");
  QApplication::processEvents();
  EXPECT_EQ(EntryNames(dir.Path("out/Demo.exe")),
            QStringList({"Demo.scr", "Uninstall.exe", "a.swf", "b.swf", "Config.ini"}));
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(dir.Exists("Setting.ini")) << "the close went on and saved as usual";
}

TEST(StartProgram, MissingFileNoProgramAndAProgram) {
  TempFolder dir;
  EXPECT_EQ(platform::StartProgram(dir.Path("none.exe") + " /PREVIEW"), 2);
  dir.Write("text.exe", "not a program");
  EXPECT_EQ(platform::StartProgram(dir.Path("text.exe") + " /PREVIEW"), 11);
  dir.Write("with blank.sh", "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/ran\"\n");
  QFile::setPermissions(dir.Path("with blank.sh"), QFile::permissions(dir.Path("with blank.sh")) | QFileDevice::ExeOwner);
  EXPECT_GT(platform::StartProgram(dir.Path("with blank.sh") + " /PREVIEW"), 31);
  for (int i = 0; i < 100 && !dir.Exists("ran"); ++i) QThread::msleep(20);
  EXPECT_EQ(dir.Read("ran"), QByteArray("/PREVIEW\n"));
}

}  // namespace
