#include "WebEngineSetup.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace platform {

void PrepareWebEngineEnvironment() {
#ifdef Q_OS_UNIX
  if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", QByteArray("1"));
  }
#endif
}

}  // namespace platform
