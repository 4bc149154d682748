// The baseline of the start-up benchmark: a plain Qt window of the same size,
// reporting when it has been shown in the same way as the tool does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  auto* label = new QLabel(QStringLiteral("Hello"), &window);
  window.setCentralWidget(label);
  window.setFixedSize(603, 400);
  window.show();
  QTimer::singleShot(0, [] {
    std::puts("shown");
    std::fflush(stdout);
    QCoreApplication::quit();
  });
  return app.exec();
}
