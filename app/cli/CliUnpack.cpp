#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <exception>

#include "CliPackage.h"
#include "GbkText.h"
#include "PackageReader.h"
#include "PavonaError.h"

namespace {

// A package may carry two entries of one name (payload files from different
// folders); the later ones are written as "name (2).ext" and so on rather than
// over the earlier. Names are compared without regard to case, as the saver's
// own file system would.
QString UniqueFileName(const QString& name, QSet<QString>& used) {
  QString candidate = name;
  const qsizetype dot = name.lastIndexOf(u'.');
  const QString stem = dot > 0 ? name.left(dot) : name;
  const QString ext = dot > 0 ? name.mid(dot) : QString();
  for (int k = 2; used.contains(candidate.toCaseFolded()); ++k) {
    candidate = QStringLiteral("%1 (%2)%3").arg(stem).arg(k).arg(ext);
  }
  used.insert(candidate.toCaseFolded());
  return candidate;
}

}  // namespace

int CliUnpack(const QStringList& args, CliContext& ctx) {
  if (args.size() != 2) {
    PrintUsageError("unpack", ctx);
    return 2;
  }
  TPackageReader reader;
  if (!reader.Open(args[0])) {
    ctx.err << reader.ErrorText() << '\n';
    return 1;
  }
  const QString folder = QFileInfo(args[1]).absoluteFilePath();

  // Every name is checked before anything is written: a package must not be able
  // to place a file outside the folder.
  QStringList targets;
  QSet<QString> used;
  for (const TPackageItem& entry : reader.Entries()) {
    if (!IsSafeEntryName(entry.EntryName)) {
      ctx.err << "拒绝写出：项 " << entry.EntryIndex << " 的名称不安全 / refused: entry " << entry.EntryIndex
              << " has an unsafe name \"" << DisplayName(entry.EntryName) << "\" (hex "
              << QString::fromLatin1(entry.EntryName.toHex()) << ")\n";
      return 1;
    }
    const QString target = folder + u'/' + UniqueFileName(gbk::Decode(entry.EntryName), used);
    const QFileInfo info(target);
    // A link would carry the write elsewhere; a folder cannot be replaced.
    if (info.isSymLink() || info.isDir()) {
      ctx.err << "拒绝写出 / refused: \"" << target << "\" is a link or a folder\n";
      return 1;
    }
    targets << target;
  }

  if (!QDir().mkpath(folder)) {
    ctx.err << "Cannot create folder \"" << folder << "\".\n";
    return 1;
  }
  try {
    for (qsizetype i = 0; i < targets.size(); ++i) {
      const TPackageItem& entry = reader.Entries()[i];
      QSaveFile file(targets[i]);
      file.setDirectWriteFallback(false);
      if (!file.open(QIODevice::WriteOnly)) {
        throw EInOutError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(targets[i], file.errorString()));
      }
      reader.CopyEntry(entry, file);
      if (!file.commit()) {
        throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2").arg(targets[i], file.errorString()));
      }
      ctx.out << entry.EntryIndex << '\t' << QFileInfo(targets[i]).fileName() << '\t' << entry.EntrySize
              << '\n';
    }
  } catch (const EPavonaError& e) {
    ctx.err << e.Message() << '\n';
    return 1;
  } catch (const std::exception& e) {
    ctx.err << QString::fromLocal8Bit(e.what()) << '\n';
    return 1;
  }
  return 0;
}
