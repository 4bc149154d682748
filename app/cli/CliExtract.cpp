#include "AccessorialTools.h"
#include "CliCommand.h"
#include "Functions.h"
#include "PavonaError.h"

// pavona-cli extract PROJECTOR [OUT.swf]: the extraction of the Flash dialog
// without a window; OUT defaults to the projector's path ending in ".swf".
int CliExtract(const QStringList& args, CliContext& ctx) {
  if (args.isEmpty() || args.size() > 2) {
    PrintCommandHelp("extract", ctx);
    return 2;
  }
  const QString exeFile = args[0];
  if (exeFile.isEmpty()) {
    ctx.err << MessageText(312) << '\n';
    return 1;
  }
  const QString swfFile = args.size() == 2 ? args[1] : ChangeFileExt(exeFile, QStringLiteral(".swf"));
  int result = 0;
  try {
    TExtractFlash extractor;
    result = extractor.ExtractSwf(exeFile, swfFile);
  } catch (const EPavonaError& e) {
    ctx.err << e.Message() << '\n';
    return 1;
  }
  if (result != kExtractOk) {
    ctx.err << MessageText(result) << ' ' << (result == kExtractSameFile ? swfFile : exeFile) << '\n';
    return 1;
  }
  ctx.out << MessageText(401) << ' ' << swfFile << '\n';
  return 0;
}
