#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "AtomicFile.h"

// Progress of a build: Max is the number of the last step, Position the step
// just finished (0 after the installer stub ... Max after the trailer).
using TBuildProgressEvent = std::function<void(int Max, int Position)>;
// Called once per payload file so a window can repaint and run its commands.
using TProcessMessagesEvent = std::function<void()>;

// Writes one saver package: the installer stub, the saver engine, the
// uninstaller stub and the payload files, then the directory and the trailer
// (see PackageFormat.h). Made for one build and released right after it.
//
// The package is written under a temporary name in the output folder and
// renamed over the package path only when complete, so a failed build never
// leaves a partial package under the saver's name and an older package of that
// name survives it.
class TBuildSaver {
 public:
  TBuildSaver();
  virtual ~TBuildSaver();
  TBuildSaver(const TBuildSaver&) = delete;
  TBuildSaver& operator=(const TBuildSaver&) = delete;

  // Takes a copy: later changes to the caller's list do not reach the build.
  void SetFiles(const QStringList& files);

  // Writes the package to packagePath (a full path ending in ".exe"). False when
  // a companion stub is missing; no package is then left behind. Names that the
  // package cannot hold are refused before anything is written (EEncodingError,
  // EPackageError); a payload file that cannot be read or a failed write raises
  // EInOutError with the path and the system's reason, after the partial package
  // has been removed.
  bool Build(const QString& packagePath);

  // The stub steps: false when the stub does not exist, else its bytes in
  // stream (and, for the engine and the uninstaller, their directory record).
  bool LoadInstaller(QByteArray& stream);
  bool LoadEngine(QByteArray& stream, const QString& packagePath);
  bool LoadUninstaller(QByteArray& stream);

  TBuildProgressEvent OnProgress;
  TProcessMessagesEvent OnProcessMessages;

  // Tests inject write failures into the package through this hook (asked
  // before each write with the package path and the bytes written so far; false
  // fails the write as a full disk would). An empty hook removes it.
  static void SetWriteFaultHookForTesting(platform::WriteFaultHook hook);

 private:
  QStringList Files;
  QString InstallFile;
  QString UninstallFile;
  QString EngineFile;
  QByteArray Directory;  // the records collected so far; only while Build runs
};
