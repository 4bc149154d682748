#include <QCoreApplication>
#include <QTextStream>

#include "Constant.h"
#include "Variable.h"

// The headless entry point. For now it sets up the application context and says
// where the tool keeps its files; the commands of the command-line tool build on it.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  InitApplicationContext();
  QTextStream out(stdout);
  out << constant::ProductName << ' ' << constant::SoftVersion << " (" << constant::BuildDate << ")\n";
  out << "Application folder: " << AppPath << '\n';
  out << "Config file: " << IniConfig->FileName << '\n';
  out << "Settings file: " << IniSetting->FileName << '\n';
  return 0;
}
