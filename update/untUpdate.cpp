#include "untUpdate.h"

#include <charconv>

#include "GbkText.h"

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void Refuse(const QByteArray& text) {
  throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(gbk::Decode(text)));
}

// A decimal number with '.' as the separator whatever the user's locale:
// optional blanks, an optional sign, digits with an optional fraction (at least
// one digit), an optional exponent, optional blanks.
long double ToNumber(const QByteArray& text) {
  const char* p = text.constData();
  const char* end = p + text.size();
  while (p < end && IsSpace(*p)) ++p;
  while (end > p && IsSpace(end[-1])) --end;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* const first = p;
  int digits = 0;
  while (p < end && IsDigit(*p)) ++p, ++digits;
  if (p < end && *p == '.') {
    ++p;
    while (p < end && IsDigit(*p)) ++p, ++digits;
  }
  if (digits == 0) Refuse(text);
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    const char* const exponent = p;
    while (p < end && IsDigit(*p)) ++p;
    if (p == exponent) Refuse(text);
  }
  if (p != end) Refuse(text);
  long double value = 0;
  const auto [ptr, ec] = std::from_chars(first, end, value, std::chars_format::general);
  if (ec != std::errc() || ptr != end) Refuse(text);
  return negative ? -value : value;
}

}  // namespace

QByteArray TCheckUpdate::GetSection(int Number, const QByteArray& Page) {
  const QByteArray digits = QByteArray::number(Number);
  const qsizetype p = Page.indexOf("(" + digits + ")");
  if (p < 0) return QByteArray();
  const qsizetype q = Page.indexOf("(/" + digits + ")", p);
  if (q < 0) return QByteArray();
  return Page.mid(p, q - p);
}

QByteArray TCheckUpdate::GetTagText(const QByteArray& Text, const QByteArray& OpenTag,
                                    const QByteArray& CloseTag) {
  const qsizetype p = Text.indexOf(OpenTag);
  if (p < 0) return QByteArray();
  // The closing tag is looked for from the opening tag's own position; one
  // found inside the opening tag leaves nothing between them.
  const qsizetype q = Text.indexOf(CloseTag, p);
  const qsizetype from = p + OpenTag.size();
  if (q < from) return QByteArray();
  return Text.mid(from, q - from);
}

TSoftUpdate TCheckUpdate::GetSoftUpdate(const QByteArray& Section) {
  TSoftUpdate u;
  u.Ver = GetTagText(Section, "(ver)", "(/ver)");
  u.UpDay = GetTagText(Section, "(upday)", "(/upday)");
  u.Size = GetTagText(Section, "(size)", "(/size)");
  u.Url = GetTagText(Section, "(url)", "(/url)");
  u.UpText = GetTagText(Section, "(uptext)", "(/uptext)");
  return u;
}

bool TCheckUpdate::IsNewVersion(const QByteArray& Current, const QByteArray& Newest) {
  const qsizetype bracket = Newest.indexOf('(');
  const QByteArray number = bracket > 0 ? Newest.left(bracket) : QByteArray();
  const long double newest = ToNumber(number);
  return newest > ToNumber(Current);
}
