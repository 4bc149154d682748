// The main() of programs that run the real player: the web engine needs its
// environment before the QApplication exists, and shares OpenGL contexts with
// the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLoggingCategory>

#include "WebEngineSetup.h"

int main(int argc, char** argv) {
  platform::PrepareWebEngineEnvironment();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // Without a GPU the engine describes its graphics set-up at length; the
  // software path it falls back to is all these programs need.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
