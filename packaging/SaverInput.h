#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The checks made before a build or a preview, in the order the user meets
// them. They show nothing: each gives the message code of the first failure,
// and the caller shows it. (These become operations of the main window's
// operation object; here they need no window.)
struct TInputCheck {
  // The code of the first failure in the message catalogue, MissingFileCode for
  // a listed file that does not exist, 0 when everything passed.
  int Code = 0;
  // For MissingFileCode: "文件：<path>，不存在！请核查文件。"; empty otherwise
  // (the text of the other codes is the catalogue's).
  QString Text;

  static constexpr int MissingFileCode = -1;
  bool Passed() const { return Code == 0; }
};

// The characters a saver name must not contain, in the order they are looked for.
inline constexpr char16_t ForbiddenSaverNameChars[] = u"/\\*:?\"<>|";

// True when the name contains one of the forbidden characters.
bool HasInvalidChar(const QString& saverName);

// The name and the Flash list: 306 empty name; 307 a forbidden character; 314
// longer than 255 bytes in GBK; 315 a character GBK cannot hold; 308 an empty
// list; then the first listed path that is not an existing file.
TInputCheck CheckSaverInput(const QString& saverName, const QStringList& flashFiles);

// The output folder: 309 when the text is empty or names no existing folder;
// then, when the package exists already, confirmOverwrite is asked (message
// 350) and a refusal gives 350. A missing callback counts as a refusal.
TInputCheck CheckOutputFolder(const QString& saverName, const QString& folderText,
                              const std::function<bool()>& confirmOverwrite);

// CheckSaverInput, then, only when it passed, CheckOutputFolder.
TInputCheck CheckBuildInput(const QString& saverName, const QString& folderText,
                            const QStringList& flashFiles, const std::function<bool()>& confirmOverwrite);

// The output folder with a path separator appended when it has none at its end.
QString NormalizedOutputFolder(const QString& folderText);
// The package path: the normalised folder + the saver name + ".exe".
QString SaverPackagePath(const QString& folderText, const QString& saverName);
