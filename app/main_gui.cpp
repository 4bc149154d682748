#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "Constant.h"
#include "LoadedPlayer.h"
#include "WebEngineSetup.h"
#include "untMain.h"

int main(int argc, char** argv) {
  // The player's web engine needs these before the application object exists.
  platform::PrepareWebEngineEnvironment();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TPavona_Main::SetFlashPlayerFactory(LoadedPlayerFactory());
  app.setApplicationName(constant::ProductName);
  app.setApplicationDisplayName(constant::ProductName);
  TPavona_Main window;
  // Centred on the desktop when first shown.
  if (QScreen* screen = app.primaryScreen()) {
    const QRect area = screen->availableGeometry();
    window.move(area.center() - window.rect().center());
  }
  window.show();
  if (qEnvironmentVariableIsSet("PAVONA_REPORT_SHOWN")) {
    // For the start-up benchmark: say when the first show has been processed, then close.
    QTimer::singleShot(0, &window, [&window] {
      std::puts("shown");
      std::fflush(stdout);
      window.close();
    });
  }
  return app.exec();
}
