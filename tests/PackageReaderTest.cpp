#include <gtest/gtest.h>

#include <QBuffer>
#include <QtEndian>
#include <functional>

#include "GbkText.h"
#include "PackageFixtures.h"
#include "PackageReader.h"
#include "PavonaError.h"

namespace {

FixturePackage SmallPackage() {
  FixturePackage p;
  p.stub = Pattern(40, 1);
  p.saverName = "Demo";
  p.entries = {{"Demo.scr", Pattern(30, 2)},
               {"Uninstall.exe", Pattern(20, 3)},
               {"a.swf", QByteArray()},
               {Gbk("新年.swf"), Pattern(9, 4)}};
  return p;
}

bool ReadBytes(const QByteArray& bytes, TPackageIndex& index, QString* error = nullptr) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  return ReadPackageIndex(buffer, index, error);
}

// What every index the reader accepts must satisfy, whatever the input was.
void ExpectConsistent(const TPackageIndex& index, qsizetype fileSize) {
  EXPECT_EQ(index.FileSize, quint64(fileSize));
  ASSERT_GE(index.Entries.size(), 2);
  EXPECT_LT(index.SaverName.size(), 257);
  EXPECT_FALSE(index.SaverName.contains('\0'));
  quint64 offset = index.StubSize;
  for (qsizetype i = 0; i < index.Entries.size(); ++i) {
    const TPackageItem& e = index.Entries[i];
    EXPECT_EQ(e.EntryIndex, quint32(i + 1));
    EXPECT_EQ(e.Offset, offset);
    EXPECT_LT(e.EntryName.size(), 260);
    EXPECT_FALSE(e.EntryName.contains('\0'));
    offset += e.EntrySize;
  }
  EXPECT_EQ(offset, index.DirectoryOffset);
  EXPECT_EQ(index.DirectoryOffset + 268 * quint64(index.Entries.size()) + 265, quint64(fileSize));
}

TEST(PackageReader, ReadsTheLayout) {
  const FixturePackage p = SmallPackage();
  const QByteArray bytes = p.Bytes();
  TPackageIndex index;
  QString error;
  ASSERT_TRUE(ReadBytes(bytes, index, &error)) << error.toStdString();
  EXPECT_EQ(index.StubSize, 40u);
  EXPECT_EQ(index.SaverName, QByteArray("Demo"));
  EXPECT_EQ(index.DirectoryOffset, quint64(p.DirectoryOffset()));
  ASSERT_EQ(index.Entries.size(), p.entries.size());
  quint64 offset = 40;
  for (qsizetype i = 0; i < p.entries.size(); ++i) {
    EXPECT_EQ(index.Entries[i].EntryName, p.entries[i].name);
    EXPECT_EQ(index.Entries[i].EntrySize, quint32(p.entries[i].data.size()));
    EXPECT_EQ(index.Entries[i].Offset, offset);
    offset += p.entries[i].data.size();
  }
  ExpectConsistent(index, bytes.size());
}

TEST(PackageReader, NamesEndAtTheirFirstZero) {
  const FixturePackage p = SmallPackage();
  QByteArray bytes = p.Bytes();
  // Fill the rest of every name field after its zero with other bytes.
  for (qsizetype i = 0; i < p.entries.size(); ++i) {
    const qsizetype field = p.DirectoryOffset() + 268 * i + 4;
    for (qsizetype k = p.entries[i].name.size() + 1; k < 260; ++k) bytes[field + k] = char('A' + k % 26);
  }
  const qsizetype saverField = p.TrailerOffset() + 8;
  for (qsizetype k = p.saverName.size() + 1; k < 257; ++k) bytes[saverField + k] = '\xff';

  TPackageIndex index;
  ASSERT_TRUE(ReadBytes(bytes, index));
  EXPECT_EQ(index.SaverName, QByteArray("Demo"));
  for (qsizetype i = 0; i < p.entries.size(); ++i) EXPECT_EQ(index.Entries[i].EntryName, p.entries[i].name);
}

void PutLe32(QByteArray& bytes, qsizetype at, quint32 value) {
  qToLittleEndian(value, bytes.data() + at);
}

struct MalformedCase {
  const char* label;
  std::function<void(QByteArray&, const FixturePackage&)> damage;
  const char* reason;  // words the error must hold
};
void PrintTo(const MalformedCase& c, std::ostream* os) {
  *os << c.label;
}

class PackageReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(PackageReaderMalformed, FailsWithAReason) {
  const FixturePackage p = SmallPackage();
  QByteArray bytes = p.Bytes();
  GetParam().damage(bytes, p);
  TPackageIndex index;
  QString error;
  EXPECT_FALSE(ReadBytes(bytes, index, &error));
  EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().reason))) << error.toStdString();
  EXPECT_TRUE(index.Entries.isEmpty());
}

const auto kCount = [](const FixturePackage& p) { return p.TrailerOffset() + 4; };
const auto kRecord = [](const FixturePackage& p, int i) { return p.DirectoryOffset() + 268 * i; };

INSTANTIATE_TEST_SUITE_P(
    Cases, PackageReaderMalformed,
    ::testing::Values(
        MalformedCase{"Empty", [](QByteArray& b, const FixturePackage&) { b.clear(); },
                      "shorter than a package trailer"},
        MalformedCase{"ShorterThanATrailer", [](QByteArray& b, const FixturePackage&) { b = b.right(264); },
                      "shorter than a package trailer"},
        MalformedCase{"NoRecords", [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kCount(p), 0); },
                      "at least the engine"},
        MalformedCase{"OneRecord", [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kCount(p), 1); },
                      "at least the engine"},
        MalformedCase{"CountBeyondTheFile",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kCount(p), 0xFFFFFFFFu); },
                      "does not fit"},
        MalformedCase{"CountOneMore",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kCount(p), 5); },
                      "does not fit"},
        MalformedCase{"CountOneLess",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kCount(p), 3); },
                      "record 1 of the directory carries the index 2"},
        MalformedCase{"StubPastTheDirectory",
                      [](QByteArray& b, const FixturePackage& p) {
                        PutLe32(b, p.TrailerOffset(), quint32(p.DirectoryOffset() + 1));
                      },
                      "runs past the directory"},
        MalformedCase{"StubOneShort",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, p.TrailerOffset(), 39); },
                      "directory starts at"},
        MalformedCase{"EntryOneLonger",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kRecord(p, 1) + 264, 21); },
                      "runs past the directory"},
        MalformedCase{"EntryOneShorter",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kRecord(p, 3) + 264, 8); },
                      "directory starts at"},
        MalformedCase{
            "EntryHuge",
            [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kRecord(p, 0) + 264, 0xFFFFFFFFu); },
            "runs past the directory"},
        MalformedCase{"WrongIndex",
                      [](QByteArray& b, const FixturePackage& p) { PutLe32(b, kRecord(p, 2), 7); },
                      "carries the index 7"},
        MalformedCase{"EntryNameWithoutZero",
                      [](QByteArray& b, const FixturePackage& p) {
                        for (int k = 0; k < 260; ++k) b[kRecord(p, 2) + 4 + k] = 'x';
                      },
                      "no terminating zero"},
        MalformedCase{"SaverNameWithoutZero",
                      [](QByteArray& b, const FixturePackage& p) {
                        for (int k = 0; k < 257; ++k) b[p.TrailerOffset() + 8 + k] = 'x';
                      },
                      "no terminating zero"},
        MalformedCase{"FirstByteMissing", [](QByteArray& b, const FixturePackage&) { b.remove(0, 1); },
                      "runs past the directory"},
        MalformedCase{"ByteAppended", [](QByteArray& b, const FixturePackage&) { b.append('\0'); },
                      "does not fit"}),
    [](const auto& info) { return std::string(info.param.label); });

// A package cut at any length is refused; whatever the reader accepts is consistent.
TEST(PackageReader, EveryCutIsRefused) {
  for (const QByteArray& whole : {SmallPackage().Bytes(), [] {
                                    FixturePackage p = SmallPackage();
                                    p.stub.clear();
                                    return p.Bytes();
                                  }()}) {
    TPackageIndex index;
    ASSERT_TRUE(ReadBytes(whole, index));
    for (qsizetype length = 0; length < whole.size(); ++length) {
      if (ReadBytes(whole.left(length), index)) {
        ADD_FAILURE() << "accepted a package cut at " << length;
        ExpectConsistent(index, length);
      }
    }
  }
}

// Every byte of the directory and the trailer changed in turn: a changed number
// is always refused; a changed name gives a consistent index or a refusal.
TEST(PackageReader, EveryChangedByteOfTheIndex) {
  const FixturePackage p = SmallPackage();
  const QByteArray whole = p.Bytes();
  int accepted = 0;
  for (qsizetype at = p.DirectoryOffset(); at < whole.size(); ++at) {
    const bool inTrailer = at >= p.TrailerOffset();
    const qsizetype field = inTrailer ? at - p.TrailerOffset() : (at - p.DirectoryOffset()) % 268;
    const bool inNumber = inTrailer ? field < 8 : (field < 4 || field >= 264);
    for (int change : {0x01, 0x80, 0xFF}) {
      QByteArray bytes = whole;
      bytes[at] = char(bytes[at] ^ change);
      TPackageIndex index;
      if (!ReadBytes(bytes, index)) continue;
      ++accepted;
      EXPECT_FALSE(inNumber) << "accepted a changed number at " << at;
      ExpectConsistent(index, bytes.size());
    }
  }
  EXPECT_GT(accepted, 0);  // changes behind a name's zero change nothing
}

TEST(PackageReader, OpensAFileAndCopiesEntries) {
  const FixturePackage p = SmallPackage();
  TempFolder dir;
  dir.Write("Demo.exe", p.Bytes());
  TPackageReader reader;
  ASSERT_TRUE(reader.Open(dir.Path("Demo.exe"))) << reader.ErrorText().toStdString();
  ASSERT_EQ(reader.Entries().size(), p.entries.size());
  for (qsizetype i = 0; i < p.entries.size(); ++i) {
    EXPECT_EQ(reader.ReadEntry(reader.Entries()[i]), p.entries[i].data) << i;
  }

  EXPECT_FALSE(reader.Open(dir.Path("missing.exe")));
  EXPECT_TRUE(reader.ErrorText().contains(dir.Path("missing.exe")));
  EXPECT_TRUE(reader.Entries().isEmpty());

  dir.Write("short.exe", p.Bytes().left(100));
  EXPECT_FALSE(reader.Open(dir.Path("short.exe")));
  EXPECT_TRUE(reader.ErrorText().contains(dir.Path("short.exe")));
  EXPECT_TRUE(reader.ErrorText().contains("no valid saver package"));
}

TEST(PackageReader, PackageShrunkAfterOpening) {
  const FixturePackage p = SmallPackage();
  QByteArray bytes = p.Bytes();
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  TPackageReader reader;
  ASSERT_TRUE(reader.Open(&buffer));
  bytes.truncate(p.stub.size() + 35);  // ends inside the uninstaller's data
  QByteArray copy;
  QBuffer out(&copy);
  out.open(QIODevice::WriteOnly);
  EXPECT_NO_THROW(reader.CopyEntry(reader.Entries()[0], out));
  EXPECT_THROW(reader.CopyEntry(reader.Entries()[1], out), EInOutError);
  EXPECT_THROW(reader.CopyEntry(reader.Entries()[3], out), EInOutError);
}

struct SafeNameCase {
  QByteArray name;
  bool safe;
};
void PrintTo(const SafeNameCase& c, std::ostream* os) {
  *os << '"' << c.name.toHex().toStdString() << '"';
}

class EntryNameSafety : public ::testing::TestWithParam<SafeNameCase> {};

TEST_P(EntryNameSafety, ForUnpacking) {
  EXPECT_EQ(IsSafeEntryName(GetParam().name), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(Cases, EntryNameSafety,
                         ::testing::Values(SafeNameCase{"a.swf", true}, SafeNameCase{"Uninstall.exe", true},
                                           SafeNameCase{Gbk("新年快乐.swf"), true}, SafeNameCase{"...", true},
                                           SafeNameCase{".hidden", true},
                                           // A GBK character whose second byte is the code of '\' or '|'.
                                           SafeNameCase{"\xb0\x5c.swf", true},
                                           SafeNameCase{"\xb0\x7c.swf", true}, SafeNameCase{"", false},
                                           SafeNameCase{".", false}, SafeNameCase{"..", false},
                                           SafeNameCase{"../a.swf", false}, SafeNameCase{"a/b.swf", false},
                                           SafeNameCase{"/etc", false}, SafeNameCase{"a\\b.swf", false},
                                           SafeNameCase{"..\\a.swf", false}, SafeNameCase{"\xb0", false},
                                           SafeNameCase{"a\xff.swf", false}));

TEST(PackageReader, DisplayNameShowsControlCharactersAsEscapes) {
  const struct {
    QByteArray name;
    const char* shown;
  } cases[] = {{"a.swf", "a.swf"},        {Gbk("新年.swf"), "新年.swf"},          {"a\nb.swf", "a\\x0Ab.swf"},
               {"\x1b[2Jx", "\\x1B[2Jx"}, {"tab\there\x7f", "tab\\x09here\\x7F"}, {"\xff", "\xef\xbf\xbd"}};
  for (const auto& c : cases) EXPECT_EQ(DisplayName(c.name), QString::fromUtf8(c.shown)) << c.shown;
}

}  // namespace
