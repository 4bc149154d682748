#include "SaverInput.h"

#include <QFileInfo>

#include "ExecutablePath.h"
#include "GbkText.h"
#include "PackageFormat.h"

namespace {

bool EndsWithSeparator(const QString& folder) {
  if (folder.endsWith(u'/')) return true;
#ifdef Q_OS_WIN
  if (folder.endsWith(u'\\')) return true;
#endif
  return false;
}

// The name's length in GBK bytes. A character GBK cannot hold counts as two
// bytes, so that the length check can come before the encoding check.
qsizetype GbkLength(const QString& name) {
  if (auto bytes = gbk::TryEncode(name)) return bytes->size();
  qsizetype length = 0;
  for (qsizetype i = 0; i < name.size();) {
    const qsizetype units =
        (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) ? 2 : 1;
    const auto bytes = gbk::TryEncode(name.mid(i, units));
    length += bytes ? bytes->size() : 2;
    i += units;
  }
  return length;
}

TInputCheck Failure(int code, const QString& text = QString()) {
  return TInputCheck{code, text};
}

}  // namespace

bool HasInvalidChar(const QString& saverName) {
  for (const char16_t* c = ForbiddenSaverNameChars; *c; ++c) {
    if (saverName.contains(QChar(*c))) return true;
  }
  return false;
}

TInputCheck CheckSaverInput(const QString& saverName, const QStringList& flashFiles) {
  if (saverName.isEmpty()) return Failure(306);
  if (HasInvalidChar(saverName)) return Failure(307);
  if (GbkLength(saverName) > package::MaxSaverName) return Failure(314);
  // A zero character would end the name early inside the package.
  if (!gbk::CanEncode(saverName) || saverName.contains(QChar(0))) return Failure(315);
  if (flashFiles.isEmpty()) return Failure(308);
  for (const QString& path : flashFiles) {
    if (!QFileInfo(path).isFile()) {
      return Failure(TInputCheck::MissingFileCode,
                     QStringLiteral("文件：%1，不存在！请核查文件。").arg(path));
    }
  }
  return TInputCheck{};
}

TInputCheck CheckOutputFolder(const QString& saverName, const QString& folderText,
                              const std::function<bool()>& confirmOverwrite) {
  if (folderText.isEmpty() || !QFileInfo(NormalizedOutputFolder(folderText)).isDir()) return Failure(309);
  if (QFileInfo::exists(SaverPackagePath(folderText, saverName))) {
    if (!confirmOverwrite || !confirmOverwrite()) return Failure(350);
  }
  return TInputCheck{};
}

TInputCheck CheckBuildInput(const QString& saverName, const QString& folderText,
                            const QStringList& flashFiles, const std::function<bool()>& confirmOverwrite) {
  TInputCheck check = CheckSaverInput(saverName, flashFiles);
  if (!check.Passed()) return check;
  return CheckOutputFolder(saverName, folderText, confirmOverwrite);
}

QString NormalizedOutputFolder(const QString& folderText) {
  return EndsWithSeparator(folderText) ? folderText : folderText + platform::PathSeparator();
}

QString SaverPackagePath(const QString& folderText, const QString& saverName) {
  return NormalizedOutputFolder(folderText) + saverName + QStringLiteral(".exe");
}
