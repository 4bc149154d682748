#include "PackageFixtures.h"

#include <QFile>
#include <QtEndian>
#include <stdexcept>

QByteArray Pattern(qsizetype size, int seed) {
  QByteArray bytes(size, Qt::Uninitialized);
  quint32 x = 2654435761u * quint32(seed + 1);
  for (qsizetype i = 0; i < size; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes[i] = char(x >> 24);
  }
  return bytes;
}

QByteArray Le32(quint32 value) {
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  return bytes;
}

quint32 ReadLe32(const QByteArray& bytes, qsizetype at) {
  return qFromLittleEndian<quint32>(bytes.constData() + at);
}

StubFolder::StubFolder(qsizetype installSize, qsizetype engineSize, qsizetype uninstallSize)
    : install(Pattern(installSize, 101)),
      engine(Pattern(engineSize, 102)),
      uninstall(Pattern(uninstallSize, 103)) {
  dir_.Write("Install.dll", install);
  dir_.Write("Glimmora.dll", engine);
  dir_.Write("Uninstall.dll", uninstall);
  override_ = std::make_unique<AppFolderOverride>(dir_.Path());
}

void StubFolder::Remove(const QString& name) const {
  if (!QFile::remove(dir_.Path(name))) throw std::runtime_error("cannot remove stub " + name.toStdString());
}

qsizetype FixturePackage::DirectoryOffset() const {
  qsizetype offset = stub.size();
  for (const FixtureEntry& e : entries) offset += e.data.size();
  return offset;
}

qsizetype FixturePackage::TrailerOffset() const {
  return DirectoryOffset() + 268 * entries.size();
}

QByteArray FixturePackage::Bytes() const {
  QByteArray bytes = stub;
  for (const FixtureEntry& e : entries) bytes += e.data;
  for (qsizetype i = 0; i < entries.size(); ++i) {
    QByteArray name = entries[i].name.left(260);
    name.append(QByteArray(260 - name.size(), '\0'));
    bytes += Le32(quint32(i + 1)) + name + Le32(quint32(entries[i].data.size()));
  }
  QByteArray saver = saverName.left(257);
  saver.append(QByteArray(257 - saver.size(), '\0'));
  bytes += Le32(quint32(stub.size())) + Le32(quint32(entries.size())) + saver;
  return bytes;
}
