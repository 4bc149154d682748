#include "CliPackage.h"

void CliProgressBar::Show(int max, int position) {
  if (!ctx_.errIsTerminal || max <= 0) return;
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(qint64(kWidth) * position / max);
  ctx_.err << '\r' << '[' << QString(filled, u'#') << QString(kWidth - filled, u'.') << "] " << position
           << '/' << max;
  if (position >= max) ctx_.err << '\n';
  ctx_.err.flush();
}

void PrintUsageError(const char* command, CliContext& ctx) {
  CliContext toErr{ctx.err, ctx.err, ctx.errIsTerminal};
  PrintCommandHelp(command, toErr);
}
