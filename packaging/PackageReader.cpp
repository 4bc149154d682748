#include "PackageReader.h"

#include <QBuffer>
#include <QFileDevice>
#include <algorithm>
#include <vector>

#include "GbkText.h"
#include "PackageFormat.h"
#include "PavonaError.h"

namespace {

constexpr qint64 kCopyPiece = 1024 * 1024;
// Directory records are read this many at a time, so a huge directory is never
// held twice in memory.
constexpr qint64 kRecordsPerRead = 4096;

bool ReadAt(QIODevice& device, qint64 position, char* data, qint64 size) {
  if (!device.seek(position)) return false;
  qint64 done = 0;
  while (done < size) {
    const qint64 got = device.read(data + done, size - done);
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

bool Fail(QString* error, const QString& text) {
  if (error) *error = text;
  return false;
}

QString DeviceName(const QIODevice& device, const QString& fallback) {
  if (auto* file = qobject_cast<const QFileDevice*>(&device); file && !file->fileName().isEmpty()) {
    return file->fileName();
  }
  return fallback;
}

}  // namespace

bool ReadPackageIndex(QIODevice& device, TPackageIndex& index, QString* error) {
  index = TPackageIndex();
  const qint64 size = device.size();
  if (size < package::TrailerSize) {
    return Fail(error, QStringLiteral("the file is %1 bytes long, shorter than a package trailer (%2 bytes)")
                           .arg(size)
                           .arg(package::TrailerSize));
  }
  TPackageTrailer trailer;
  if (!ReadAt(device, size - package::TrailerSize, reinterpret_cast<char*>(&trailer), sizeof trailer)) {
    return Fail(error, QStringLiteral("the trailer cannot be read: %1").arg(device.errorString()));
  }
  if (qstrnlen(trailer.SaverName, sizeof trailer.SaverName) == sizeof trailer.SaverName) {
    return Fail(error, QStringLiteral("the saver name in the trailer has no terminating zero"));
  }
  const quint64 count = trailer.EntryCount;
  if (count < package::MinEntryCount) {
    return Fail(error,
                QStringLiteral("the directory holds %1 records; every package has at least the engine and "
                               "the uninstaller")
                    .arg(count));
  }
  const quint64 room = quint64(size) - quint64(package::TrailerSize);
  if (count > room / quint64(package::EntrySize)) {
    return Fail(
        error,
        QStringLiteral("a directory of %1 records does not fit in a file of %2 bytes").arg(count).arg(size));
  }
  const quint64 directoryOffset = room - count * quint64(package::EntrySize);
  const quint64 stubSize = trailer.StubSize;
  if (stubSize > directoryOffset) {
    return Fail(error, QStringLiteral("the installer stub (%1 bytes) runs past the directory at %2")
                           .arg(stubSize)
                           .arg(directoryOffset));
  }

  QList<TPackageItem> entries;
  entries.reserve(static_cast<qsizetype>(count));
  std::vector<TPackageEntry> records;
  quint64 offset = stubSize;
  for (quint64 first = 0; first < count; first += kRecordsPerRead) {
    const quint64 batch = std::min<quint64>(kRecordsPerRead, count - first);
    records.resize(batch);
    const qint64 at = static_cast<qint64>(directoryOffset + first * quint64(package::EntrySize));
    if (!ReadAt(device, at, reinterpret_cast<char*>(records.data()),
                static_cast<qint64>(batch) * package::EntrySize)) {
      return Fail(error, QStringLiteral("the directory cannot be read: %1").arg(device.errorString()));
    }
    for (quint64 i = 0; i < batch; ++i) {
      const TPackageEntry& record = records[i];
      const quint64 position = first + i;
      if (record.EntryIndex != position + 1) {
        return Fail(error, QStringLiteral("record %1 of the directory carries the index %2")
                               .arg(position + 1)
                               .arg(quint32(record.EntryIndex)));
      }
      if (qstrnlen(record.EntryName, sizeof record.EntryName) == sizeof record.EntryName) {
        return Fail(error, QStringLiteral("the name of entry %1 has no terminating zero").arg(position + 1));
      }
      const quint64 entrySize = record.EntrySize;
      if (entrySize > directoryOffset - offset) {
        return Fail(error, QStringLiteral("entry %1 (%2 bytes at %3) runs past the directory at %4")
                               .arg(position + 1)
                               .arg(entrySize)
                               .arg(offset)
                               .arg(directoryOffset));
      }
      TPackageItem item;
      item.EntryIndex = record.EntryIndex;
      item.EntryName = package::FieldText(record.EntryName);
      item.EntrySize = record.EntrySize;
      item.Offset = offset;
      entries.append(std::move(item));
      offset += entrySize;
    }
  }
  if (offset != directoryOffset) {
    return Fail(error, QStringLiteral("the entries end at %1 but the directory starts at %2")
                           .arg(offset)
                           .arg(directoryOffset));
  }

  index.FileSize = quint64(size);
  index.StubSize = trailer.StubSize;
  index.SaverName = package::FieldText(trailer.SaverName);
  index.DirectoryOffset = directoryOffset;
  index.Entries = std::move(entries);
  return true;
}

TPackageReader::TPackageReader() = default;
TPackageReader::~TPackageReader() = default;

bool TPackageReader::Open(const QString& path) {
  index_ = TPackageIndex();
  error_.clear();
  name_ = path;
  device_ = nullptr;
  file_ = std::make_unique<QFile>(path);
  if (!file_->open(QIODevice::ReadOnly)) {
    error_ = QStringLiteral("Cannot open file \"%1\". %2").arg(path, file_->errorString());
    file_.reset();
    return false;
  }
  return Open(file_.get());
}

bool TPackageReader::Open(QIODevice* device) {
  index_ = TPackageIndex();
  error_.clear();
  device_ = device;
  if (device != file_.get()) {
    file_.reset();
    name_ = DeviceName(*device, QStringLiteral("the package"));
  }
  QString why;
  if (!ReadPackageIndex(*device_, index_, &why)) {
    error_ = QStringLiteral("\"%1\" is no valid saver package: %2").arg(name_, why);
    device_ = nullptr;
    return false;
  }
  return true;
}

void TPackageReader::CopyEntry(const TPackageItem& entry, QIODevice& out) {
  if (!device_) throw EInOutError(QStringLiteral("No package is open."));
  const qint64 end = static_cast<qint64>(entry.Offset) + entry.EntrySize;
  if (end > static_cast<qint64>(index_.DirectoryOffset) ||
      !device_->seek(static_cast<qint64>(entry.Offset))) {
    throw EInOutError(
        QStringLiteral("Cannot read file \"%1\". The entry lies outside the package.").arg(name_));
  }
  QByteArray piece(static_cast<qsizetype>(std::min<qint64>(kCopyPiece, std::max<qint64>(entry.EntrySize, 1))),
                   Qt::Uninitialized);
  qint64 left = entry.EntrySize;
  while (left > 0) {
    const qint64 got = device_->read(piece.data(), std::min<qint64>(left, piece.size()));
    if (got <= 0) {
      throw EInOutError(
          QStringLiteral("Cannot read file \"%1\". %2")
              .arg(name_, got < 0 ? device_->errorString()
                                  : QStringLiteral("The package ended early; it changed since it was "
                                                   "opened.")));
    }
    if (out.write(piece.constData(), got) != got) {
      throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2")
                            .arg(DeviceName(out, QStringLiteral("output")), out.errorString()));
    }
    left -= got;
  }
}

QByteArray TPackageReader::ReadEntry(const TPackageItem& entry) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  CopyEntry(entry, buffer);
  return bytes;
}

bool IsSafeEntryName(const QByteArray& name) {
  if (name.isEmpty() || !gbk::IsValid(name)) return false;
  const QString text = gbk::Decode(name);
  if (text == u"." || text == u"..") return false;
  return !text.contains(u'/') && !text.contains(u'\\');
}

QString DisplayName(const QByteArray& name) {
  const QString text = gbk::Decode(name);
  QString shown;
  shown.reserve(text.size());
  for (QChar c : text) {
    if (c.category() == QChar::Other_Control) {
      shown += QStringLiteral("\\x") + QString::number(c.unicode(), 16).rightJustified(2, u'0').toUpper();
    } else {
      shown += c;
    }
  }
  return shown;
}
