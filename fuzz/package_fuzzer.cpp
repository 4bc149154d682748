// Feeds arbitrary bytes to the package reader as a whole package and checks what
// must always hold: an accepted index is consistent with the file's length, and
// every entry it lists can be copied out whole; a refused one carries a reason.
#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "PackageFormat.h"
#include "PackageReader.h"
#include "PavonaError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer device(&bytes);
  device.open(QIODevice::ReadOnly);
  TPackageReader reader;
  if (!reader.Open(&device)) {
    if (reader.ErrorText().isEmpty() || !reader.Entries().isEmpty()) abort();
    return 0;
  }
  const TPackageIndex& index = reader.Index();
  if (index.FileSize != size || index.Entries.size() < 2) abort();
  if (index.SaverName.size() >= 257 || index.SaverName.contains('\0')) abort();
  quint64 offset = index.StubSize;
  for (qsizetype i = 0; i < index.Entries.size(); ++i) {
    const TPackageItem& e = index.Entries[i];
    if (e.EntryIndex != quint32(i + 1) || e.Offset != offset) abort();
    if (e.EntryName.size() >= 260 || e.EntryName.contains('\0')) abort();
    offset += e.EntrySize;
    try {
      if (reader.ReadEntry(e) != bytes.mid(static_cast<qsizetype>(e.Offset), e.EntrySize)) abort();
    } catch (const EPavonaError&) {
      abort();  // the file did not change, so every listed entry must read
    }
    IsSafeEntryName(e.EntryName);
  }
  if (offset != index.DirectoryOffset) abort();
  if (index.DirectoryOffset + quint64(package::EntrySize) * quint64(index.Entries.size()) +
          quint64(package::TrailerSize) !=
      size) {
    abort();
  }
  return 0;
}
