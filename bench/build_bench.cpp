// Builds a saver package with 1 GiB of payload in several files, and copies the
// same files with `cat` into one file in the same folder, alternating, in one
// run. The package is built twice per round: by a `pavona-cli build` child
// (whole command, process start included, and its peak resident memory) and by
// TBuildSaver in this process (the builder alone). Prints the best throughput of
// each and their ratios to cat.
// Usage: build_bench [MiB (default 1024)] [files (default 8)] [rounds (default 5)] [folder (default: temp)]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BuildSaver.h"
#include "ExecutablePath.h"
#include "PavonaError.h"
#include "Process.h"

namespace {

bool WritePayload(const QString& path, qint64 size, quint32 seed) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QByteArray chunk(4 * 1024 * 1024, Qt::Uninitialized);
  quint32 x = seed * 2654435761u + 1;
  for (qint64 left = size; left > 0;) {
    // Fresh bytes per piece, so no file system can share or compress them.
    for (char& c : chunk) c = char((x = x * 1664525u + 1013904223u) >> 24);
    const qint64 n = std::min<qint64>(left, chunk.size());
    if (f.write(chunk.constData(), n) != n) return false;
    left -= n;
  }
  return f.flush();
}

bool CopyInto(const QString& from, const QString& folder) {
  const QString to = folder + "/" + QFileInfo(from).fileName();
  return QFile::copy(from, to) &&
         QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

double Seconds(const QElapsedTimer& t) {
  return double(t.nsecsElapsed()) / 1e9;
}
double MiB(qint64 bytes) {
  return double(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const qint64 mib = args.size() > 1 ? args[1].toLongLong() : 1024;
  const int files = args.size() > 2 ? args[2].toInt() : 8;
  const int rounds = args.size() > 3 ? args[3].toInt() : 5;
  const QString base = args.size() > 4 ? args[4] : QDir::tempPath();
  if (mib < 1 || mib * 1024 * 1024 / std::max(files, 1) < 4099LL * files || files < 1 || files > 1000 ||
      rounds < 1) {
    std::fprintf(
        stderr,
        "usage: build_bench [MiB (default 1024)] [files (default 8)] [rounds (default 5)] [folder]\n");
    return 2;
  }
  QTemporaryDir work(base + "/pavona-build-bench-XXXXXX");
  if (!work.isValid()) {
    std::fprintf(stderr, "cannot make a folder under %s\n", qPrintable(base));
    return 1;
  }
  // A private application folder: the CLI, the companions, and the Config.ini
  // the first build writes there.
  const QString appDir = work.path() + "/app", src = work.path() + "/src", out = work.path() + "/out";
  QDir().mkpath(appDir);
  QDir().mkpath(src);
  QDir().mkpath(out);
  for (const char* companion : {PAVONA_CLI, INSTALL_STUB, ENGINE, UNINSTALL_STUB}) {
    if (!CopyInto(QString::fromUtf8(companion), appDir)) {
      std::fprintf(stderr, "cannot copy %s\n", companion);
      return 1;
    }
  }
  const QString cli = appDir + "/" + QFileInfo(PAVONA_CLI).fileName();

  std::printf("writing %lld MiB of payload in %d files under %s\n", static_cast<long long>(mib), files,
              qPrintable(work.path()));
  QStringList payload;
  const qint64 total = mib * 1024 * 1024;
  qint64 written = 0;
  for (int i = 0; i < files; ++i) {
    const QString path = src + QStringLiteral("/movie%1.swf").arg(i);
    // Sizes of real movies: no file is a whole number of pages (the last one
    // takes what is left), so cat's copies are no more page-aligned than the
    // package's, whose stubs in front have arbitrary lengths anyway.
    const qint64 size = i + 1 < files ? total / files - 4099 * (i + 1) : total - written;
    written += size;
    if (!WritePayload(path, size, quint32(i + 1))) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
    payload << path;
  }

  const QString catOut = out + "/cat.bin";
  const QString package = out + "/Bench.exe";
  QStringList buildArgs{"build", "--name", "Bench", "--out", out, "--yes"};
  buildArgs += payload;

  double bestCat = 1e300, bestCli = 1e300, bestBuilder = 1e300;
  qint64 catBytes = 0, cliBytes = 0, builderBytes = 0, cliRssKiB = 0, catRssKiB = 0;
  // Each timed copy starts with no dirty pages from the one before.
  auto settle = [] { platform::RunChildMeasured("/bin/sync", {}); };
  auto runCat = [&]() -> bool {
    settle();
    QElapsedTimer t;
    t.start();
    const platform::ChildRun r = platform::RunChildMeasured("/bin/cat", payload, catOut);
    const double s = Seconds(t);
    if (r.exitCode != 0) return false;
    bestCat = std::min(bestCat, s);
    catBytes = QFileInfo(catOut).size();
    catRssKiB = std::max(catRssKiB, r.peakRssKiB);
    QFile::remove(catOut);
    return true;
  };
  auto runCli = [&]() -> bool {
    settle();
    QElapsedTimer t;
    t.start();
    const platform::ChildRun r = platform::RunChildMeasured(cli, buildArgs, "/dev/null");
    const double s = Seconds(t);
    if (r.exitCode != 0) return false;
    bestCli = std::min(bestCli, s);
    cliBytes = QFileInfo(package).size();
    cliRssKiB = std::max(cliRssKiB, r.peakRssKiB);
    QFile::remove(package);
    return true;
  };
  // The same payload list as the command's: the SWFs, then its Config.ini.
  platform::SetExecutableFilePathForTesting(cli);
  const QStringList builderFiles = payload + QStringList{appDir + "/Config.ini"};
  auto runBuilder = [&]() -> bool {
    settle();
    try {
      QElapsedTimer t;
      t.start();
      TBuildSaver builder;
      builder.SetFiles(builderFiles);
      if (!builder.Build(package)) return false;
      bestBuilder = std::min(bestBuilder, Seconds(t));
    } catch (const EPavonaError& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return false;
    }
    builderBytes = QFileInfo(package).size();
    QFile::remove(package);
    return true;
  };

  // A first round, not counted, warms the page cache and writes Config.ini.
  if (!runCat() || !runCli()) {
    std::fprintf(stderr, "the warm-up failed\n");
    return 1;
  }
  bestCat = bestCli = 1e300;
  for (int round = 0; round < rounds; ++round) {
    bool ok = true;
    // Rotate the order so no runner always follows the same one.
    for (int k = 0; k < 3 && ok; ++k) {
      switch ((round + k) % 3) {
        case 0:
          ok = runCat();
          break;
        case 1:
          ok = runCli();
          break;
        default:
          ok = runBuilder();
          break;
      }
    }
    if (!ok) {
      std::fprintf(stderr, "round %d failed\n", round + 1);
      return 1;
    }
  }
  if (cliBytes < total || builderBytes != cliBytes || catBytes != total) {
    std::fprintf(stderr, "unexpected output sizes: cat %lld, pavona-cli %lld, builder %lld\n",
                 static_cast<long long>(catBytes), static_cast<long long>(cliBytes),
                 static_cast<long long>(builderBytes));
    return 1;
  }

  const double catRate = MiB(catBytes) / bestCat;
  const double cliRate = MiB(cliBytes) / bestCli;
  const double builderRate = MiB(builderBytes) / bestBuilder;
  std::printf("cat:              %.0f MiB in %.3f s = %.0f MiB/s (best of %d), peak RSS %.1f MiB\n",
              MiB(catBytes), bestCat, catRate, rounds, catRssKiB / 1024.0);
  std::printf("pavona-cli build: %.0f MiB in %.3f s = %.0f MiB/s (best of %d), peak RSS %.1f MiB\n",
              MiB(cliBytes), bestCli, cliRate, rounds, cliRssKiB / 1024.0);
  std::printf("TBuildSaver:      %.0f MiB in %.3f s = %.0f MiB/s (best of %d)\n", MiB(builderBytes),
              bestBuilder, builderRate, rounds);
  std::printf("ratio build/cat = %.3f (TBuildSaver alone)\n", builderRate / catRate);
  std::printf("ratio pavona-cli build/cat = %.3f (whole command, process start included)\n",
              cliRate / catRate);
  std::printf("builder peak RSS = %.1f MiB (pavona-cli build)\n", cliRssKiB / 1024.0);
  return 0;
}
