// Feeds arbitrary bytes to the FontStyle.ini reader and checks what must always
// hold: names stay unique, the cut fields stay in range, and whatever was read
// is written and read back to the same table (names with outer blanks and
// quotes included), with the sections named "0" to "n-1" and nothing stale left.
#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "FontStyle.h"
#include "PavonaError.h"
#include "ProfileDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const ProfileDocument doc = ProfileDocument::Parse(bytes);
  const TFontStyles table = ReadFontStyles(doc, 96);
  if (table.Count() > doc.SectionNames().size()) abort();
  for (int i = 0; i < table.Count(); ++i) {
    const TAAEffect& e = table[i].Effect;
    if (static_cast<int>(e.GradualStyle) > 5 || static_cast<int>(e.TextureMode) > 3) abort();
    for (int j = i + 1; j < table.Count(); ++j) {
      if (table[i].Name.compare(table[j].Name, Qt::CaseInsensitive) == 0) abort();
    }
    if (table.IndexOf(table[i].Name) != i) abort();
  }
  // Another resolution changes heights only.
  const TFontStyles wide = ReadFontStyles(doc, 120);
  if (wide.Names() != table.Names()) abort();

  ProfileDocument out = doc;
  try {
    WriteFontStyles(out, table, 96);
  } catch (const EEncodingError&) {
    // A name read from bytes that are no GBK cannot be written back; the
    // document must then be as it was.
    if (out.Serialize() != bytes) abort();
    return 0;
  }
  const ProfileDocument again = ProfileDocument::Parse(out.Serialize());
  QStringList expected;
  for (int i = 0; i < table.Count(); ++i) expected << QString::number(i);
  if (again.SectionNames() != expected) abort();
  for (const QString& section : expected) {
    if (again.KeyNames(section).size() != 27) abort();
  }
  if (!(ReadFontStyles(again, 96) == table)) abort();
  return 0;
}
