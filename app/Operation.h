#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "Functions.h"

class IFlashPlayer;
class QLineEdit;
class QTimer;
class QListWidget;
class QProgressBar;
class QTabWidget;
class QWidget;

// Shows a catalogue message under the caption "提示" and returns the pressed
// button (1 OK, 2 Cancel). owner null means the application's main window.
int ShowMsg(QWidget* owner, int code, TMsgStyle style);
int ShowMsg(QWidget* owner, int code);  // in the code's own style

// The window reports errors no operation expects through this: a message box
// with the error's text, after which the program goes on.
void ShowErrorReport(QWidget* owner, const QString& text);

// The operations behind the main window's commands. The window hands every
// command's work to one of these; it owns none of the controls it is given.
// What the blessing commands need of the fade-text preview control.
class IFadeTextControl {
 public:
  virtual ~IFadeTextControl() = default;
  virtual void SetLines(const QStringList& lines) = 0;
  // Starts the display over at the first line (when there is one).
  virtual void Restart() = 0;
};

// A memo's text as lines, the way the window's text lists split it: at each line
// break, with no empty line made by a break at the very end.
QStringList SplitTextLines(const QString& text);
// Lines as a memo's text: each followed by a line break.
QString JoinTextLines(const QStringList& lines);

constexpr int PostBuildNothing = 501;
constexpr int PostBuildRunPackage = 502;
constexpr int PostBuildOpenFolder = 503;

class TMainOperation {
 public:
  TMainOperation() = default;

  void InitApplicationContext();

  QListWidget* FlashList = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QWidget* MainWindow = nullptr;  // the owner of message boxes

  // Wizard pages and closing.
  void ShowSelectFile(QTabWidget* pages);
  void ShowAddBlessings(QTabWidget* pages);
  void ShowOptionsConfig(QTabWidget* pages);
  void ShowBuildSaver(QTabWidget* pages);
  void CloseMain(QWidget* window);

  // Help menu.
  void ShowHelpIndex();
  void OpenWebPage();
  void OpenBlogPage();

  // The Flash list on page 1.
  void AddFlashFiles();
  void DeleteFlashFile();
  void MoveFlashUp();
  void MoveFlashDown();
  static QString FlashListInfo(const QStringList& items);
  QStringList FlashItems() const;

  // The player on page 1.
  void PlayFlash(IFlashPlayer* player, QTimer* timer);
  void PauseFlash(IFlashPlayer* player);
  void StopFlash(IFlashPlayer* player, QTimer* timer, QProgressBar* bar);

  // Page 4 and the check behind page 1's next button.
  void SelectBuildFolder(QLineEdit* edit);
  bool CheckSaverInput(const QString& saverName, const QStringList& flashFiles);
  bool CheckOutputFolder(const QString& saverName, const QString& folderText);
  bool CheckBuildInput(const QString& saverName, const QString& folderText);
  void OpenFolder(const QString& path);

  // The blessing page.
  void FontStyleModifyFont(QListWidget* styles);
  void FontStyleModifyEffect(QListWidget* styles);
  void FontStyleAdd(QListWidget* styles);
  void FontStyleDelete(QListWidget* styles);
  void FontStylePreview(QListWidget* styles, IFadeTextControl* fade);
  void BlessingPreview(const QString& text, IFadeTextControl* fade);

  // The build: payload list, the writer, the progress bar, message 400 or 310.
  bool BuildSaverPackage(const QString& saverName, const QString& folderText, const QStringList& flashFiles);
  void BuildProgress(int Max, int Position);
  // BuildSaverPackage and, on success, the post-build action (501 nothing,
  // 502 run the package, 503 open the output folder).
  bool BuildAndFinish(const QString& saverName, const QString& folderText, int action);
  // Writes Preview.ini from the Flash list and starts the preview module.
  void PreviewSaver();
  // The payload of a build, in package order.
  QStringList PayloadFiles(const QStringList& flashFiles) const;
};

// Made when the main window is created, released when it closes.
extern std::unique_ptr<TMainOperation> MainOperation;
