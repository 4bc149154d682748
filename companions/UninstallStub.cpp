// The uninstaller stub, packed into every package as "Uninstall.exe".
#include <QTextStream>

int main() {
  QTextStream(stdout)
      << "Pavona 屏保卸载程序：本版本不删除任何文件。 / Pavona saver uninstaller: this version removes "
         "nothing.\n";
  return 0;
}
