#include "CliCommand.h"
#include "PavonaError.h"
#include "SwfHeader.h"

namespace {

// Up to three decimals, without trailing zeros: 24, 29.97, 550.05.
QString Number(double v) {
  QString s = QString::number(v, 'f', 3);
  while (s.endsWith(u'0')) s.chop(1);
  if (s.endsWith(u'.')) s.chop(1);
  return s;
}

}  // namespace

// pavona-cli swfinfo SWF...: one line per movie.
int CliSwfInfo(const QStringList& args, CliContext& ctx) {
  if (args.isEmpty()) {
    PrintCommandHelp("swfinfo", ctx);
    return 2;
  }
  int status = 0;
  for (const QString& path : args) {
    try {
      const TSwfHeaderResult r = ReadSwfHeader(path);
      if (!r.Ok()) {
        ctx.err << path << ": " << r.Message << '\n';
        status = 1;
        continue;
      }
      const TSwfHeader& h = r.Header;
      ctx.out << path << ": " << QString::fromLatin1(h.Signature) << ", 版本/version " << h.Version << ", "
              << Number(h.Width()) << 'x' << Number(h.Height()) << " 像素/px, " << Number(h.FrameRate())
              << " 帧每秒/fps, " << h.FrameCount
              << " 帧/frames, ActionScript 3: " << (h.ActionScript3 ? "是/yes" : "否/no") << '\n';
    } catch (const EPavonaError& e) {
      ctx.err << path << ": " << e.Message() << '\n';
      status = 1;
    }
  }
  return status;
}
