#include "UserInfo.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace platform {

QString UserFullName() {
#ifdef Q_OS_UNIX
  if (const passwd* pw = getpwuid(geteuid())) {
    // The GECOS field starts with the full name; further fields follow commas.
    const QString gecos = QString::fromLocal8Bit(pw->pw_gecos ? pw->pw_gecos : "").section(u',', 0, 0).trimmed();
    if (!gecos.isEmpty()) return gecos;
    if (pw->pw_name && *pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
  }
#endif
  const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
  return user;
}

QString UserOrganization() { return qEnvironmentVariable("ORGANIZATION").trimmed(); }

}  // namespace platform
