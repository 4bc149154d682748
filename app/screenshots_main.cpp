// Renders each page of the main window to PNG files, for review.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include "BlessingModel.h"
#include "ExecutablePath.h"
#include "StyledText.h"
#include "untMain.h"

namespace {

// Each default style drawing the sample line of its style preview, one under
// another as the blessing page shows them.
QImage StylesSheet() {
  const TFontStyles styles = DefaultFontStyles();
  constexpr int kWidth = 560, kRow = 56, kMargin = 12;
  QImage sheet(kWidth, kRow * styles.Count(), QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  for (int i = 0; i < styles.Count(); ++i) {
    const TFontStyle& style = styles[i];
    const QRect row(kMargin, i * kRow, kWidth - 2 * kMargin, kRow);
    DrawStyledText(p, row, RenderStyledText(style, QStringLiteral("字体样式预览") + style.Name),
                   TLineAlign::Left);
    p.setPen(QColor(220, 220, 220));
    if (i > 0) p.drawLine(0, i * kRow, kWidth, i * kRow);
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
  QDir().mkpath(out);
  // The window reads and writes its data files beside the executable; keep the
  // real ones out of it by pointing it at a scratch folder.
  QTemporaryDir scratch;
  platform::SetExecutableFilePathForTesting(scratch.path() + "/pavona");
  TPavona_Main window;
  window.show();
  const char* names[] = {"page1-select-files", "page2-blessings", "page3-options", "page4-build"};
  QTextStream log(stdout);
  for (int i = 0; i < window.pgcMain->count(); ++i) {
    window.pgcMain->setCurrentIndex(i);
    app.processEvents();
    const QString path = out + "/" + names[i] + ".png";
    window.grab().save(path);
    log << path << '\n';
  }
  window.close();
  const QString sheet = out + "/styles-sheet.png";
  StylesSheet().save(sheet);
  log << sheet << '\n';
  return 0;
}
