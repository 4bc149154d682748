#pragma once

#include <QStringList>
#include <QTextStream>

// What every command of pavona-cli gets: its arguments (after the command's
// name), the two output streams, and whether stderr is a terminal (progress bars
// are drawn only there). A command returns the process's exit code.
struct CliContext {
  QTextStream& out;
  QTextStream& err;
  bool errIsTerminal = false;
};

using CliHandler = int (*)(const QStringList& args, CliContext& ctx);

struct CliCommand {
  const char* name;
  const char* usage;      // e.g. "build --name NAME --out FOLDER [--yes] SWF..."
  const char* summaryZh;  // one line, Chinese
  const char* summaryEn;  // one line, English
  CliHandler run;
};

// The commands, defined one per file in this folder.
int CliBuild(const QStringList& args, CliContext& ctx);
int CliInspect(const QStringList& args, CliContext& ctx);
int CliUnpack(const QStringList& args, CliContext& ctx);
int CliExtract(const QStringList& args, CliContext& ctx);
int CliSwfInfo(const QStringList& args, CliContext& ctx);

// True when args ask for help ("--help" or "-h"); the command then prints its
// usage through PrintCommandHelp and returns 0.
bool WantsHelp(const QStringList& args);
void PrintCommandHelp(const char* name, CliContext& ctx);
