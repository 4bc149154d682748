#include "TestUtil.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "ExecutablePath.h"
#include "GbkText.h"

TempFolder::TempFolder() {
  if (!dir_.isValid()) throw std::runtime_error("cannot make a temporary folder");
}

QString TempFolder::Path(const QString& name) const {
  return name.isEmpty() ? dir_.path() : dir_.path() + "/" + name;
}

void TempFolder::Write(const QString& name, const QByteArray& bytes) const {
  QFile f(Path(name));
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
    throw std::runtime_error("cannot write test fixture " + Path(name).toStdString());
  }
}

QByteArray TempFolder::Read(const QString& name) const {
  QFile f(Path(name));
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

bool TempFolder::Exists(const QString& name) const { return QFile::exists(Path(name)); }

QByteArray Gbk(const QString& text) { return gbk::Encode(text); }

AppFolderOverride::AppFolderOverride(const QString& folder) {
  platform::SetExecutableFilePathForTesting(folder + "/pavona");
}

AppFolderOverride::~AppFolderOverride() { platform::SetExecutableFilePathForTesting(QString()); }
