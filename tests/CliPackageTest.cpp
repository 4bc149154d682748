// The package commands of pavona-cli, run as the user runs them: a copy of the
// program in a temporary application folder with its companion files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <functional>

#include "GbkText.h"
#include "PackageFixtures.h"

#ifndef PAVONA_CLI_PATH
#error "PAVONA_CLI_PATH must name the pavona-cli executable"
#endif

namespace {

struct CliResult {
  int exitCode = -1;
  QString out;
  QString err;
};

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

const QString kMsg306 = Utf8("请输入屏保名称。");
const QString kMsg307 = Utf8("屏保名称不能包含下列任何字符之一： /  \\  |  *  :  ?  \"  <  >");
const QString kMsg308 = Utf8("列表内没有Flash文件，请添加文件。");
const QString kMsg309 = Utf8("输出文件夹不存在！");
const QString kMsg310 = Utf8("屏保文件生成失败！");
const QString kMsg314 = Utf8("屏保名称过长，请不要超过255个字节。");
const QString kMsg350 = Utf8("屏保文件已经存在，是否覆盖此屏保文件？");
const QString kMsg400 = Utf8("屏保文件生成完毕！");

// A Config.ini of exactly the given length that the options reader accepts.
QByteArray ConfigOfLength(qsizetype length) {
  QByteArray bytes = "[SetInfo]\r\nWidth=800\r\n;";
  bytes += QByteArray(length - bytes.size() - 2, 'x');
  return bytes + "\r\n";
}

class CliApp {
 public:
  // The companions are the given files, or fixtures of the given sizes.
  CliApp(qsizetype install, qsizetype engine, qsizetype uninstall) {
    CopyProgram();
    app.Write("Install.dll", Pattern(install, 101));
    app.Write("Glimmora.dll", Pattern(engine, 102));
    app.Write("Uninstall.dll", Pattern(uninstall, 103));
  }
  explicit CliApp(const QStringList& companions) {
    CopyProgram();
    for (const QString& path : companions) {
      const QString target = app.Path(QFileInfo(path).fileName());
      if (!QFile::copy(path, target)) throw std::runtime_error("cannot copy " + path.toStdString());
    }
  }

  CliResult Run(const QStringList& args, const QString& workingFolder = QString()) const {
    return RunProgram(app.Path("pavona-cli"), args, workingFolder);
  }

  static CliResult RunProgram(const QString& program, const QStringList& args,
                              const QString& workingFolder = {}) {
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    if (!workingFolder.isEmpty()) p.setWorkingDirectory(workingFolder);
    p.start();
    CliResult r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
      ADD_FAILURE() << "did not finish: " << program.toStdString();
      p.kill();
      p.waitForFinished();
      return r;
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
  }

  TempFolder app;

 private:
  void CopyProgram() {
    if (!QFile::copy(QStringLiteral(PAVONA_CLI_PATH), app.Path("pavona-cli"))) {
      throw std::runtime_error("cannot copy pavona-cli");
    }
  }
};

QStringList Lines(const QString& text) {
  return text.split(u'\n', Qt::SkipEmptyParts);
}

TEST(CliPackage, WorkedExampleBuildInspectUnpack) {
  CliApp cli(100000, 300000, 50000);
  cli.app.Write("Config.ini", ConfigOfLength(500));
  TempFolder src, out;
  src.Write("a.swf", Pattern(1000, 1));

  // A relative SWF path is taken from the working folder.
  const CliResult built = cli.Run({"build", "--name", "Demo", "--out", out.Path(), "a.swf"}, src.Path());
  ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
  EXPECT_EQ(Lines(built.out).value(0), kMsg400);
  EXPECT_EQ(QFileInfo(out.Path("Demo.exe")).size(), 452837);
  EXPECT_EQ(cli.app.Read("Config.ini"), ConfigOfLength(500));  // carried, not rewritten

  const CliResult inspected = cli.Run({"inspect", out.Path("Demo.exe")});
  ASSERT_EQ(inspected.exitCode, 0) << inspected.err.toStdString();
  const QStringList lines = Lines(inspected.out);
  EXPECT_TRUE(lines.contains(Utf8("屏保名称 / saver name: Demo"))) << inspected.out.toStdString();
  EXPECT_TRUE(lines.contains(Utf8("安装程序大小 / stub size: 100000"))) << inspected.out.toStdString();
  EXPECT_TRUE(lines.contains(Utf8("目录位置 / directory offset: 451500"))) << inspected.out.toStdString();
  const QStringList entries = lines.filter(QRegularExpression("^\\d+\\t"));
  EXPECT_EQ(entries, QStringList({"1\tDemo.scr\t300000\t100000", "2\tUninstall.exe\t50000\t400000",
                                  "3\ta.swf\t1000\t450000", "4\tConfig.ini\t500\t451000"}));

  const CliResult unpacked = cli.Run({"unpack", out.Path("Demo.exe"), out.Path("files")});
  ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err.toStdString();
  EXPECT_EQ(out.Read("files/Demo.scr"), Pattern(300000, 102));
  EXPECT_EQ(out.Read("files/Uninstall.exe"), Pattern(50000, 103));
  EXPECT_EQ(out.Read("files/a.swf"), Pattern(1000, 1));
  EXPECT_EQ(out.Read("files/Config.ini"), ConfigOfLength(500));
  EXPECT_EQ(QDir(out.Path("files")).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST(CliPackage, ChineseNamesAndAFirstConfig) {
  CliApp cli(300, 200, 100);
  TempFolder src, out;
  src.Write(Utf8("新年快乐.swf"), Pattern(77, 1));
  src.Write("b.swf", Pattern(5, 2));
  const CliResult built = cli.Run({"build", "--name=中文屏保", "--out=" + out.Path() + "/", "--",
                                   src.Path(Utf8("新年快乐.swf")), src.Path("b.swf")});
  ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
  ASSERT_TRUE(out.Exists(Utf8("中文屏保.exe")));
  // Without a Config.ini the defaults are written first, and that file travels.
  ASSERT_TRUE(cli.app.Exists("Config.ini"));
  EXPECT_TRUE(cli.app.Read("Config.ini").contains("[SetInfo]"));

  const CliResult inspected = cli.Run({"inspect", out.Path(Utf8("中文屏保.exe"))});
  ASSERT_EQ(inspected.exitCode, 0) << inspected.err.toStdString();
  const QStringList entries = Lines(inspected.out).filter(QRegularExpression("^\\d+\\t"));
  ASSERT_EQ(entries.size(), 5);
  EXPECT_TRUE(entries[0].startsWith(Utf8("1\t中文屏保.scr\t200\t300")));
  EXPECT_TRUE(entries[2].startsWith(Utf8("3\t新年快乐.swf\t77\t")));
  EXPECT_TRUE(entries[4].startsWith("5\tConfig.ini\t"));

  const CliResult unpacked = cli.Run({"unpack", out.Path(Utf8("中文屏保.exe")), out.Path("files")});
  ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err.toStdString();
  EXPECT_EQ(out.Read(Utf8("files/新年快乐.swf")), Pattern(77, 1));
  EXPECT_EQ(out.Read("files/Config.ini"), cli.app.Read("Config.ini"));
}

struct RefusedBuildCase {
  const char* label;
  std::function<QStringList(const TempFolder& src, const TempFolder& out)> args;
  std::function<QString(const TempFolder& src)> message;
  int exitCode;
};
void PrintTo(const RefusedBuildCase& c, std::ostream* os) {
  *os << c.label;
}

class CliBuildRefused : public ::testing::TestWithParam<RefusedBuildCase> {};

// Refused builds say why and write nothing: no package, no Config.ini.
TEST_P(CliBuildRefused, SaysWhyAndWritesNothing) {
  CliApp cli(300, 200, 100);
  TempFolder src, out;
  src.Write("a.swf", "swf");
  out.Write("Old.exe", "older package");
  const CliResult r = cli.Run(GetParam().args(src, out));
  EXPECT_EQ(r.exitCode, GetParam().exitCode);
  EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
  if (GetParam().message) {
    EXPECT_EQ(Lines(r.err).value(0), GetParam().message(src)) << r.err.toStdString();
  }
  EXPECT_EQ(QDir(out.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Old.exe"});
  EXPECT_EQ(out.Read("Old.exe"), QByteArray("older package"));
  EXPECT_FALSE(cli.app.Exists("Config.ini"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliBuildRefused,
    ::testing::Values(
        RefusedBuildCase{"NoName",
                         [](auto& s, auto& o) {
                           return QStringList{"build", "--out", o.Path(), s.Path("a.swf")};
                         },
                         [](auto&) { return kMsg306; }, 1},
        RefusedBuildCase{"ForbiddenChar",
                         [](auto& s, auto& o) {
                           return QStringList{"build", "--name", "a*b", "--out", o.Path(), s.Path("a.swf")};
                         },
                         [](auto&) { return kMsg307; }, 1},
        RefusedBuildCase{"NameTooLong",
                         [](auto& s, auto& o) {
                           return QStringList{"build", "--name", QString(256, u'n'),
                                              "--out", o.Path(), s.Path("a.swf")};
                         },
                         [](auto&) { return kMsg314; }, 1},
        RefusedBuildCase{"NoSwf",
                         [](auto&, auto& o) {
                           return QStringList{"build", "--name", "Demo", "--out", o.Path()};
                         },
                         [](auto&) { return kMsg308; }, 1},
        RefusedBuildCase{
            "MissingSwf",
            [](auto& s, auto& o) {
              return QStringList{"build",         "--name",          "Demo", "--out", o.Path(),
                                 s.Path("a.swf"), s.Path("gone.swf")};
            },
            [](auto& s) { return Utf8("文件：%1，不存在！请核查文件。").arg(s.Path("gone.swf")); }, 1},
        RefusedBuildCase{"NoOutputFolder",
                         [](auto& s, auto&) {
                           return QStringList{"build", "--name", "Demo", s.Path("a.swf")};
                         },
                         [](auto&) { return kMsg309; }, 1},
        RefusedBuildCase{"MissingOutputFolder",
                         [](auto& s, auto& o) {
                           return QStringList{"build", "--name",       "Demo",
                                              "--out", o.Path("none"), s.Path("a.swf")};
                         },
                         [](auto&) { return kMsg309; }, 1},
        RefusedBuildCase{"ExistingPackageWithoutYes",
                         [](auto& s, auto& o) {
                           return QStringList{"build", "--name", "Old", "--out", o.Path(), s.Path("a.swf")};
                         },
                         [](auto&) { return kMsg350; }, 1},
        RefusedBuildCase{"OptionWithoutValue",
                         [](auto&, auto&) {
                           return QStringList{"build", "--name"};
                         },
                         nullptr, 2},
        RefusedBuildCase{"UnknownOption",
                         [](auto& s, auto& o) {
                           return QStringList{"build",  "--name",  "Demo",         "--out",
                                              o.Path(), "--force", s.Path("a.swf")};
                         },
                         nullptr, 2}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CliPackage, OverwriteWithYes) {
  CliApp cli(300, 200, 100);
  TempFolder src, out;
  src.Write("a.swf", "swf");
  out.Write("Demo.exe", "older package");
  const CliResult r = cli.Run({"build", "--name", "Demo", "--out", out.Path(), "--yes", src.Path("a.swf")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QFileInfo(out.Path("Demo.exe")).size(),
            600 + 3 + QFileInfo(cli.app.Path("Config.ini")).size() + 4 * 268 + 265);
}

TEST(CliPackage, MissingCompanionGives310) {
  for (const char* stub : {"Install.dll", "Glimmora.dll", "Uninstall.dll"}) {
    SCOPED_TRACE(stub);
    CliApp cli(300, 200, 100);
    QFile::remove(cli.app.Path(stub));
    TempFolder src, out;
    src.Write("a.swf", "swf");
    out.Write("Demo.exe", "older package");
    const CliResult r = cli.Run({"build", "--name", "Demo", "--out", out.Path(), "--yes", src.Path("a.swf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Lines(r.err).value(0), kMsg310) << r.err.toStdString();
    EXPECT_EQ(out.Read("Demo.exe"), QByteArray("older package"));
    EXPECT_EQ(QDir(out.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Demo.exe"});
  }
}

TEST(CliPackage, ErrorDuringBuildIsReported) {
  CliApp cli(300, 200, 100);
  TempFolder src, out;
  src.Write("a.swf", "swf");
  QDir(out.Path()).mkdir("Demo.exe");  // a folder where the package should go
  const CliResult r = cli.Run({"build", "--name", "Demo", "--out", out.Path(), "--yes", src.Path("a.swf")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains(out.Path("Demo.exe"))) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains(kMsg310));
  EXPECT_EQ(QDir(out.Path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(CliPackage, InspectAndUnpackRefuseMalformedPackages) {
  CliApp cli(300, 200, 100);
  TempFolder dir;
  FixturePackage p;
  p.stub = Pattern(50, 1);
  p.saverName = "Demo";
  p.entries = {{"Demo.scr", Pattern(20, 2)}, {"Uninstall.exe", Pattern(10, 3)}};
  dir.Write("cut.exe", p.Bytes().chopped(1));
  for (const QStringList& args : {QStringList{"inspect", dir.Path("cut.exe")},
                                  QStringList{"unpack", dir.Path("cut.exe"), dir.Path("files")},
                                  QStringList{"inspect", dir.Path("missing.exe")}}) {
    const CliResult r = cli.Run(args);
    EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains(args[1])) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
  }
  EXPECT_FALSE(dir.Exists("files"));
  EXPECT_EQ(cli.Run({"inspect"}).exitCode, 2);
  EXPECT_EQ(cli.Run({"unpack", dir.Path("cut.exe")}).exitCode, 2);
}

class CliUnpackUnsafeName : public ::testing::TestWithParam<QByteArray> {};

TEST_P(CliUnpackUnsafeName, WritesNothing) {
  CliApp cli(300, 200, 100);
  TempFolder dir;
  FixturePackage p;
  p.stub = Pattern(50, 1);
  p.saverName = "Demo";
  p.entries = {{"Demo.scr", Pattern(20, 2)},
               {"Uninstall.exe", Pattern(10, 3)},
               {"a.swf", Pattern(5, 4)},
               {GetParam(), Pattern(6, 5)}};
  dir.Write("Demo.exe", p.Bytes());
  QDir(dir.Path()).mkdir("work");
  // inspect lists such a package without letting its names shape the output.
  const CliResult listed = cli.Run({"inspect", dir.Path("Demo.exe")});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_EQ(Lines(listed.out).filter(QRegularExpression("^\\d+\\t")).size(), 4) << listed.out.toStdString();
  EXPECT_FALSE(listed.out.contains(QChar(0x1b)));

  const CliResult r = cli.Run({"unpack", dir.Path("Demo.exe"), dir.Path("work/files")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("unsafe name")) << r.err.toStdString();
  EXPECT_EQ(QDir(dir.Path("work")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Demo.exe"});
}

INSTANTIATE_TEST_SUITE_P(Names, CliUnpackUnsafeName,
                         ::testing::Values(QByteArray("../evil.swf"), QByteArray(".."), QByteArray("."),
                                           QByteArray(""), QByteArray("sub/evil.swf"),
                                           QByteArray("..\\evil.swf"), QByteArray("\xff\xfe.swf"),
                                           QByteArray("a\nb/\x1b[2J.swf")));

TEST(CliPackage, UnpackKeepsRepeatedNamesApartAndRefusesLinks) {
  CliApp cli(300, 200, 100);
  TempFolder dir;
  FixturePackage p;
  p.stub = Pattern(50, 1);
  p.saverName = "Demo";
  p.entries = {{"Demo.scr", Pattern(20, 2)}, {"Uninstall.exe", Pattern(10, 3)}, {"a.swf", Pattern(5, 4)},
               {"a.swf", Pattern(6, 5)},     {"A.SWF", Pattern(7, 6)},          {"README", Pattern(8, 7)},
               {"README", Pattern(9, 8)}};
  dir.Write("Demo.exe", p.Bytes());
  const CliResult r = cli.Run({"unpack", dir.Path("Demo.exe"), dir.Path("files")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(dir.Read("files/a.swf"), Pattern(5, 4));
  EXPECT_EQ(dir.Read("files/a (2).swf"), Pattern(6, 5));
  EXPECT_EQ(dir.Read("files/A (3).SWF"), Pattern(7, 6));
  EXPECT_EQ(dir.Read("files/README"), Pattern(8, 7));
  EXPECT_EQ(dir.Read("files/README (2)"), Pattern(9, 8));

  // A link planted in the target folder would carry a write outside it.
  dir.Write("outside.txt", "keep");
  QDir(dir.Path()).mkdir("linked");
  ASSERT_TRUE(QFile::link(dir.Path("outside.txt"), dir.Path("linked/a.swf")));
  const CliResult refused = cli.Run({"unpack", dir.Path("Demo.exe"), dir.Path("linked")});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(dir.Read("outside.txt"), QByteArray("keep"));
  EXPECT_EQ(QDir(dir.Path("linked")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
            QStringList{"a.swf"});
}

#if defined(PAVONA_INSTALL_STUB) && defined(PAVONA_ENGINE) && defined(PAVONA_UNINSTALL_STUB)
// The real installer stub, run as the package it heads, lists that package.
TEST(CliPackage, PackageRunsItsInstallerStub) {
  CliApp cli(QStringList{PAVONA_INSTALL_STUB, PAVONA_ENGINE, PAVONA_UNINSTALL_STUB});
  TempFolder src, out;
  src.Write("a.swf", Pattern(10, 1));
  const CliResult built = cli.Run({"build", "--name", "Demo", "--out", out.Path(), src.Path("a.swf")});
  ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
  const CliResult run = CliApp::RunProgram(out.Path("Demo.exe"), {});
  EXPECT_TRUE(run.out.contains(Utf8("屏保名称 / saver name: Demo"))) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("1\tDemo.scr\t")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("3\ta.swf\t10")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("not available")) << run.out.toStdString();
  EXPECT_EQ(run.exitCode, 1);  // nothing was installed

  const CliResult bare = CliApp::RunProgram(cli.app.Path("Install.dll"), {});
  EXPECT_EQ(bare.exitCode, 1);
  EXPECT_TRUE(bare.err.contains("no saver package")) << bare.err.toStdString();
}
#endif

}  // namespace
