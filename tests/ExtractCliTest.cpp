// pavona-cli extract and swfinfo, run as the program itself.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "SwfGen.h"
#include "TestUtil.h"

namespace {

struct CliRun {
  int exitCode = -1;
  QString out, err;
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(PAVONA_CLI), args);
  CliRun r;
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
  r.exitCode = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

const QString kDone = QStringLiteral("Flash文件提取完毕！");
const QString kMissing = QStringLiteral("文件不存在！");
const QString kNoMovie = QStringLiteral("当前可执行文件中不包含有效的Flash文件！无法提取。");
const QString kSame = QStringLiteral("输出文件不能与源文件相同。");

TEST(ExtractCli, ExtractsNextToTheProjectorByDefault) {
  TempFolder dir;
  TSwfGenOptions o;
  o.Compression = TSwfCompression::Zlib;
  const QByteArray movie = GenerateSwf(o);
  dir.Write("fish.exe", MakeProjector(movie));
  dir.Write("plain", MakeProjector(movie));

  struct Case {
    QStringList args;
    const char* output;
  } cases[] = {
      {{"extract", dir.Path("fish.exe")}, "fish.swf"},
      {{"extract", dir.Path("plain")}, "plain.swf"},
      {{"extract", dir.Path("fish.exe"), dir.Path("chosen.swf")}, "chosen.swf"},
  };
  for (const Case& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.output << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(kDone)) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(dir.Path(c.output)));
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(dir.Read(c.output), movie) << c.output;
  }
}

TEST(ExtractCli, FailuresGoToStandardErrorWithExitOne) {
  TempFolder dir;
  dir.Write("junk.exe", "no trailer at all");
  dir.Write("junk.swf", "older output");
  const QByteArray projector = MakeProjector(GenerateSwf(TSwfGenOptions{}));
  dir.Write("movie.swf", projector);  // a projector that happens to end in .swf

  struct Case {
    const char* name;
    QStringList args;
    int exitCode;
    QString message;
  } cases[] = {
      {"missing", {"extract", dir.Path("missing.exe")}, 1, kMissing},
      {"not a projector", {"extract", dir.Path("junk.exe")}, 1, kNoMovie},
      {"output is the projector", {"extract", dir.Path("movie.swf")}, 1, kSame},
      {"empty path", {"extract", ""}, 1, QStringLiteral("请选择文件。")},
      {"unwritable output",
       {"extract", dir.Path("movie.swf"), dir.Path("none/x.swf")},
       1,
       dir.Path("none/x.swf")},
      {"no arguments", {"extract"}, 2, QString()},
      {"too many arguments", {"extract", "a", "b", "c"}, 2, QString()},
  };
  for (const Case& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
    EXPECT_TRUE(r.err.contains(c.message)) << c.name << ": " << r.err.toStdString();
    if (c.exitCode == 1) {
      EXPECT_TRUE(r.out.isEmpty()) << c.name;
    }
    EXPECT_FALSE(r.out.contains(kDone)) << c.name;
  }
  EXPECT_FALSE(dir.Exists("junk.swf"));
  EXPECT_EQ(dir.Read("movie.swf"), projector);
}

TEST(SwfInfoCli, OneLinePerMovieAndAnErrorForTheRest) {
  TempFolder dir;
  TSwfGenOptions o;
  o.Width = 640;
  o.Height = 480;
  o.FrameRate = 12.5;
  o.FrameCount = 37;
  o.Compression = TSwfCompression::Zlib;
  o.ActionScript3 = true;
  dir.Write("a.swf", GenerateSwf(o));
  o.Compression = TSwfCompression::None;
  o.ActionScript3 = false;
  o.Version = 7;
  dir.Write("b.swf", GenerateSwf(o));
  dir.Write("text.swf", "just text");

  const CliRun good = Cli({"swfinfo", dir.Path("a.swf"), dir.Path("b.swf")});
  EXPECT_EQ(good.exitCode, 0);
  const QStringList lines = good.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2) << good.out.toStdString();
  for (const QString& part : {QString("a.swf"), QString("CWS"), QString("640x480"), QString("12.5"),
                              QString(" 37 "), QString("是/yes"), QString("version 10")}) {
    EXPECT_TRUE(lines[0].contains(part)) << part.toStdString() << " in " << lines[0].toStdString();
  }
  for (const QString& part : {QString("b.swf"), QString("FWS"), QString("否/no"), QString("version 7")}) {
    EXPECT_TRUE(lines[1].contains(part)) << part.toStdString() << " in " << lines[1].toStdString();
  }

  const CliRun mixed = Cli({"swfinfo", dir.Path("text.swf"), dir.Path("a.swf"), dir.Path("gone.swf")});
  EXPECT_EQ(mixed.exitCode, 1);
  EXPECT_EQ(mixed.out.count('\n'), 1);
  EXPECT_TRUE(mixed.err.contains(dir.Path("text.swf") + ": 不是SWF文件")) << mixed.err.toStdString();
  EXPECT_TRUE(mixed.err.contains(dir.Path("gone.swf"))) << mixed.err.toStdString();
  EXPECT_EQ(Cli({"swfinfo"}).exitCode, 2);
}

}  // namespace
