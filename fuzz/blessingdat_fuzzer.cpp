// Feeds arbitrary bytes to the Blessing.dat reader and checks what must always
// hold: no line keeps a line break, every line end counts once, and lines that
// were read write back as the same bytes with each end made CR LF.
#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "BlessingModel.h"
#include "GbkText.h"
#include "PavonaError.h"

namespace {

// The file as a save writes it: every line end CR LF, the last line ended too.
QByteArray Normalised(const QByteArray& bytes, qsizetype& lineCount) {
  QByteArray out;
  lineCount = 0;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      out += "\r\n";
      ++lineCount;
    } else {
      out += c;
    }
  }
  if (!out.isEmpty() && !out.endsWith("\r\n")) {
    out += "\r\n";
    ++lineCount;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QStringList lines = ReadBlessingLines(bytes);
  qsizetype lineCount = 0;
  const QByteArray normalised = Normalised(bytes, lineCount);
  if (lines.size() != lineCount) abort();
  for (const QString& line : lines) {
    if (line.contains(u'\r') || line.contains(u'\n')) abort();
  }
  QByteArray written;
  try {
    written = BlessingFileBytes(lines);
  } catch (const EEncodingError&) {
    // Only bytes that are no valid GBK can give a line that GBK cannot hold.
    if (gbk::IsValid(bytes)) abort();
    return 0;
  }
  if (ReadBlessingLines(written) != lines) abort();
  if (gbk::IsValid(bytes) && written != normalised) abort();
  return 0;
}
