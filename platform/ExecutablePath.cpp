#include "ExecutablePath.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <limits.h>
#include <unistd.h>
#endif

namespace platform {
namespace {
QString& Override() {
  static QString path;
  return path;
}
}  // namespace

void SetExecutableFilePathForTesting(const QString& path) { Override() = path; }

QChar PathSeparator() {
#ifdef Q_OS_WIN
  return u'\\';
#else
  return u'/';
#endif
}

QString ExecutableFilePath() {
  if (!Override().isEmpty()) return Override();
#ifdef Q_OS_LINUX
  // Works without a QCoreApplication, which the command-line tools do not always make.
  char buf[PATH_MAX + 1];
  const ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
  if (n > 0) return QString::fromLocal8Bit(buf, n);
#endif
  return QCoreApplication::applicationFilePath();
}

QString FolderWithSeparator(const QString& executablePath) {
  const QChar sep = PathSeparator();
  qsizetype cut = executablePath.lastIndexOf(u'/');
#ifdef Q_OS_WIN
  cut = std::max(cut, executablePath.lastIndexOf(u'\\'));
#endif
  QString folder = cut >= 0 ? executablePath.left(cut + 1) : QString();
  if (folder.isEmpty() || folder.back() != sep) {
    if (!folder.isEmpty() && folder.back() == u'/') folder.chop(1);
    folder += sep;
  }
  return folder;
}

QString ExecutableFolder() { return FolderWithSeparator(ExecutableFilePath()); }

}  // namespace platform
