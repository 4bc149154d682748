#include "ProfileDocument.h"

#include "GbkText.h"
#include "PavonaError.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString StripBlanks(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

QString Fold(const QString& name) { return name.toCaseFolded(); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

const QByteArray kCrLf("\r\n");

}  // namespace

ProfileDocument::Line ProfileDocument::ParseLine(QByteArray raw, QByteArray eol) {
  Line line;
  line.raw = std::move(raw);
  line.eol = std::move(eol);
  const QString text = gbk::Decode(line.raw);
  qsizetype i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size()) {
    line.kind = Kind::Blank;
    return line;
  }
  if (text[i] == u';') {
    line.kind = Kind::Comment;
    return line;
  }
  if (text[i] == u'[') {
    const qsizetype close = text.indexOf(u']', i + 1);
    if (close >= 0) {
      line.kind = Kind::Section;
      line.name = StripBlanks(text.mid(i + 1, close - i - 1));
      return line;
    }
    // A '[' without ']' opens no section; the line is read like any other.
  }
  const qsizetype eq = text.indexOf(u'=', i);
  if (eq < 0) {
    line.kind = Kind::Other;
    return line;
  }
  line.kind = Kind::Key;
  line.name = StripBlanks(text.mid(i, eq - i));
  QString value = StripBlanks(text.mid(eq + 1));
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
    value = value.mid(1, value.size() - 2);
  }
  line.value = value;
  return line;
}

ProfileDocument ProfileDocument::Parse(const QByteArray& bytes) {
  ProfileDocument doc;
  const qsizetype n = bytes.size();
  qsizetype start = 0;
  // CR and LF never occur inside a GBK character (trail bytes are 0x40 and up),
  // so lines can be split on the bytes before decoding.
  while (start < n) {
    qsizetype end = start;
    while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    qsizetype eolLen = 0;
    if (end < n) eolLen = (bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') ? 2 : 1;
    doc.lines_.push_back(ParseLine(bytes.mid(start, end - start), bytes.mid(end, eolLen)));
    start = end + eolLen;
  }
  return doc;
}

QByteArray ProfileDocument::Serialize() const {
  QByteArray out;
  qsizetype total = 0;
  for (const Line& l : lines_) total += l.raw.size() + l.eol.size();
  out.reserve(total);
  for (const Line& l : lines_) {
    out += l.raw;
    out += l.eol;
  }
  return out;
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(const QString& section) const {
  if (!indexValid_) {
    // Walk backwards so that the first header of each name is the one kept.
    sectionIndex_.clear();
    for (size_t i = lines_.size(); i-- > 0;) {
      if (lines_[i].kind == Kind::Section) sectionIndex_.insert(Fold(lines_[i].name), i);
    }
    indexValid_ = true;
  }
  auto it = sectionIndex_.constFind(Fold(section));
  if (it == sectionIndex_.constEnd()) return std::nullopt;
  size_t end = it.value() + 1;
  while (end < lines_.size() && lines_[end].kind != Kind::Section) ++end;
  return Range{it.value(), end};
}

std::optional<size_t> ProfileDocument::FindKey(const Range& range, const QString& key) const {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    if (lines_[i].kind == Kind::Key && SameName(lines_[i].name, key)) return i;
  }
  return std::nullopt;
}

std::optional<QString> ProfileDocument::Value(const QString& section, const QString& key) const {
  auto range = FindSection(section);
  if (!range) return std::nullopt;
  auto at = FindKey(*range, key);
  if (!at) return std::nullopt;
  return lines_[*at].value;
}

QByteArray ProfileDocument::EncodeChecked(const QString& text, const char* what) {
  if (text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0))) {
    throw EPavonaError(QStringLiteral("%1不能包含换行符或空字符。(A %2 cannot contain a line break.)")
                           .arg(QString::fromUtf8(what), QString::fromUtf8(what)));
  }
  return gbk::Encode(text);
}

void ProfileDocument::EnsureEnded() {
  if (!lines_.empty() && lines_.back().eol.isEmpty()) lines_.back().eol = kCrLf;
}

void ProfileDocument::SetValue(const QString& section, const QString& key, const QString& value) {
  const QByteArray sectionBytes = EncodeChecked(section, "section name");
  const QByteArray keyBytes = EncodeChecked(key, "key name");
  const QByteArray valueBytes = EncodeChecked(value, "value");
  auto range = FindSection(section);
  if (!range) {
    EnsureEnded();
    lines_.push_back(ParseLine("[" + sectionBytes + "]", kCrLf));
    lines_.push_back(ParseLine(keyBytes + "=" + valueBytes, kCrLf));
    Invalidate();
    return;
  }
  if (auto at = FindKey(*range, key)) {
    Line& line = lines_[*at];
    // The key keeps its place and its letter case (its own bytes) as the file has it.
    // '=' is never part of a GBK character, so the first '=' byte ends the name.
    const QByteArray name = line.raw.left(line.raw.indexOf('=')).trimmed();
    line = ParseLine(name + "=" + valueBytes, line.eol);
    return;
  }
  size_t insertAt = range->header + 1;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    if (lines_[i].kind == Kind::Key) insertAt = i + 1;
  }
  if (insertAt == lines_.size()) EnsureEnded();
  else if (insertAt > 0 && lines_[insertAt - 1].eol.isEmpty()) lines_[insertAt - 1].eol = kCrLf;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                ParseLine(keyBytes + "=" + valueBytes, kCrLf));
  Invalidate();
}

bool ProfileDocument::DeleteKey(const QString& section, const QString& key) {
  auto range = FindSection(section);
  if (!range) return false;
  auto at = FindKey(*range, key);
  if (!at) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
  Invalidate();
  return true;
}

bool ProfileDocument::EraseSection(const QString& section) {
  auto range = FindSection(section);
  if (!range) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
               lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
  Invalidate();
  return true;
}

void ProfileDocument::ReplaceSection(const QString& section, const std::vector<KeyValue>& keys) {
  const QByteArray sectionBytes = EncodeChecked(section, "section name");
  std::vector<Line> newLines;
  newLines.reserve(keys.size());
  for (const auto& [k, v] : keys) {
    newLines.push_back(ParseLine(EncodeChecked(k, "key name") + "=" + EncodeChecked(v, "value"), kCrLf));
  }
  auto range = FindSection(section);
  if (!range) {
    EnsureEnded();
    lines_.push_back(ParseLine("[" + sectionBytes + "]", kCrLf));
    lines_.insert(lines_.end(), newLines.begin(), newLines.end());
  } else {
    if (lines_[range->header].eol.isEmpty()) lines_[range->header].eol = kCrLf;
    std::vector<Line> kept;
    for (size_t i = range->header + 1; i < range->end; ++i) {
      if (lines_[i].kind != Kind::Key) kept.push_back(lines_[i]);
    }
    auto first = lines_.begin() + static_cast<std::ptrdiff_t>(range->header + 1);
    lines_.erase(first, lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    newLines.insert(newLines.end(), kept.begin(), kept.end());
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(range->header + 1), newLines.begin(),
                  newLines.end());
  }
  Invalidate();
}

QStringList ProfileDocument::SectionNames() const {
  QStringList names;
  QHash<QString, bool> seen;
  for (const Line& l : lines_) {
    if (l.kind != Kind::Section) continue;
    const QString folded = Fold(l.name);
    if (seen.contains(folded)) continue;
    seen.insert(folded, true);
    names << l.name;
  }
  return names;
}

QStringList ProfileDocument::KeyNames(const QString& section) const {
  QStringList names;
  auto range = FindSection(section);
  if (!range) return names;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    if (lines_[i].kind == Kind::Key) names << lines_[i].name;
  }
  return names;
}

bool ProfileDocument::HasSection(const QString& section) const { return FindSection(section).has_value(); }
