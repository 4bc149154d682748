#include <QFileInfo>
#include <exception>

#include "BuildSaver.h"
#include "CliPackage.h"
#include "Functions.h"
#include "PavonaError.h"
#include "SaverInput.h"
#include "Variable.h"

namespace {

struct BuildArgs {
  QString name;
  QString folder;
  bool yes = false;
  QStringList swfs;
};

// False, with the reason in error, for an unknown option or one without its value.
bool ParseBuildArgs(const QStringList& args, BuildArgs& parsed, QString& error) {
  bool onlyFiles = false;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (onlyFiles || !a.startsWith(u'-') || a == u"-") {
      parsed.swfs << a;
    } else if (a == u"--") {
      onlyFiles = true;
    } else if (a == u"--yes") {
      parsed.yes = true;
    } else if (a == u"--name" || a == u"--out") {
      if (i + 1 >= args.size()) {
        error = QStringLiteral("%1 needs a value").arg(a);
        return false;
      }
      (a == u"--name" ? parsed.name : parsed.folder) = args[++i];
    } else if (a.startsWith(u"--name=")) {
      parsed.name = a.mid(7);
    } else if (a.startsWith(u"--out=")) {
      parsed.folder = a.mid(6);
    } else {
      error = QStringLiteral("unknown option %1").arg(a);
      return false;
    }
  }
  return true;
}

}  // namespace

int CliBuild(const QStringList& args, CliContext& ctx) {
  BuildArgs parsed;
  QString usageError;
  if (!ParseBuildArgs(args, parsed, usageError)) {
    ctx.err << "参数错误 / " << usageError << '\n';
    PrintUsageError("build", ctx);
    return 2;
  }
  QStringList swfs;
  for (const QString& swf : parsed.swfs) swfs << QFileInfo(swf).absoluteFilePath();

  // The wizard's checks in its order; the overwrite question is answered by --yes.
  const TInputCheck check =
      CheckBuildInput(parsed.name, parsed.folder, swfs, [&parsed] { return parsed.yes; });
  if (!check.Passed()) {
    ctx.err << (check.Code == TInputCheck::MissingFileCode ? check.Text : MessageText(check.Code)) << '\n';
    if (check.Code == 350) ctx.err << "（用 --yes 覆盖 / use --yes to overwrite）\n";
    return 1;
  }

  try {
    // The saver's options travel as they stand in the application folder; a
    // first run writes the defaults there so the package carries a full file.
    IniConfig->Load();
    if (!QFileInfo::exists(IniConfig->FileName)) IniConfig->Save();
    QStringList payload = swfs;
    payload << IniConfig->FileName;
    AppendBlessingPayload(payload);

    CliProgressBar bar(ctx);
    TBuildSaver builder;
    builder.OnProgress = [&bar](int max, int position) { bar.Show(max, position); };
    builder.SetFiles(payload);
    const QString packagePath = SaverPackagePath(parsed.folder, parsed.name);
    if (!builder.Build(packagePath)) {
      ctx.err << MessageText(310) << '\n';
      return 1;
    }
    ctx.out << MessageText(400) << '\n' << packagePath << '\n';
    return 0;
  } catch (const EPavonaError& e) {
    ctx.err << e.Message() << '\n';
  } catch (const std::exception& e) {
    ctx.err << QString::fromLocal8Bit(e.what()) << '\n';
  }
  return 1;
}
