#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "ProfileDocument.h"

// Integer text as the profile readers take it: signed decimal, or hexadecimal when
// the text is longer than two characters and starts with "0x" or "0X". Gives
// nothing for empty, malformed or out-of-range text.
std::optional<int> ParseProfileInteger(const QString& text);

// A Windows profile (INI) file in GBK. In write-through mode (the default) every
// read looks at the file as it is now and every write changes the file at once,
// as the Windows profile functions do. In buffered mode the file is read once and
// the writes collect in memory until UpdateFile() puts them on disk in one atomic
// step, which is what a save of many keys wants: all of them or none.
//
// A write that the system refuses throws EIniFileError "Unable to write to <path>"
// and leaves the old file as it was; text that GBK cannot hold throws
// EEncodingError before anything is written.
class TIniFile {
 public:
  enum class Mode { WriteThrough, Buffered };

  explicit TIniFile(QString fileName, Mode mode = Mode::WriteThrough);
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const QString& FileName() const { return fileName_; }

  QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const;
  void WriteString(const QString& section, const QString& ident, const QString& value);
  int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
  void WriteInteger(const QString& section, const QString& ident, int value);
  bool ReadBool(const QString& section, const QString& ident, bool defaultValue) const;
  void WriteBool(const QString& section, const QString& ident, bool value);

  QStringList ReadSections() const;
  QStringList ReadSection(const QString& section) const;  // the key names
  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& ident) const;
  void EraseSection(const QString& section);
  void DeleteKey(const QString& section, const QString& ident);
  // Replaces the section's keys as a whole (appending the section when missing).
  void WriteSection(const QString& section, const std::vector<ProfileDocument::KeyValue>& keys);

  // Buffered mode: writes the collected changes (the whole file) atomically.
  void UpdateFile();

 private:
  const ProfileDocument& View(ProfileDocument& scratch) const;
  template <typename Change>
  void Modify(Change change);
  void Commit(const ProfileDocument& doc) const;

  QString fileName_;
  Mode mode_;
  mutable std::unique_ptr<ProfileDocument> buffer_;
};

// Shorthand for a buffered profile file.
class TMemIniFile : public TIniFile {
 public:
  explicit TMemIniFile(QString fileName) : TIniFile(std::move(fileName), Mode::Buffered) {}
};

// Reads a profile file from disk; a missing file reads as empty.
ProfileDocument LoadProfile(const QString& fileName);
// Writes the document atomically or throws EIniFileError.
void SaveProfile(const QString& fileName, const ProfileDocument& doc);
