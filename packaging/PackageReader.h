#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QList>
#include <QString>
#include <memory>

// One entry of a package as the reader found it.
struct TPackageItem {
  quint32 EntryIndex = 0;
  QByteArray EntryName;  // GBK bytes up to the first zero of the field
  quint32 EntrySize = 0;
  quint64 Offset = 0;  // where the entry's data starts in the package
};

// What the trailer and the directory of a package say, every field checked
// against the file's length: the records fit in the file, their indices run
// 1, 2, 3 ..., every name ends inside its field, and the stub and the entries'
// sizes add up exactly to the start of the directory.
struct TPackageIndex {
  quint64 FileSize = 0;
  quint32 StubSize = 0;
  QByteArray SaverName;  // GBK bytes up to the first zero of the field
  quint64 DirectoryOffset = 0;
  QList<TPackageItem> Entries;
};

// Reads the index of the package on a readable, seekable device. False, with
// error naming the first fault, when the bytes do not form a package; nothing
// is ever read outside the device's length.
bool ReadPackageIndex(QIODevice& device, TPackageIndex& index, QString* error = nullptr);

// A package opened for reading its entries.
class TPackageReader {
 public:
  TPackageReader();
  ~TPackageReader();
  TPackageReader(const TPackageReader&) = delete;
  TPackageReader& operator=(const TPackageReader&) = delete;

  // False, with ErrorText set, when the file cannot be opened or is no package.
  bool Open(const QString& path);
  // The same for a device the caller keeps open (and owns) meanwhile.
  bool Open(QIODevice* device);

  const QString& ErrorText() const { return error_; }
  const TPackageIndex& Index() const { return index_; }
  const QList<TPackageItem>& Entries() const { return index_.Entries; }

  // Copies the entry's data to out in bounded pieces. Throws EInOutError when
  // the package can no longer be read (it changed since Open) or out refuses a write.
  void CopyEntry(const TPackageItem& entry, QIODevice& out);
  // The entry's data whole; meant for the small data files.
  QByteArray ReadEntry(const TPackageItem& entry);

 private:
  std::unique_ptr<QFile> file_;
  QIODevice* device_ = nullptr;
  QString name_;  // the package's path, for error texts
  QString error_;
  TPackageIndex index_;
};

// Whether an entry name may become a file name when a package is unpacked: not
// empty, valid GBK, not "." or "..", and holding no '/' or '\\' character (the
// check is made on characters, so the second byte of a GBK character never counts).
bool IsSafeEntryName(const QByteArray& name);

// The text of a name read from a package, for showing: GBK decoded (invalid
// bytes as U+FFFD) with control characters written as \xHH, so a crafted name
// can neither start a new line nor send escape sequences to a terminal.
QString DisplayName(const QByteArray& name);
