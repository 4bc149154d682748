// Start-up time of the tool: from starting the process to the main window shown
// (the program writes "shown" once its first show has been processed), against a
// bare Qt window program, alternating runs in the same session.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

double TimeToShown(const QString& program) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("PAVONA_REPORT_SHOWN", "1");
  if (!env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY")) env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  QElapsedTimer t;
  t.start();
  p.start(program, {});
  while (p.waitForReadyRead(10000)) {
    if (p.readAllStandardOutput().contains("shown")) break;
  }
  const double ms = t.nsecsElapsed() / 1e6;
  if (!p.waitForFinished(10000)) p.kill();
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
  // The tool keeps its data files beside itself: run a copy in a scratch folder.
  QTemporaryDir scratch;
  const QString tool = scratch.path() + "/pavona";
  QFile::copy(QStringLiteral(PAVONA_EXE), tool);
  std::vector<double> toolMs, bareMs;
  TimeToShown(tool);  // warm the file cache for both
  TimeToShown(QStringLiteral(BARE_EXE));
  for (int i = 0; i < runs; ++i) {
    toolMs.push_back(TimeToShown(tool));
    bareMs.push_back(TimeToShown(QStringLiteral(BARE_EXE)));
  }
  const double tm = Median(toolMs), bm = Median(bareMs);
  QTextStream out(stdout);
  out << "runs: " << runs << " each, medians\n";
  out << "pavona main window shown: " << QString::number(tm, 'f', 1) << " ms\n";
  out << "bare Qt window shown:     " << QString::number(bm, 'f', 1) << " ms\n";
  out << "ratio pavona/bare = " << QString::number(tm / bm, 'f', 3) << '\n';
  return 0;
}
