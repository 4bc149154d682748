#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// The lines of one Windows profile (INI) file, read and changed the way the
// Windows profile functions do it:
// - section and key names match without regard to letter case; the first of
//   duplicate sections and the first of duplicate keys win;
// - blanks around names and values are stripped, one pair of outer quotes is
//   removed from a value, ';' lines are comments, lines before the first section
//   and lines without '=' are no keys;
// - a key written again is replaced in place, a new key goes after the last key
//   line of its section, a new section at the end of the file.
// Lines the program does not change are written back byte for byte, so a file
// with text of another encoding or with damaged bytes loses nothing.
class ProfileDocument {
 public:
  using KeyValue = std::pair<QString, QString>;

  ProfileDocument() = default;
  static ProfileDocument Parse(const QByteArray& bytes);
  QByteArray Serialize() const;

  // The value of the first matching key of the first matching section.
  std::optional<QString> Value(const QString& section, const QString& key) const;

  // Throws EEncodingError when the names or the value cannot be held in GBK, and
  // EPavonaError for a line break (which would corrupt the file); nothing changes then.
  void SetValue(const QString& section, const QString& key, const QString& value);
  bool DeleteKey(const QString& section, const QString& key);
  bool EraseSection(const QString& section);
  // Replaces the key lines of the section (or appends it) with the given keys.
  void ReplaceSection(const QString& section, const std::vector<KeyValue>& keys);

  QStringList SectionNames() const;  // in file order, each name once
  QStringList KeyNames(const QString& section) const;  // in file order
  bool HasSection(const QString& section) const;

 private:
  enum class Kind { Other, Blank, Comment, Section, Key };
  struct Line {
    QByteArray raw;  // the line's bytes without its end
    QByteArray eol;  // "\r\n", "\n", "\r" or "" for a last line without one
    Kind kind = Kind::Other;
    QString name;   // section or key name, blanks stripped
    QString value;  // key value, blanks and outer quotes stripped
  };
  struct Range {
    size_t header;  // index of the section line
    size_t end;     // one past its last line
  };

  static Line ParseLine(QByteArray raw, QByteArray eol);
  std::optional<Range> FindSection(const QString& section) const;
  std::optional<size_t> FindKey(const Range& range, const QString& key) const;
  void Invalidate() { indexValid_ = false; }
  void EnsureEnded();
  static QByteArray EncodeChecked(const QString& text, const char* what);

  std::vector<Line> lines_;
  mutable QHash<QString, size_t> sectionIndex_;  // case-folded name -> first header line
  mutable bool indexValid_ = false;
};
