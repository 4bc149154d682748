#include "FileIdentity.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace platform {

bool SameFile(const QString& a, const QString& b) {
#ifdef Q_OS_UNIX
  struct stat sa {}, sb {};
  if (stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
  if (stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#else
  const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
  return !ca.isEmpty() && ca.compare(cb, Qt::CaseInsensitive) == 0;
#endif
}

}  // namespace platform
