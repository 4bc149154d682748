#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  QString Path(const QString& name = QString()) const;  // folder + "/" + name
  void Write(const QString& name, const QByteArray& bytes) const;
  QByteArray Read(const QString& name) const;  // empty when missing
  bool Exists(const QString& name) const;

 private:
  QTemporaryDir dir_;
};

// GBK bytes of a UTF-8 literal, for building fixtures in tests.
QByteArray Gbk(const QString& text);

// Points the application folder at a folder for the lifetime of the object.
class AppFolderOverride {
 public:
  explicit AppFolderOverride(const QString& folder);  // folder without a trailing '/'
  ~AppFolderOverride();
};

#include <ostream>
// Readable names of text in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& b, std::ostream* os) { *os << '"' << b.toStdString() << '"'; }
