// Feeds arbitrary bytes to the profile reader and checks what must always hold:
// an unchanged document writes back byte for byte, every listed key can be read,
// and a value written reads back.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "PavonaError.h"
#include "ProfileDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  ProfileDocument doc = ProfileDocument::Parse(bytes);
  if (doc.Serialize() != bytes) abort();
  const QStringList sections = doc.SectionNames();
  for (const QString& section : sections) {
    if (!doc.HasSection(section)) abort();
    for (const QString& key : doc.KeyNames(section)) {
      if (!doc.Value(section, key).has_value()) abort();
    }
  }
  const QString section = sections.isEmpty() ? QStringLiteral("S") : sections.front();
  try {
    doc.SetValue(section, QStringLiteral("FuzzKey"), QStringLiteral("value 1"));
    const ProfileDocument again = ProfileDocument::Parse(doc.Serialize());
    if (again.Value(section, QStringLiteral("FuzzKey")) != QStringLiteral("value 1")) abort();
    doc.EraseSection(section);
    doc.ReplaceSection(QStringLiteral("New"), {{QStringLiteral("a"), QStringLiteral("b")}});
    if (ProfileDocument::Parse(doc.Serialize()).Value(QStringLiteral("new"), QStringLiteral("A")) !=
        QStringLiteral("b")) {
      abort();
    }
  } catch (const EPavonaError&) {
    // A section name that GBK cannot hold or that holds a line break is refused.
  }
  return 0;
}
