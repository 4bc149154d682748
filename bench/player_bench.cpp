// The player's answer time: from SetMovie and Play to the first frame the page
// reports from the movie (its control script answering), and to the first frame
// after that one. Cold: a fresh process, so the web engine and Ruffle's
// WebAssembly start too; warm: the next movies on the same page. Baseline: a
// fresh process showing an empty page in a bare web view.
//
//   player_bench [runs]     runs cold and warm measurements (default 5 each)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "RufflePlayer.h"
#include "SwfGen.h"
#include "WebEngineSetup.h"

namespace {

constexpr int kLimitMs = 60000;

struct Times {
  double reported = -1;  // first frame reported
  double advanced = -1;  // a later frame reported
};

// Times one SetMovie and Play on the player; -1 where the limit ran out.
Times PlayOnce(TRufflePlayer& player, const QString& path) {
  Times times;
  QElapsedTimer t;
  t.start();
  player.SetMovie(path);
  player.Play();
  int first = -1;
  // On time-out the figures stay -1.
  (void)QTest::qWaitFor(
      [&] {
        if (player.FollowMode() == TRufflePlayer::TFollowMode::Flash && player.Settled()) {
          if (first < 0) {
            first = player.FrameNum();
            times.reported = t.nsecsElapsed() / 1e6;
          } else if (player.FrameNum() != first) {
            times.advanced = t.nsecsElapsed() / 1e6;
            return true;
          }
        }
        return false;
      },
      kLimitMs);
  return times;
}

QString MakeMovie(const QTemporaryDir& dir, int i) {
  TSwfGenOptions o;
  o.FrameCount = 120;
  o.FrameRate = 24;
  o.ShapeCount = 3;
  o.Compression = TSwfCompression::Zlib;
  const QString path = dir.filePath(QString("bench%1.swf").arg(i));
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(GenerateSwf(o));
  return path;
}

// The child process's work: prints its figures on one line.
int Child(const QString& mode, int warmRuns) {
  QWidget window;
  window.resize(240, 180);
  auto* panel = new QFrame(&window);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(8, 8, 217, 161);
  window.show();
  if (mode == "bare") {
    QElapsedTimer t;
    t.start();
    QWebEngineView view(panel);
    view.setGeometry(2, 2, 213, 157);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    view.setHtml(QStringLiteral("<html><body></body></html>"));
    (void)QTest::qWaitFor([&] { return loaded; }, kLimitMs);
    std::printf("%.1f\n", t.nsecsElapsed() / 1e6);
    return 0;
  }
  QTemporaryDir dir;
  TRufflePlayer player(panel, QStringLiteral(PAVONA_RUFFLE_DIR));
  for (int i = 0; i <= warmRuns; ++i) {
    const Times times = PlayOnce(player, MakeMovie(dir, i));
    std::printf("%.1f %.1f\n", times.reported, times.advanced);
  }
  return 0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

QString List(const std::vector<double>& v) {
  QStringList parts;
  for (double d : v) parts << QString::number(d, 'f', 0);
  return parts.join(' ');
}

}  // namespace

int main(int argc, char** argv) {
  platform::PrepareWebEngineEnvironment();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() >= 3 && args[1] == "--child") return Child(args[2], args.value(3).toInt());

  const int runs = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;
  auto runChild = [&](const QString& mode, int warmRuns) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(app.applicationFilePath(), {"--child", mode, QString::number(warmRuns)});
    p.waitForFinished(kLimitMs * (warmRuns + 2));
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  };

  std::vector<double> bare, coldReported, coldAdvanced, warmReported, warmAdvanced;
  for (int i = 0; i < runs; ++i) {
    for (const QString& line : runChild("bare", 0)) bare.push_back(line.toDouble());
    // The first process also gives the warm runs, on its one page.
    const QStringList lines = runChild("player", i == 0 ? runs : 0);
    for (int j = 0; j < lines.size(); ++j) {
      const QStringList v = lines[j].split(' ');
      if (v.size() != 2) continue;
      (j == 0 ? coldReported : warmReported).push_back(v[0].toDouble());
      (j == 0 ? coldAdvanced : warmAdvanced).push_back(v[1].toDouble());
    }
  }

  QTextStream out(stdout);
  out << "Play to first reported frame, ms (-1: no answer within " << kLimitMs / 1000 << " s)\n";
  out << "  cold, new process:   " << List(coldReported) << "  median " << Median(coldReported) << '\n';
  out << "  warm, same page:     " << List(warmReported) << "  median " << Median(warmReported) << '\n';
  out << "Play to the next frame reported, ms\n";
  out << "  cold:                " << List(coldAdvanced) << "  median " << Median(coldAdvanced) << '\n';
  out << "  warm:                " << List(warmAdvanced) << "  median " << Median(warmAdvanced) << '\n';
  out << "Baseline, empty page in a bare web view of a new process: " << List(bare) << "  median "
      << Median(bare) << '\n';
  if (Median(bare) > 0) {
    out << "ratio cold first frame / bare page = "
        << QString::number(Median(coldReported) / Median(bare), 'f', 2) << '\n';
  }
  return 0;
}
