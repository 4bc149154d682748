// Runs a fuzz target over the files named on the command line (or the files of
// the folders named there), so the harnesses build and run without libFuzzer.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    QStringList files;
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (QFileInfo(arg).isDir()) {
      QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) files << it.next();
    } else {
      files << arg;
    }
    files.sort();
    for (const QString& path : files) {
      QFile f(path);
      if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
      }
      const QByteArray bytes = f.readAll();
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
      ++count;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return count > 0 ? 0 : 1;
}
