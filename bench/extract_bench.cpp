// Extracts a large movie from a generated projector and copies the same bytes
// with tail (and tail | head), alternating, and prints the best throughput of
// each and their ratio. Usage: extract_bench [MiB (default 512)] [folder]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "AccessorialTools.h"
#include "PavonaError.h"
#include "SwfGen.h"

namespace {

// Writes player part, a movie of the given size (an FWS header, then filler
// that no file system stores sparsely) and the trailer, piece by piece.
bool WriteProjector(const QString& path, qint64 movieSize) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  TProjectorOptions options;
  options.PlayerSize = 3 * 1024 * 1024;
  if (f.write(ProjectorPlayerPart(options)) != options.PlayerSize) return false;
  QByteArray chunk(4 * 1024 * 1024, Qt::Uninitialized);
  quint32 x = 12345;
  for (char& c : chunk) c = char((x = x * 1103515245u + 12345u) >> 24);
  QByteArray header("FWS\x0a", 4);
  for (int i = 0; i < 4; ++i) header.append(char(quint32(movieSize) >> (8 * i)));
  if (f.write(header) != header.size()) return false;
  for (qint64 left = movieSize - header.size(); left > 0;) {
    const qint64 n = std::min<qint64>(left, chunk.size());
    if (f.write(chunk.constData(), n) != n) return false;
    left -= n;
  }
  const QByteArray trailer = ProjectorTrailer(qint32(movieSize), options);
  return f.write(trailer) == trailer.size() && f.flush();
}

bool SameContents(const QString& a, const QString& b) {
  QFile fa(a), fb(b);
  if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size()) return false;
  while (!fa.atEnd()) {
    if (fa.read(8 * 1024 * 1024) != fb.read(8 * 1024 * 1024)) return false;
  }
  return true;
}

double Seconds(const QElapsedTimer& t) {
  return double(t.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const qint64 mib = args.size() > 1 ? args[1].toLongLong() : 512;
  if (mib < 1 || mib > 2047) {
    std::fprintf(stderr, "usage: extract_bench [MiB 1..2047] [folder]\n");
    return 2;
  }
  QTemporaryDir dir(QDir(args.size() > 2 ? args[2] : QDir::tempPath()).filePath("extract_bench-XXXXXX"));
  if (!dir.isValid()) {
    std::fprintf(stderr, "cannot make a folder for the files\n");
    return 1;
  }
  const qint64 movieSize = mib * 1024 * 1024;
  const QString projector = dir.filePath("projector.exe"), ours = dir.filePath("extract.swf"),
                piped = dir.filePath("tail-head.swf"), tailed = dir.filePath("tail.swf");
  if (!WriteProjector(projector, movieSize)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(projector));
    return 1;
  }
  std::printf("movie %lld MiB in %s\n", mib, qPrintable(dir.path()));

  const QString length = QString::number(movieSize), withTrailer = QString::number(movieSize + 8);
  double best[3] = {1e30, 1e30, 1e30};
  for (int round = 0; round < 3; ++round) {
    for (const QString& f : {ours, piped, tailed}) QFile::remove(f);
    QElapsedTimer t;
    t.start();
    try {
      if (TExtractFlash().ExtractSwf(projector, ours) != kExtractOk) {
        std::fprintf(stderr, "extraction refused the projector\n");
        return 1;
      }
    } catch (const EPavonaError& e) {
      std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
      return 1;
    }
    best[0] = std::min(best[0], Seconds(t));

    t.restart();
    if (QProcess::execute("sh", {"-c", R"(tail -c "$1" "$2" | head -c "$3" > "$4")", "sh", withTrailer,
                                 projector, length, piped}) != 0) {
      std::fprintf(stderr, "tail | head failed\n");
      return 1;
    }
    best[1] = std::min(best[1], Seconds(t));

    t.restart();
    if (QProcess::execute("sh",
                          {"-c", R"(tail -c "$1" "$2" > "$3")", "sh", withTrailer, projector, tailed}) != 0) {
      std::fprintf(stderr, "tail failed\n");
      return 1;
    }
    best[2] = std::min(best[2], Seconds(t));
  }
  if (!SameContents(ours, piped)) {
    std::fprintf(stderr, "extract and tail | head disagree\n");
    return 1;
  }

  const double mibs[3] = {mib / best[0], mib / best[1], (mib + 8.0 / 1048576) / best[2]};
  std::printf("extract            %8.1f MiB/s (%.3f s)\n", mibs[0], best[0]);
  std::printf("tail -c | head -c  %8.1f MiB/s (%.3f s)\n", mibs[1], best[1]);
  std::printf("tail -c            %8.1f MiB/s (%.3f s)\n", mibs[2], best[2]);
  std::printf("ratio extract/tail = %.2f\n", mibs[0] / mibs[2]);
  std::printf("ratio extract/(tail | head) = %.2f\n", mibs[0] / mibs[1]);
  return 0;
}
