// Writes arbitrary bytes as a projector file and extracts it: the result must
// be 0 with exactly the bytes the trailer points at, or 311 with no output.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "AccessorialTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  if (!dir.isValid()) abort();
  const QString exe = dir.filePath("p.exe"), swf = dir.filePath("p.swf");
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  {
    QFile f(exe);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) abort();
  }
  // An output left by the previous input must go as well when this one fails.
  const int result = TExtractFlash().ExtractSwf(exe, swf);

  qint64 length = -1;
  if (size >= 8 && data[size - 5] == 0xFA) {
    const uint8_t* p = data + size - 4;
    length = static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                  (uint32_t(p[3]) << 24));
  }
  const bool valid = length > 0 && length <= qint64(size) - 8;
  if (valid) {
    QFile out(swf);
    if (result != kExtractOk || !out.open(QIODevice::ReadOnly)) abort();
    if (out.readAll() != bytes.mid(qsizetype(qint64(size) - 8 - length), qsizetype(length))) abort();
  } else if (result != kExtractNotProjector || QFile::exists(swf)) {
    abort();
  }
  return 0;
}
