#pragma once

#include <QByteArray>
#include <QString>

#include "PavonaError.h"

// The update page: one plain page of the maker's web site, split into numbered
// sections "(n)" ... "(/n)"; this tool reads section SectionNumber. The page is
// taken as the bytes the server sends (GBK like every other text of the tool),
// matched byte for byte and case-sensitively, with no character-set conversion
// and no HTML parsing.
inline const QString UpdatePageUrl = QStringLiteral("http://www.pavona-soft.com/products/update.htm");
constexpr int SectionNumber = 4;

// A text that should hold a decimal number does not.
class EConvertError : public EPavonaError {
 public:
  using EPavonaError::EPavonaError;
};

// The five fields of a section, exactly as they stand between their tags.
struct TSoftUpdate {
  QByteArray Ver;     // the newest version, a number directly followed by "(", e.g. "1.9(2006-9-1)"
  QByteArray UpDay;   // date of the update
  QByteArray Size;    // size of the new installer
  QByteArray Url;     // where the new installer is downloaded from
  QByteArray UpText;  // what changed; may span lines

  friend bool operator==(const TSoftUpdate&, const TSoftUpdate&) = default;
};

// A stateless parser; none of its reads fails, a missing marker gives empty text.
class TCheckUpdate {
 public:
  // The text of section Number: from its first start marker "(Number)" up to,
  // not including, the first end marker "(/Number)" after it; empty when
  // either is missing.
  static QByteArray GetSection(int Number, const QByteArray& Page);
  // The text between the first OpenTag and the first CloseTag after it; empty
  // when either is missing.
  static QByteArray GetTagText(const QByteArray& Text, const QByteArray& OpenTag, const QByteArray& CloseTag);
  // The fields "(ver)", "(upday)", "(size)", "(url)" and "(uptext)", each looked
  // for from the start of the section, so in any order.
  static TSoftUpdate GetSoftUpdate(const QByteArray& Section);
  // True when the number before the first "(" of Newest is greater than
  // Current. The versions are decimal numbers, not dotted parts: 1.10 is 1.1.
  // Throws EConvertError when either is no number (so also when Newest holds
  // no "(" or begins with it). The decimal separator is always '.'.
  static bool IsNewVersion(const QByteArray& Current, const QByteArray& Newest);
};
