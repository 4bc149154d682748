#include "CliCommand.h"

// Placeholder until the command is written.
int CliSwfInfo(const QStringList&, CliContext& ctx) {
  ctx.err << "not available yet\n";
  return 1;
}
