// The profile-file layer: how files written on Windows read, and how writes change them.
#include <gtest/gtest.h>

#include <QDir>

#include "AtomicFile.h"
#include "IniFiles.h"
#include "PavonaError.h"
#include "ProfileDocument.h"
#include "TestUtil.h"

namespace {

struct ReadCase {
  const char* label;
  QByteArray file;
  const char* section;
  const char* key;
  std::optional<QString> expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.label; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, ValueAsWindowsReadsIt) {
  const ReadCase& c = GetParam();
  const ProfileDocument doc = ProfileDocument::Parse(c.file);
  EXPECT_EQ(doc.Value(c.section, c.key), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"crlf", "[SetInfo]\r\nWidth=800\r\n", "SetInfo", "Width", QString("800")},
        ReadCase{"lf", "[SetInfo]\nWidth=800\nHeight=600\n", "SetInfo", "Height", QString("600")},
        ReadCase{"lone cr", "[SetInfo]\rWidth=800\rHeight=600", "SetInfo", "Height", QString("600")},
        ReadCase{"blanks in brackets", "  [ SetInfo ]  \r\nWidth=1\r\n", "SetInfo", "Width", QString("1")},
        ReadCase{"text after bracket", "[SetInfo] trailing\r\nWidth=1\r\n", "setinfo", "Width", QString("1")},
        ReadCase{"section case", "[SETINFO]\r\nwidth=7\r\n", "SetInfo", "WIDTH", QString("7")},
        ReadCase{"blanks around", "[S]\r\n  key \t=  a value \t\r\n", "S", "key", QString("a value")},
        ReadCase{"double quotes", "[S]\r\nk=\" padded \"\r\n", "S", "k", QString(" padded ")},
        ReadCase{"single quotes", "[S]\r\nk='x'\r\n", "S", "k", QString("x")},
        ReadCase{"unmatched quote", "[S]\r\nk=\"x'\r\n", "S", "k", QString("\"x'")},
        ReadCase{"lone quote", "[S]\r\nk=\"\r\n", "S", "k", QString("\"")},
        ReadCase{"comment line", "[S]\r\n;k=1\r\n", "S", "k", std::nullopt},
        ReadCase{"indented comment", "[S]\r\n   ;k=1\r\nk=2\r\n", "S", "k", QString("2")},
        ReadCase{"semicolon in value", "[S]\r\nk=a;b\r\n", "S", "k", QString("a;b")},
        ReadCase{"hash is no comment", "[S]\r\n#k=1\r\n", "S", "#k", QString("1")},
        ReadCase{"first duplicate key wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", QString("1")},
        ReadCase{"first duplicate section wins", "[S]\r\nk=1\r\n[s]\r\nk=2\r\nj=3\r\n", "S", "j",
                 std::nullopt},
        ReadCase{"before any section", "k=1\r\n[S]\r\n", "S", "k", std::nullopt},
        ReadCase{"line without equals", "[S]\r\nk\r\n", "S", "k", std::nullopt},
        ReadCase{"empty value", "[S]\r\nk=\r\n", "S", "k", QString("")},
        ReadCase{"no final line end", "[S]\r\nk=v", "S", "k", QString("v")},
        ReadCase{"missing section", "[S]\r\nk=v\r\n", "T", "k", std::nullopt},
        ReadCase{"chinese value", Gbk("[S]\r\n路径=D:\\中文\\\r\n"), "S", "路径", QString("D:\\中文\\")},
        ReadCase{"bracket without close", "[S]\r\n[x=1\r\n", "S", "[x", QString("1")}),
    [](const auto& info) {
      QString name = QString::fromUtf8(info.param.label);
      for (QChar& c : name)
        if (!c.isLetterOrNumber()) c = u'_';
      return name.toStdString();
    });

TEST(ProfileDocument, EnumeratesSectionsAndKeysInFileOrder) {
  const ProfileDocument doc = ProfileDocument::Parse(
      "; head\r\n[ B ]\r\nz=1\r\nnokey\r\n;c=3\r\na=2\r\n[A]\r\n[b]\r\nq=9\r\n[C]x\r\n");
  EXPECT_EQ(doc.SectionNames(), QStringList({"B", "A", "C"}));
  EXPECT_EQ(doc.KeyNames("b"), QStringList({"z", "a"}));
  EXPECT_TRUE(doc.KeyNames("A").isEmpty());
  EXPECT_TRUE(doc.HasSection("a"));
  EXPECT_FALSE(doc.HasSection("D"));
}

struct WriteCase {
  const char* label;
  QByteArray before;
  std::function<void(ProfileDocument&)> change;
  QByteArray after;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.label; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesTheFileAsWindowsDoes) {
  const WriteCase& c = GetParam();
  ProfileDocument doc = ProfileDocument::Parse(c.before);
  c.change(doc);
  EXPECT_EQ(doc.Serialize(), c.after) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(
        WriteCase{"new file", "", [](auto& d) { d.SetValue("S", "k", "v"); }, "[S]\r\nk=v\r\n"},
        WriteCase{"replace in place keeps case and position", "[S]\r\n  Key = old\r\nz=1\r\n",
                  [](auto& d) { d.SetValue("s", "KEY", "new"); }, "[S]\r\nKey=new\r\nz=1\r\n"},
        WriteCase{"replace keeps the line's own end", "[S]\nk=1\nz=2\n",
                  [](auto& d) { d.SetValue("S", "k", "3"); }, "[S]\nk=3\nz=2\n"},
        WriteCase{"new key after the last key line", "[S]\r\na=1\r\n;note\r\n\r\n[T]\r\n",
                  [](auto& d) { d.SetValue("S", "b", "2"); }, "[S]\r\na=1\r\nb=2\r\n;note\r\n\r\n[T]\r\n"},
        WriteCase{"new key in an empty section", "[S]\r\n[T]\r\nx=1\r\n",
                  [](auto& d) { d.SetValue("S", "b", "2"); }, "[S]\r\nb=2\r\n[T]\r\nx=1\r\n"},
        WriteCase{"new section at the end", "[S]\r\na=1",
                  [](auto& d) { d.SetValue("T", "b", "2"); }, "[S]\r\na=1\r\n[T]\r\nb=2\r\n"},
        WriteCase{"value verbatim", "", [](auto& d) { d.SetValue("S", "k", " \"q\" ;x"); },
                  "[S]\r\nk= \"q\" ;x\r\n"},
        WriteCase{"delete key", "[S]\r\na=1\r\nb=2\r\n", [](auto& d) { d.DeleteKey("S", "A"); }, "[S]\r\nb=2\r\n"},
        WriteCase{"delete missing key", "[S]\r\na=1\r\n", [](auto& d) { d.DeleteKey("S", "x"); },
                  "[S]\r\na=1\r\n"},
        WriteCase{"erase section", "[A]\r\n1=\r\n[B]\r\n;c\r\nk=v\r\n\r\n[C]\r\n",
                  [](auto& d) { d.EraseSection("b"); }, "[A]\r\n1=\r\n[C]\r\n"},
        WriteCase{"erase then write moves the section to the end", "[P]\r\nold=\r\n[Other]\r\nx=1\r\n",
                  [](auto& d) {
                    d.EraseSection("P");
                    d.SetValue("P", "a", "");
                    d.SetValue("P", "b", "");
                  },
                  "[Other]\r\nx=1\r\n[P]\r\na=\r\nb=\r\n"},
        WriteCase{"replace section", "[A]\r\nx=1\r\n;c\r\ny=2\r\n[B]\r\n",
                  [](auto& d) { d.ReplaceSection("A", {{"n", "9"}}); }, "[A]\r\nn=9\r\n;c\r\n[B]\r\n"},
        WriteCase{"untouched lines keep their bytes", "[S]\r\nbad=\xff\xfe\r\nk=1\r\n",
                  [](auto& d) { d.SetValue("S", "k", "2"); }, "[S]\r\nbad=\xff\xfe\r\nk=2\r\n"},
        WriteCase{"chinese is written as gbk", "", [](auto& d) { d.SetValue("S", "k", "中文"); },
                  Gbk("[S]\r\nk=中文\r\n")}),
    [](const auto& info) {
      QString name = QString::fromUtf8(info.param.label);
      for (QChar& c : name)
        if (!c.isLetterOrNumber()) c = u'_';
      return name.toStdString();
    });

TEST(ProfileDocument, RefusesTextItCannotStoreAndChangesNothing) {
  ProfileDocument doc = ProfileDocument::Parse("[S]\r\nk=1\r\n");
  EXPECT_THROW(doc.SetValue("S", "k", QString::fromUtf8("smile \xF0\x9F\x98\x80")), EEncodingError);
  EXPECT_THROW(doc.SetValue("S", "new", "two\r\nlines"), EPavonaError);
  EXPECT_THROW(doc.ReplaceSection("S", {{"a", "1"}, {"b", QString::fromUtf8("\xF0\x9F\x98\x80")}}),
               EEncodingError);
  EXPECT_EQ(doc.Serialize(), QByteArray("[S]\r\nk=1\r\n"));
}

struct IntCase {
  const char* text;
  std::optional<int> expected;
};
void PrintTo(const IntCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ProfileInteger : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInteger, ReadsDecimalOrHex) {
  EXPECT_EQ(ParseProfileInteger(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileInteger,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"3000", 3000}, IntCase{"-1", -1},
                                           IntCase{"+5", 5}, IntCase{"0x1", 1}, IntCase{"0X1f", 31},
                                           IntCase{"0xFFFFFFFF", -1}, IntCase{"0x", std::nullopt},
                                           IntCase{"0x1g", std::nullopt}, IntCase{"0x123456789", std::nullopt},
                                           IntCase{"", std::nullopt}, IntCase{"12a", std::nullopt},
                                           IntCase{"1.5", std::nullopt}, IntCase{"2147483648", std::nullopt},
                                           IntCase{"-2147483648", -2147483647 - 1}, IntCase{"-", std::nullopt},
                                           IntCase{"x1", std::nullopt}));

class IniFileTest : public ::testing::Test {
 protected:
  TempFolder dir;
};

TEST_F(IniFileTest, TypedValuesRoundTripAndDefaultsApply) {
  TIniFile ini(dir.Path("t.ini"));
  ini.WriteInteger("N", "i", -42);
  ini.WriteBool("N", "t", true);
  ini.WriteBool("N", "f", false);
  ini.WriteString("N", "s", "中文");
  EXPECT_EQ(dir.Read("t.ini"), Gbk("[N]\r\ni=-42\r\nt=1\r\nf=0\r\ns=中文\r\n"));
  EXPECT_EQ(ini.ReadInteger("n", "I", 0), -42);
  EXPECT_TRUE(ini.ReadBool("N", "t", false));
  EXPECT_FALSE(ini.ReadBool("N", "f", true));
  EXPECT_EQ(ini.ReadString("N", "s", ""), QString("中文"));
  EXPECT_EQ(ini.ReadInteger("N", "missing", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "s", 9), 9);  // not a number
  EXPECT_TRUE(ini.ReadBool("N", "missing", true));
  EXPECT_TRUE(ini.ValueExists("N", "s"));
  EXPECT_FALSE(ini.ValueExists("N", "x"));
}

TEST_F(IniFileTest, WriteThroughSeesOtherWritersAndBufferedWaitsForUpdate) {
  TIniFile live(dir.Path("t.ini"));
  TMemIniFile buffered(dir.Path("t.ini"));
  dir.Write("t.ini", "[S]\r\nk=outside\r\n");
  EXPECT_EQ(live.ReadString("S", "k", ""), QString("outside"));
  EXPECT_EQ(buffered.ReadString("S", "k", "none"), QString("none"));  // read when it was made
  buffered.WriteString("S", "k", "mine");
  EXPECT_EQ(live.ReadString("S", "k", ""), QString("outside"));
  buffered.UpdateFile();
  EXPECT_EQ(live.ReadString("S", "k", ""), QString("mine"));
}

TEST_F(IniFileTest, MissingFileReadsEmpty) {
  TIniFile ini(dir.Path("none.ini"));
  EXPECT_TRUE(ini.ReadSections().isEmpty());
  EXPECT_EQ(ini.ReadString("S", "k", "d"), QString("d"));
  EXPECT_FALSE(dir.Exists("none.ini"));
}

TEST_F(IniFileTest, RefusedWritesRaiseWithThePathAndKeepTheOldFile) {
  const QString missingFolder = dir.Path("no/such/folder/t.ini");
  TIniFile a(missingFolder);
  try {
    a.WriteString("S", "k", "v");
    FAIL() << "no error";
  } catch (const EIniFileError& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + missingFolder);
  }

  QDir(dir.Path()).mkdir("folder.ini");
  TIniFile b(dir.Path("folder.ini"));
  EXPECT_THROW(b.WriteString("S", "k", "v"), EIniFileError);
  EXPECT_TRUE(QFileInfo(dir.Path("folder.ini")).isDir());

  const QByteArray old = "[S]\r\nk=old\r\nother=kept\r\n" + QByteArray(200000, ';') + "\r\n";
  dir.Write("t.ini", old);
  platform::SetWriteFaultHookForTesting([](const QString&, qint64 written) { return written < 70000; });
  TIniFile c(dir.Path("t.ini"));
  EXPECT_THROW(c.WriteString("S", "k", "new"), EIniFileError);
  platform::SetWriteFaultHookForTesting(nullptr);
  EXPECT_EQ(dir.Read("t.ini"), old);
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList({"t.ini"})) << "no temporary file left";
}

TEST_F(IniFileTest, UnencodableTextWritesNothing) {
  dir.Write("t.ini", "[S]\r\nk=1\r\n");
  TIniFile ini(dir.Path("t.ini"));
  EXPECT_THROW(ini.WriteString("S", QString::fromUtf8("\xF0\x9F\x98\x80"), "x"), EEncodingError);
  EXPECT_EQ(dir.Read("t.ini"), QByteArray("[S]\r\nk=1\r\n"));
  TIniFile fresh(dir.Path("new.ini"));
  EXPECT_THROW(fresh.WriteString("S", "k", QString::fromUtf8("\xF0\x9F\x98\x80")), EEncodingError);
  EXPECT_FALSE(dir.Exists("new.ini"));
}

}  // namespace
