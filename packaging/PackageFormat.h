#pragma once

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "PavonaError.h"

// The on-disk records of a saver package. The installer stub reads them from the
// end of its own file, so their widths and byte order are fixed: little-endian
// 32-bit integers and GBK names, zero-terminated inside fixed-width fields.
#pragma pack(push, 1)

// One directory record per entry after the installer stub.
struct TPackageEntry {
  quint32_le EntryIndex;
  char EntryName[260];
  quint32_le EntrySize;
};

// The last bytes of every package.
struct TPackageTrailer {
  quint32_le StubSize;
  quint32_le EntryCount;
  char SaverName[257];
};

#pragma pack(pop)

static_assert(sizeof(TPackageEntry) == 268);
static_assert(sizeof(TPackageTrailer) == 265);
static_assert(std::is_trivially_copyable_v<TPackageEntry> && std::is_trivially_copyable_v<TPackageTrailer>);

// A name that cannot go into a package (too long for its field, or holding a
// zero byte that would end it early).
class EPackageError : public EPavonaError {
 public:
  using EPavonaError::EPavonaError;
};

namespace package {

constexpr qint64 EntrySize = sizeof(TPackageEntry);
constexpr qint64 TrailerSize = sizeof(TPackageTrailer);
// Bytes a name may take before its terminating zero.
constexpr qsizetype MaxEntryName = sizeof(TPackageEntry::EntryName) - 1;
constexpr qsizetype MaxSaverName = 255;  // leaves room for ".scr" in an entry name
constexpr quint32 EngineIndex = 1;
constexpr quint32 UninstallerIndex = 2;
constexpr quint32 FirstPayloadIndex = 3;
constexpr quint32 MinEntryCount = 2;  // the engine and the uninstaller

inline const QByteArray UninstallerEntryName = QByteArrayLiteral("Uninstall.exe");

// The bytes of a fixed-width name field up to its first zero; the whole field
// when it holds none.
template <std::size_t N>
QByteArray FieldText(const char (&field)[N]) {
  return QByteArray(field, static_cast<qsizetype>(qstrnlen(field, N)));
}

// Puts a name into a field and zeroes the rest of it. A name that does not fit
// is refused rather than cut.
template <std::size_t N>
void SetField(char (&field)[N], const QByteArray& name) {
  if (name.size() >= static_cast<qsizetype>(N)) {
    throw EPackageError(
        QStringLiteral("The name does not fit its field: %1").arg(QString::fromLatin1(name.toHex())));
  }
  std::fill(field, field + N, '\0');
  std::copy(name.cbegin(), name.cend(), field);
}

// The GBK bytes of a name for a field that holds at most maxBytes before its
// zero. Throws EEncodingError when GBK cannot hold the name, EPackageError when
// it is too long or holds a zero character.
QByteArray EncodeName(const QString& name, qsizetype maxBytes);

}  // namespace package
