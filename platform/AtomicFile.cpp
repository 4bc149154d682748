#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {
namespace {

WriteFaultHook& FaultHook() {
  static WriteFaultHook hook;
  return hook;
}

constexpr qint64 kPiece = 64 * 1024;

}  // namespace

void SetWriteFaultHookForTesting(WriteFaultHook hook) { FaultHook() = std::move(hook); }

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  auto fail = [&](const QString& reason) {
    if (error) *error = reason;
    return false;
  };
  if (QFileInfo(path).isDir()) return fail(QStringLiteral("a folder stands where the file should be"));
  QSaveFile file(path);
  // Never write in place: a failure half way would leave the old file truncated.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  qint64 written = 0;
  while (written < bytes.size()) {
    if (FaultHook() && !FaultHook()(path, written)) {
      file.cancelWriting();
      return fail(QStringLiteral("No space left on device"));
    }
    const qint64 n = std::min(kPiece, bytes.size() - written);
    if (file.write(bytes.constData() + written, n) != n) {
      const QString reason = file.errorString();
      file.cancelWriting();
      return fail(reason);
    }
    written += n;
  }
  if (FaultHook() && !FaultHook()(path, written)) {
    file.cancelWriting();
    return fail(QStringLiteral("No space left on device"));
  }
  if (!file.commit()) return fail(file.errorString());
  return true;
}

bool ReadWholeFile(const QString& path, QByteArray& bytes, QString* error) {
  bytes.clear();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace platform
