// Feeds arbitrary bytes to the update page parser and the version check, and
// checks what must always hold: the section is a piece of the page that starts
// with its marker and holds no end marker, each field stands between its tags in
// the section, and the version comparison is either an answer or a conversion
// error, never both ways at once.
#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>

#include "untUpdate.h"

namespace {

void CheckField(const QByteArray& section, const QByteArray& value, const char* open, const char* close) {
  if (value.isEmpty()) return;
  const QByteArray whole = open + value + close;
  if (!section.contains(whole)) abort();
  if (value.contains(close)) abort();
}

// An answer, or nothing for a conversion error.
int Newer(const QByteArray& current, const QByteArray& newest) {
  try {
    return TCheckUpdate::IsNewVersion(current, newest) ? 1 : 0;
  } catch (const EConvertError&) {
    return -1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray page(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QByteArray section = TCheckUpdate::GetSection(SectionNumber, page);
  if (!section.isEmpty()) {
    if (!section.startsWith("(4)")) abort();
    if (section.contains("(/4)")) abort();
    if (!page.contains(section + "(/4)")) abort();
  } else if (page.contains("(4)") && page.indexOf("(/4)", page.indexOf("(4)")) >= 0) {
    abort();
  }
  const TSoftUpdate u = TCheckUpdate::GetSoftUpdate(section);
  CheckField(section, u.Ver, "(ver)", "(/ver)");
  CheckField(section, u.UpDay, "(upday)", "(/upday)");
  CheckField(section, u.Size, "(size)", "(/size)");
  CheckField(section, u.Url, "(url)", "(/url)");
  CheckField(section, u.UpText, "(uptext)", "(/uptext)");
  Newer("1.8", u.Ver);

  // The version comparison on slices of the input: a number is never newer
  // than itself, and of two numbers at most one is newer than the other.
  const qsizetype cut = page.indexOf('|');
  const QByteArray a = (cut < 0 ? page : page.left(cut)).split('(').front();
  const QByteArray b = cut < 0 ? QByteArray("1.8") : page.mid(cut + 1).split('(').front();
  const int self = Newer(a, a + "(");
  if (self == 1) abort();
  const int ab = Newer(a, b + "(");
  const int ba = Newer(b, a + "(");
  if ((ab == -1) != (ba == -1)) abort();
  if (ab == 1 && ba == 1) abort();
  if (ab != -1 && self == -1) abort();
  return 0;
}
