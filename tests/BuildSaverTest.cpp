#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <utility>
#include <vector>

#include "BuildSaver.h"
#include "GbkText.h"
#include "PackageFixtures.h"
#include "PackageFormat.h"
#include "PavonaError.h"

namespace {

using Reports = std::vector<std::pair<int, int>>;

// (n + 3, 0) ... (n + 3, last) for n payload files.
Reports ExpectedReports(int n, int last) {
  Reports r;
  for (int i = 0; i <= last; ++i) r.emplace_back(n + 3, i);
  return r;
}

QStringList FolderFiles(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot,
                                QDir::Name);
}

// A builder with its progress reports and message pumps recorded.
struct RecordingBuilder {
  TBuildSaver builder;
  Reports reports;
  int pumps = 0;
  std::function<void(int)> onPump;  // told the number of the pump, from 1

  RecordingBuilder() {
    builder.OnProgress = [this](int max, int position) { reports.emplace_back(max, position); };
    builder.OnProcessMessages = [this] {
      ++pumps;
      if (onPump) onPump(pumps);
    };
  }
};

TEST(BuildSaver, WorkedExampleLayout) {
  StubFolder stubs(100000, 300000, 50000);
  TempFolder src, out;
  src.Write("a.swf", Pattern(1000, 1));
  src.Write("Config.ini", Pattern(500, 2));
  QStringList files{src.Path("a.swf"), src.Path("Config.ini")};

  RecordingBuilder run;
  run.builder.SetFiles(files);
  files << src.Path("a.swf");  // the builder keeps its own copy
  ASSERT_TRUE(run.builder.Build(out.Path("Demo.exe")));

  const QByteArray p = out.Read("Demo.exe");
  ASSERT_EQ(p.size(), 452837);
  EXPECT_EQ(p.mid(0, 100000), stubs.install);
  EXPECT_EQ(p.mid(100000, 300000), stubs.engine);
  EXPECT_EQ(p.mid(400000, 50000), stubs.uninstall);
  EXPECT_EQ(p.mid(450000, 1000), Pattern(1000, 1));
  EXPECT_EQ(p.mid(451000, 500), Pattern(500, 2));

  struct Record {
    qsizetype at;
    quint32 index;
    QByteArray name;
    quint32 size;
  };
  const Record records[] = {{451500, 1, "Demo.scr", 300000},
                            {451768, 2, "Uninstall.exe", 50000},
                            {452036, 3, "a.swf", 1000},
                            {452304, 4, "Config.ini", 500}};
  for (const Record& r : records) {
    SCOPED_TRACE(r.name.toStdString());
    EXPECT_EQ(ReadLe32(p, r.at), r.index);
    EXPECT_EQ(p.mid(r.at + 4, 260), r.name + QByteArray(260 - r.name.size(), '\0'));
    EXPECT_EQ(ReadLe32(p, r.at + 264), r.size);
  }
  EXPECT_EQ(ReadLe32(p, 452572), 100000u);
  EXPECT_EQ(ReadLe32(p, 452576), 4u);
  EXPECT_EQ(p.mid(452580), QByteArray("Demo") + QByteArray(253, '\0'));

  EXPECT_EQ(run.reports, ExpectedReports(2, 5));
  EXPECT_EQ(run.pumps, 2);
  EXPECT_EQ(FolderFiles(out.Path()), QStringList{"Demo.exe"});
}

struct LayoutCase {
  const char* label;
  const char* packageName;
  std::vector<std::pair<const char*, qsizetype>> payload;  // "folder/name", size
  const char* saverName;
  const char* engineName;
};
void PrintTo(const LayoutCase& c, std::ostream* os) {
  *os << c.label;
}

class BuildSaverLayout : public ::testing::TestWithParam<LayoutCase> {};

// The whole package equals one assembled from the format's description.
TEST_P(BuildSaverLayout, PackageMatchesTheFormat) {
  const LayoutCase& c = GetParam();
  StubFolder stubs(4000, 3000, 2000);
  TempFolder src, out;
  FixturePackage expected;
  expected.stub = stubs.install;
  expected.saverName = Gbk(QString::fromUtf8(c.saverName));
  expected.entries = {{Gbk(QString::fromUtf8(c.engineName)), stubs.engine},
                      {"Uninstall.exe", stubs.uninstall}};
  QStringList files;
  int seed = 10;
  for (const auto& [relative, size] : c.payload) {
    const QString rel = QString::fromUtf8(relative);
    QDir(src.Path()).mkpath(QFileInfo(rel).path());
    const QByteArray data = Pattern(size, seed++);
    src.Write(rel, data);
    files << src.Path(rel);
    expected.entries.append({Gbk(QFileInfo(rel).fileName()), data});
  }

  RecordingBuilder run;
  run.builder.SetFiles(files);
  const QString packageName = QString::fromUtf8(c.packageName);
  ASSERT_TRUE(run.builder.Build(out.Path(packageName)));
  EXPECT_EQ(out.Read(packageName), expected.Bytes());
  const int n = static_cast<int>(c.payload.size());
  EXPECT_EQ(run.reports, ExpectedReports(n, n + 3));
  EXPECT_EQ(run.pumps, n);
  EXPECT_EQ(FolderFiles(out.Path()), QStringList{packageName});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildSaverLayout,
    ::testing::Values(
        LayoutCase{"EmptyList", "Demo.exe", {}, "Demo", "Demo.scr"},
        LayoutCase{
            "ZeroLengthPayload", "Demo.exe", {{"x.swf", 0}, {"y.swf", 10}, {"z.swf", 0}}, "Demo", "Demo.scr"},
        LayoutCase{"DuplicateNames", "Demo.exe", {{"one/a.swf", 7}, {"two/a.swf", 9}}, "Demo", "Demo.scr"},
        LayoutCase{"DotsInTheName", "My.Saver.exe", {{"a.swf", 5}}, "My.Saver", "My.Saver.scr"},
        LayoutCase{"BlanksOnly", "   .exe", {{"a.swf", 5}}, "   ", "   .scr"},
        LayoutCase{"ChineseNames", "中文屏保.exe", {{"动画/新年快乐.swf", 3000}}, "中文屏保", "中文屏保.scr"},
        LayoutCase{"PayloadLargerThanOneCopyPiece",
                   "Big.exe",
                   {{"big.swf", 3 * 1024 * 1024 + 17}},
                   "Big",
                   "Big.scr"}),
    [](const auto& info) { return std::string(info.param.label); });

struct MissingStubCase {
  const char* stub;
  int reportsBefore;  // steps finished before the missing stub's turn
};
void PrintTo(const MissingStubCase& c, std::ostream* os) {
  *os << c.stub;
}

class BuildSaverMissingStub : public ::testing::TestWithParam<MissingStubCase> {};

TEST_P(BuildSaverMissingStub, FailsAndLeavesNoPackage) {
  StubFolder stubs(500, 400, 300);
  stubs.Remove(QString::fromUtf8(GetParam().stub));
  TempFolder src, out;
  src.Write("a.swf", Pattern(100, 1));
  const Reports before = ExpectedReports(1, GetParam().reportsBefore - 1);

  {
    RecordingBuilder run;
    run.builder.SetFiles({src.Path("a.swf")});
    EXPECT_FALSE(run.builder.Build(out.Path("Demo.exe")));
    EXPECT_EQ(run.reports, before);
    EXPECT_TRUE(FolderFiles(out.Path()).isEmpty()) << FolderFiles(out.Path()).join(", ").toStdString();
  }
  // An older package of the same name survives a failed build.
  out.Write("Demo.exe", "older package");
  RecordingBuilder run;
  run.builder.SetFiles({src.Path("a.swf")});
  EXPECT_FALSE(run.builder.Build(out.Path("Demo.exe")));
  EXPECT_EQ(out.Read("Demo.exe"), QByteArray("older package"));
  EXPECT_EQ(FolderFiles(out.Path()), QStringList{"Demo.exe"});
}

INSTANTIATE_TEST_SUITE_P(Stubs, BuildSaverMissingStub,
                         ::testing::Values(MissingStubCase{"Install.dll", 0},
                                           MissingStubCase{"Glimmora.dll", 1},
                                           MissingStubCase{"Uninstall.dll", 2}),
                         [](const auto& info) { return std::to_string(info.index); });

// Errors in the middle of a build: the error travels on with the path and the
// reason, no partial package or temporary file remains, and an older package of
// the same name is left as it was.
class BuildSaverInterrupted : public ::testing::Test {
 protected:
  void SetUp() override {
    src.Write("a.swf", Pattern(2 * 1024 * 1024 + 5, 1));
    src.Write("b.swf", Pattern(300, 2));
    out.Write("Demo.exe", "older package");
  }
  void TearDown() override { TBuildSaver::SetWriteFaultHookForTesting(nullptr); }

  void ExpectOnlyTheOlderPackage() {
    EXPECT_EQ(out.Read("Demo.exe"), QByteArray("older package"));
    EXPECT_EQ(FolderFiles(out.Path()), QStringList{"Demo.exe"});
  }

  StubFolder stubs{1000, 900, 800};
  TempFolder src, out;
};

TEST_F(BuildSaverInterrupted, PayloadFileMissing) {
  RecordingBuilder run;
  run.builder.SetFiles({src.Path("a.swf"), src.Path("gone.swf"), src.Path("b.swf")});
  try {
    run.builder.Build(out.Path("Demo.exe"));
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.Message().contains(src.Path("gone.swf"))) << e.what();
    EXPECT_TRUE(e.Message().contains("No such file")) << e.what();
  }
  EXPECT_EQ(run.reports, ExpectedReports(3, 3));
  ExpectOnlyTheOlderPackage();
}

TEST_F(BuildSaverInterrupted, PayloadFileVanishesDuringTheBuild) {
  RecordingBuilder run;
  run.onPump = [this](int pump) {
    if (pump == 1) QFile::remove(src.Path("b.swf"));
  };
  run.builder.SetFiles({src.Path("a.swf"), src.Path("b.swf")});
  EXPECT_THROW(run.builder.Build(out.Path("Demo.exe")), EInOutError);
  EXPECT_EQ(run.pumps, 1);
  ExpectOnlyTheOlderPackage();
}

TEST_F(BuildSaverInterrupted, WriteFailsAnywhere) {
  const qint64 stubsSize = 1000 + 900 + 800;
  const qint64 total = stubsSize + (2 * 1024 * 1024 + 5) + 300 + 4 * 268 + 265;
  // The first write, the second, a later piece of the large payload, and the last
  // moment before the package takes its name.
  for (qint64 failAt : {qint64(0), qint64(1), stubsSize + 1, total}) {
    SCOPED_TRACE(failAt);
    TBuildSaver::SetWriteFaultHookForTesting(
        [failAt](const QString&, qint64 written) { return written < failAt; });
    TBuildSaver builder;
    builder.SetFiles({src.Path("a.swf"), src.Path("b.swf")});
    try {
      builder.Build(out.Path("Demo.exe"));
      ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
      EXPECT_TRUE(e.Message().contains(out.Path("Demo.exe"))) << e.what();
    }
    ExpectOnlyTheOlderPackage();
  }
  // The same build goes through once the disk has room again.
  TBuildSaver::SetWriteFaultHookForTesting(nullptr);
  TBuildSaver builder;
  builder.SetFiles({src.Path("a.swf"), src.Path("b.swf")});
  ASSERT_TRUE(builder.Build(out.Path("Demo.exe")));
  EXPECT_EQ(QFileInfo(out.Path("Demo.exe")).size(), total);
}

TEST_F(BuildSaverInterrupted, OutputFolderMissing) {
  TBuildSaver builder;
  builder.SetFiles({src.Path("b.swf")});
  try {
    builder.Build(out.Path("no such folder/Demo.exe"));
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.Message().contains(out.Path("no such folder/Demo.exe"))) << e.what();
  }
  ExpectOnlyTheOlderPackage();
}

struct RefusedNameCase {
  const char* label;
  QString packageName;
  QString payloadName;  // a file that need not exist: names are refused first
  bool encoding;        // EEncodingError rather than EPackageError
};
void PrintTo(const RefusedNameCase& c, std::ostream* os) {
  *os << c.label;
}

class BuildSaverRefusesNames : public ::testing::TestWithParam<RefusedNameCase> {};

TEST_P(BuildSaverRefusesNames, BeforeWritingAnything) {
  const RefusedNameCase& c = GetParam();
  StubFolder stubs(100, 100, 100);
  TempFolder out;
  RecordingBuilder run;
  run.builder.SetFiles({out.Path("missing/" + c.payloadName)});
  if (c.encoding) {
    EXPECT_THROW(run.builder.Build(out.Path(c.packageName)), EEncodingError);
  } else {
    EXPECT_THROW(run.builder.Build(out.Path(c.packageName)), EPackageError);
  }
  EXPECT_TRUE(run.reports.empty());
  EXPECT_TRUE(FolderFiles(out.Path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildSaverRefusesNames,
    ::testing::Values(RefusedNameCase{"SaverName256Bytes", QString(256, u'n') + ".exe", "a.swf", false},
                      RefusedNameCase{"SaverName128GbkCharacters", QString(128, u'屏') + ".exe", "a.swf",
                                      false},
                      RefusedNameCase{"SaverNameNotGbk", QString::fromUtf8("Demo😀.exe"), "a.swf", true},
                      RefusedNameCase{"PayloadName260Bytes", "Demo.exe", QString(256, u'x') + ".swf", false},
                      RefusedNameCase{"PayloadNameNotGbk", "Demo.exe", QString::fromUtf8("a😀.swf"), true}),
    [](const auto& info) { return std::string(info.param.label); });

struct EncodeNameCase {
  QString name;
  qsizetype max;
  int outcome;  // 0 accepted, 1 EPackageError, 2 EEncodingError
};
void PrintTo(const EncodeNameCase& c, std::ostream* os) {
  *os << c.name.size() << " characters, max " << c.max;
}

class PackageNameWidth : public ::testing::TestWithParam<EncodeNameCase> {};

TEST_P(PackageNameWidth, FitsItsFieldOrIsRefused) {
  const EncodeNameCase& c = GetParam();
  switch (c.outcome) {
    case 0:
      EXPECT_EQ(package::EncodeName(c.name, c.max), gbk::Encode(c.name));
      break;
    case 1:
      EXPECT_THROW(package::EncodeName(c.name, c.max), EPackageError);
      break;
    default:
      EXPECT_THROW(package::EncodeName(c.name, c.max), EEncodingError);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PackageNameWidth,
                         ::testing::Values(EncodeNameCase{QString(255, u'a'), 255, 0},
                                           EncodeNameCase{QString(256, u'a'), 255, 1},
                                           EncodeNameCase{QString(127, u'屏') + "a", 255, 0},
                                           EncodeNameCase{QString(128, u'屏'), 255, 1},
                                           EncodeNameCase{QString(259, u'a'), 259, 0},
                                           EncodeNameCase{QString(129, u'屏') + "a", 259, 0},
                                           EncodeNameCase{QString(130, u'屏'), 259, 1},
                                           EncodeNameCase{QString("a") + QChar(0) + "b", 259, 1},
                                           EncodeNameCase{QString::fromUtf8("a😀"), 259, 2}));

TEST(BuildSaver, PackageIsAsRunnableAsTheInstallerStub) {
  StubFolder stubs(100, 100, 100);
  QFile::setPermissions(stubs.Path("Install.dll"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                       QFile::ReadGroup | QFile::ExeGroup);
  TempFolder out;
  TBuildSaver builder;
  ASSERT_TRUE(builder.Build(out.Path("Demo.exe")));
  EXPECT_TRUE(QFileInfo(out.Path("Demo.exe")).permissions().testFlag(QFile::ExeOwner));
  EXPECT_TRUE(QFileInfo(out.Path("Demo.exe")).permissions().testFlag(QFile::ExeGroup));
}

}  // namespace
