// The saver engine template, packed into every package as "<saver name>.scr".
#include <QTextStream>

int main() {
  QTextStream(stdout)
      << "Pavona 屏保引擎模板：本版本不播放屏保。 / Pavona saver engine template: this version plays "
         "no saver.\n";
  return 0;
}
