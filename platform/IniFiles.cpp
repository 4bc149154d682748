#include "IniFiles.h"

#include <QFileInfo>

#include "AtomicFile.h"
#include "PavonaError.h"

std::optional<int> ParseProfileInteger(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  bool ok = false;
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    const QString digits = text.mid(2);
    // Up to eight hex digits, taken as a 32-bit pattern: 0xFFFFFFFF reads as -1.
    if (digits.size() > 8) return std::nullopt;
    for (QChar c : digits) {
      if (!c.isDigit() && !(c.toLower() >= u'a' && c.toLower() <= u'f')) return std::nullopt;
      if (c.unicode() > 0x7f) return std::nullopt;
    }
    const uint v = digits.toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return static_cast<int>(v);
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    const bool sign = i == 0 && (c == u'-' || c == u'+');
    if (!sign && (c < u'0' || c > u'9')) return std::nullopt;
  }
  const int v = text.toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return v;
}

ProfileDocument LoadProfile(const QString& fileName) {
  QByteArray bytes;
  platform::ReadWholeFile(fileName, bytes);
  return ProfileDocument::Parse(bytes);
}

void SaveProfile(const QString& fileName, const ProfileDocument& doc) {
  if (!platform::WriteFileAtomically(fileName, doc.Serialize())) {
    throw EIniFileError(QStringLiteral("Unable to write to %1").arg(fileName));
  }
}

TIniFile::TIniFile(QString fileName, Mode mode) : fileName_(std::move(fileName)), mode_(mode) {
  if (mode_ == Mode::Buffered) buffer_ = std::make_unique<ProfileDocument>(LoadProfile(fileName_));
}

TIniFile::~TIniFile() = default;

const ProfileDocument& TIniFile::View(ProfileDocument& scratch) const {
  if (buffer_) return *buffer_;
  scratch = LoadProfile(fileName_);
  return scratch;
}

template <typename Change>
void TIniFile::Modify(Change change) {
  // A change checks all its text before it touches the document, so one that
  // throws leaves the document as it was.
  if (buffer_) {
    change(*buffer_);
    return;
  }
  ProfileDocument doc = LoadProfile(fileName_);
  change(doc);
  Commit(doc);
}

void TIniFile::Commit(const ProfileDocument& doc) const { SaveProfile(fileName_, doc); }

void TIniFile::UpdateFile() {
  if (buffer_) Commit(*buffer_);
}

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const {
  ProfileDocument scratch;
  return View(scratch).Value(section, ident).value_or(defaultValue);
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  Modify([&](ProfileDocument& doc) { doc.SetValue(section, ident, value); });
}

int TIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const {
  return ParseProfileInteger(ReadString(section, ident, QString())).value_or(defaultValue);
}

void TIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, QString::number(value));
}

bool TIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TIniFile::ReadSections() const { ProfileDocument scratch;
  return View(scratch).SectionNames(); }

QStringList TIniFile::ReadSection(const QString& section) const { ProfileDocument scratch;
  return View(scratch).KeyNames(section); }

bool TIniFile::SectionExists(const QString& section) const { ProfileDocument scratch;
  return View(scratch).HasSection(section); }

bool TIniFile::ValueExists(const QString& section, const QString& ident) const {
  ProfileDocument scratch;
  return View(scratch).Value(section, ident).has_value();
}

void TIniFile::EraseSection(const QString& section) {
  Modify([&](ProfileDocument& doc) { doc.EraseSection(section); });
}

void TIniFile::DeleteKey(const QString& section, const QString& ident) {
  Modify([&](ProfileDocument& doc) { doc.DeleteKey(section, ident); });
}

void TIniFile::WriteSection(const QString& section, const std::vector<ProfileDocument::KeyValue>& keys) {
  Modify([&](ProfileDocument& doc) { doc.ReplaceSection(section, keys); });
}
