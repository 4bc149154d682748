// The preview module, started by the tool with " /PREVIEW" to show the saver.
#include <QTextStream>

int main() {
  QTextStream(stdout)
      << "Pavona 屏保预览模块：本版本不显示预览。 / Pavona saver preview module: this version shows "
         "no preview.\n";
  return 0;
}
