#pragma once

// Builders for the package tests: companion stubs in a temporary application
// folder, and packages assembled byte by byte from the format's description,
// independently of the writer under test.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

#include "TestUtil.h"

// Bytes that differ from one fixture to the next, so a misplaced copy shows.
QByteArray Pattern(qsizetype size, int seed);
QByteArray Le32(quint32 value);
quint32 ReadLe32(const QByteArray& bytes, qsizetype at);

// A temporary application folder holding Install.dll, Glimmora.dll and
// Uninstall.dll of the given sizes; the application folder points there while
// the object lives.
class StubFolder {
 public:
  StubFolder(qsizetype install, qsizetype engine, qsizetype uninstall);
  QString Path(const QString& name = QString()) const { return dir_.Path(name); }
  void Remove(const QString& name) const;

  QByteArray install, engine, uninstall;

 private:
  TempFolder dir_;
  std::unique_ptr<AppFolderOverride> override_;
};

struct FixtureEntry {
  QByteArray name;  // written into its 260-byte field, zero-filled after it
  QByteArray data;
};

// A package laid out as the format says: stub, entries' data, one record per
// entry (index = position + 1), trailer.
struct FixturePackage {
  QByteArray stub;
  QList<FixtureEntry> entries;
  QByteArray saverName;

  QByteArray Bytes() const;
  qsizetype DirectoryOffset() const;
  qsizetype TrailerOffset() const;
};
