#include <gtest/gtest.h>

#include <QDir>
#include <vector>

#include "SaverInput.h"
#include "TestUtil.h"

namespace {

struct ListedFile {
  const char* name;
  enum Kind { File, Missing, Folder } kind;
};

struct SaverInputCase {
  const char* label;
  QString saverName;
  std::vector<ListedFile> files;
  int code;
  const char* missing = nullptr;  // the listed file the message names
};
void PrintTo(const SaverInputCase& c, std::ostream* os) {
  *os << c.label;
}

class SaverInputChecks : public ::testing::TestWithParam<SaverInputCase> {};

TEST_P(SaverInputChecks, FirstFailureInOrder) {
  const SaverInputCase& c = GetParam();
  TempFolder dir;
  QStringList list;
  for (const ListedFile& f : c.files) {
    if (f.kind == ListedFile::File) dir.Write(f.name, "swf");
    if (f.kind == ListedFile::Folder) QDir(dir.Path()).mkdir(f.name);
    list << dir.Path(f.name);
  }
  const TInputCheck check = CheckSaverInput(c.saverName, list);
  EXPECT_EQ(check.Code, c.code);
  EXPECT_EQ(check.Passed(), c.code == 0);
  if (c.missing) {
    EXPECT_EQ(check.Text, QStringLiteral("文件：%1，不存在！请核查文件。").arg(dir.Path(c.missing)));
  } else {
    EXPECT_TRUE(check.Text.isEmpty());
  }
}

const std::vector<ListedFile> kOneFile{{"a.swf", ListedFile::File}};
constexpr int kMissing = TInputCheck::MissingFileCode;

INSTANTIATE_TEST_SUITE_P(
    Cases, SaverInputChecks,
    ::testing::Values(
        SaverInputCase{"EmptyName", "", {}, 306}, SaverInputCase{"EmptyNameWithFiles", "", kOneFile, 306},
        SaverInputCase{"ForbiddenCharBeforeEmptyList", "a/b", {}, 307},
        SaverInputCase{"ForbiddenCharBeforeLength", QString(300, u'a') + "?", kOneFile, 307},
        SaverInputCase{"ForbiddenCharBeforeEncoding", QString::fromUtf8("😀|"), kOneFile, 307},
        SaverInputCase{"LongerThan255Bytes", QString(256, u'a'), kOneFile, 314},
        SaverInputCase{"LongerThan255BytesInGbk", QString(128, u'屏'), kOneFile, 314},
        SaverInputCase{"LengthBeforeEncoding", QString(254, u'a') + QString::fromUtf8("😀"), {}, 314},
        SaverInputCase{"NotGbk", QString::fromUtf8("Demo😀"), {}, 315},
        SaverInputCase{"ZeroCharacter", QString("a") + QChar(0) + "b", kOneFile, 315},
        SaverInputCase{"EmptyList", "Demo", {}, 308},
        SaverInputCase{
            "FirstMissingFileNamed",
            "Demo",
            {{"a.swf", ListedFile::File}, {"b.swf", ListedFile::Missing}, {"c.swf", ListedFile::Missing}},
            kMissing,
            "b.swf"},
        SaverInputCase{"FolderIsNoFile", "Demo", {{"movies", ListedFile::Folder}}, kMissing, "movies"},
        SaverInputCase{"Passes",
                       QString::fromUtf8("Orvalis软件"),
                       {{"a.swf", ListedFile::File}, {"b.swf", ListedFile::File}},
                       0},
        SaverInputCase{"Exactly255BytesInGbk", QString(127, u'屏') + "a", kOneFile, 0},
        SaverInputCase{"BlanksOnly", "   ", kOneFile, 0},
        // Second bytes 0x5C and 0x7C in GBK: the characters are no '\' or '|'.
        SaverInputCase{"GbkTrailBytesAreNoForbiddenChars", QString::fromUtf8("癨皘"), kOneFile, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SaverInput, HasInvalidCharFindsEachCharacterAnywhere) {
  for (QChar c : QStringLiteral("/\\*:?\"<>|")) {
    for (const QString& name : {QString(c), c + QStringLiteral("Demo"), QStringLiteral("De") + c + "mo",
                                QStringLiteral("Demo") + c}) {
      EXPECT_TRUE(HasInvalidChar(name)) << name.toStdString();
    }
  }
  for (const char* name : {"", "Demo", "My.Saver", "a-b_c (1)", "癨皘", "新年快乐"}) {
    EXPECT_FALSE(HasInvalidChar(QString::fromUtf8(name))) << name;
  }
}

struct FolderCase {
  const char* label;
  enum Folder { EmptyText, Missing, IsAFile, Exists, ExistsWithSeparator } folder;
  bool packageExists;
  int answer;  // -1 no callback, 0 Cancel, 1 OK
  int code;
  bool asked;
};
void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << c.label;
}

class OutputFolderChecks : public ::testing::TestWithParam<FolderCase> {};

TEST_P(OutputFolderChecks, FolderThenOverwriteQuestion) {
  const FolderCase& c = GetParam();
  TempFolder dir;
  QDir(dir.Path()).mkdir("out");
  dir.Write("plain", "x");
  if (c.packageExists) dir.Write("out/Demo.exe", "older");
  QString text;
  switch (c.folder) {
    case FolderCase::EmptyText:
      break;
    case FolderCase::Missing:
      text = dir.Path("none");
      break;
    case FolderCase::IsAFile:
      text = dir.Path("plain");
      break;
    case FolderCase::Exists:
      text = dir.Path("out");
      break;
    case FolderCase::ExistsWithSeparator:
      text = dir.Path("out") + "/";
      break;
  }
  int asked = 0;
  std::function<bool()> confirm;
  if (c.answer >= 0) confirm = [&] { return ++asked, c.answer == 1; };
  const TInputCheck check = CheckOutputFolder("Demo", text, confirm);
  EXPECT_EQ(check.Code, c.code);
  EXPECT_EQ(asked, c.asked ? 1 : 0);
  EXPECT_EQ(dir.Read("out/Demo.exe"), c.packageExists ? QByteArray("older") : QByteArray());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputFolderChecks,
    ::testing::Values(
        FolderCase{"EmptyText", FolderCase::EmptyText, false, 1, 309, false},
        FolderCase{"MissingFolder", FolderCase::Missing, false, 1, 309, false},
        FolderCase{"FileInsteadOfFolder", FolderCase::IsAFile, false, 1, 309, false},
        FolderCase{"NoPackageYet", FolderCase::Exists, false, 0, 0, false},
        FolderCase{"NoPackageYetWithSeparator", FolderCase::ExistsWithSeparator, false, 0, 0, false},
        FolderCase{"OverwriteRefused", FolderCase::Exists, true, 0, 350, true},
        FolderCase{"OverwriteRefusedWithSeparator", FolderCase::ExistsWithSeparator, true, 0, 350, true},
        FolderCase{"OverwriteAccepted", FolderCase::Exists, true, 1, 0, true},
        FolderCase{"NobodyToAsk", FolderCase::Exists, true, -1, 350, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SaverInput, BuildCheckStopsAtTheFirstFailure) {
  TempFolder dir;
  dir.Write("a.swf", "swf");
  dir.Write("Demo.exe", "older");
  int asked = 0;
  auto confirm = [&] { return ++asked, true; };
  EXPECT_EQ(CheckBuildInput("Demo", dir.Path(), {}, confirm).Code, 308);
  EXPECT_EQ(CheckBuildInput("De:mo", dir.Path(), {dir.Path("a.swf")}, confirm).Code, 307);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(CheckBuildInput("Demo", dir.Path("none"), {dir.Path("a.swf")}, confirm).Code, 309);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(CheckBuildInput("Demo", dir.Path(), {dir.Path("a.swf")}, confirm).Code, 0);
  EXPECT_EQ(asked, 1);
}

TEST(SaverInput, PackagePathWithOrWithoutSeparator) {
  EXPECT_EQ(SaverPackagePath("/data/out", "Demo"), QString("/data/out/Demo.exe"));
  EXPECT_EQ(SaverPackagePath("/data/out/", "Demo"), QString("/data/out/Demo.exe"));
  EXPECT_EQ(SaverPackagePath("/", "My.Saver"), QString("/My.Saver.exe"));
  EXPECT_EQ(NormalizedOutputFolder("out"), QString("out/"));
}

}  // namespace
