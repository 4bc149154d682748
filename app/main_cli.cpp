#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "Constant.h"
#include "Process.h"
#include "Variable.h"
#include "cli/CliCommand.h"


namespace {

// Commands whose file is not part of this build stay out of the table.
const CliCommand kCommands[] = {
    {"build", "build --name NAME --out FOLDER [--yes] SWF...", "不打开窗口生成屏保安装文件",
     "build a saver package without a window", CliBuild},
    {"inspect", "inspect PACKAGE", "列出屏保安装文件的内容", "list what a saver package holds", CliInspect},
    {"unpack", "unpack PACKAGE FOLDER", "把屏保安装文件的各项写成文件", "write a package's entries out as files",
     CliUnpack},
    {"extract", "extract PROJECTOR [OUT.swf]", "从Flash播放器程序中提取SWF动画",
     "extract the SWF movie from a Flash projector", CliExtract},
    {"swfinfo", "swfinfo SWF...", "显示SWF动画的文件头信息", "show the header of SWF movies", CliSwfInfo},
};

void PrintHelp(QTextStream& out) {
  out << constant::ProductName << ' ' << constant::SoftVersion << " — 屏保制作工具的命令行 / command-line tool\n\n"
      << "用法 / usage: pavona-cli COMMAND [ARGS...]\n\n";
  for (const CliCommand& c : kCommands) {
    out << "  " << QString::fromUtf8(c.usage) << "\n      " << QString::fromUtf8(c.summaryZh) << " / "
        << QString::fromUtf8(c.summaryEn) << '\n';
  }
  out << "\n每个命令都接受 --help。 / Every command takes --help.\n";
}

}  // namespace

bool WantsHelp(const QStringList& args) { return args.contains("--help") || args.contains("-h"); }

void PrintCommandHelp(const char* name, CliContext& ctx) {
  for (const CliCommand& c : kCommands) {
    if (qstrcmp(c.name, name) == 0) {
      ctx.out << "用法 / usage: pavona-cli " << QString::fromUtf8(c.usage) << "\n  "
              << QString::fromUtf8(c.summaryZh) << "\n  " << QString::fromUtf8(c.summaryEn) << '\n';
      return;
    }
  }
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  CliContext ctx{out, err, platform::StderrIsTerminal()};
  QStringList args = app.arguments().mid(1);
  if (args.isEmpty() || args.front() == "--help" || args.front() == "-h") {
    PrintHelp(args.isEmpty() ? err : out);
    return args.isEmpty() ? 2 : 0;
  }
  InitApplicationContext();
  const QString name = args.takeFirst();
  for (const CliCommand& c : kCommands) {
    if (name == QString::fromUtf8(c.name)) {
      if (WantsHelp(args)) {
        PrintCommandHelp(c.name, ctx);
        return 0;
      }
      return c.run(args, ctx);
    }
  }
  err << "未知命令 / unknown command: " << name << "\n\n";
  PrintHelp(err);
  return 2;
}
