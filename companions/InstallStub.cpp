// The installer stub: the first bytes of every saver package. Run as a package it
// finds the package's directory from the trailer at the end of its own file and
// lists what it would install; installing comes with a later version.
#include <QTextStream>

#include "ExecutablePath.h"
#include "PackageReader.h"

int main() {
  QTextStream out(stdout);
  QTextStream err(stderr);
  const QString self = platform::ExecutableFilePath();
  TPackageReader reader;
  if (!reader.Open(self)) {
    err << "Pavona 屏保安装程序：本文件不是屏保安装文件。 / Pavona saver installer: this file is no saver "
           "package.\n"
        << reader.ErrorText() << '\n';
    return 1;
  }
  out << "Pavona 屏保安装程序 / Pavona saver installer\n"
      << "屏保名称 / saver name: " << DisplayName(reader.Index().SaverName) << '\n';
  for (const TPackageItem& entry : reader.Entries()) {
    out << "  " << entry.EntryIndex << '\t' << DisplayName(entry.EntryName) << '\t' << entry.EntrySize
        << '\n';
  }
  out << "本版本不提供安装功能，没有安装任何文件。 / Installation is not available in this version; nothing "
         "was "
         "installed.\n";
  return 1;
}
