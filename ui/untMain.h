#pragma once

#include <QMainWindow>
#include <memory>

#include "FlashPlayer.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QToolButton;
class TAAFadeText;
class TSpinEdit;

// The main window: the four-page wizard with its menus and commands. Every
// command is a QAction; its handler (named after the action with "Execute")
// hands the work to MainOperation or to a model object.
class TPavona_Main : public QMainWindow {
  Q_OBJECT

 public:
  explicit TPavona_Main(QWidget* parent = nullptr);
  ~TPavona_Main() override;

  // Start-up and shutdown steps, run by the window's own events.
  void FormCreate();
  void FormShow();
  void FormClose();

  void LoadOptions();
  void SaveOptions();
  void LoadBuildPath();
  void SaveBuildPath();
  void LoadBlessing();
  void SaveBlessing();

  // Command handlers.
  void actSelectFileExecute();
  void actAddBlessingsExecute();
  void actOptionsConfigExecute();
  void actBuildSaverExecute();
  void actCloseExecute();
  void actIndexExecute();
  void actWebPageExecute();
  void actBlogPageExecute();
  void actFlashAddExecute();
  void actFlashDeleteExecute();
  void actFlashMoveUpExecute();
  void actFlashMoveDownExecute();
  void actNextStep1Execute();
  void actNextStep2Execute();
  void actNextStep3Execute();
  void actFlashPlayConfineExecute();
  void actUndoDefaultSetExecute();
  void actSelectBulidPathExecute();
  void actOpenBulidPathExecute();
  void actBelssingPreviewExecute();
  void actFontStyleModifyExecute();
  void actModifyEffectExecute();
  void actModifyFontExecute();
  void actFontStyleAddExecute();
  void actFontStyleDeleteExecute();
  void actFontStylePreviewExecute();
  void actSaverBuildExecute();
  void actSaverPreviewExecute();

  void actFlashPlayExecute();
  void actFlashPauseExecute();
  void actFlashStopExecute();
  void tmr1Timer();
  void pbFlashProgressMouseDown(Qt::MouseButton button, int x);

  // The player inside pnl_view, made on first use; null when no player can be made.
  IFlashPlayer* swfFlashPlayer();
  // What makes the player; the application sets the real one, tests a fake.
  static void SetFlashPlayerFactory(FlashPlayerFactory factory);

  // Keeps the build command enabled exactly while no build runs.
  void UpdateBuildCommand();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* MakeAction(const char* name, const QString& caption, int image = -1);
  void CreateActions();
  void CreateMenus();
  void CreatePage1(QWidget* page);
  void CreatePage2(QWidget* page);
  void CreatePage3(QWidget* page);
  void CreatePage4(QWidget* page);
  void Connect();

  bool shown_ = false;
  bool closed_ = false;
  bool closeAfterBuild_ = false;  // a close asked for while a build ran
  bool hookInstalled_ = false;
  std::unique_ptr<IFlashPlayer> player_;
  int barMaximum_ = 100;  // the progress bar's maximum as the player reported it

 public:
  // Controls, named as the tool's documents name them.
  QTabWidget* pgcMain = nullptr;
  QWidget* tsSelectFile = nullptr;
  QWidget* tsAddBlessing = nullptr;
  QWidget* tsOptionConfig = nullptr;
  QWidget* tsBuildSaver = nullptr;
  QMenu* pmAAFontModify = nullptr;
  QTimer* tmr1 = nullptr;

  // Page 1.
  QLineEdit* edtSaverName = nullptr;
  QListWidget* lstFlashFiles = nullptr;
  QFrame* pnl_view = nullptr;
  QProgressBar* pbFlashProgress = nullptr;
  QLabel* lblFlashInfo = nullptr;
  QPushButton* btnNextStep1 = nullptr;
  // Page 2.
  TAAFadeText* aftFontStylePreview = nullptr;
  QListWidget* lstFontStyle = nullptr;
  QPlainTextEdit* mmoBlessingModify = nullptr;
  // Page 3.
  QComboBox* cbbFlashDisplayMode = nullptr;
  QComboBox* cbbFlashPlayConfine = nullptr;
  TSpinEdit* seFlashWidth = nullptr;
  TSpinEdit* seFlashHeight = nullptr;
  QComboBox* cbbFlashPlayQuality = nullptr;
  QComboBox* cbbFlashPlayOrder = nullptr;
  QComboBox* clbSaverBackground = nullptr;
  TSpinEdit* seBlessingRepeatNumber = nullptr;
  TSpinEdit* seBlessingLineDelay = nullptr;
  QRadioButton* rbDisplayTop = nullptr;
  QRadioButton* rbDisplayBottom = nullptr;
  QCheckBox* chkExitMouseMove = nullptr;
  QCheckBox* chkExitMouseDown = nullptr;
  QCheckBox* chkExitKeyDown = nullptr;
  QCheckBox* chkExitKeyEsc = nullptr;
  QCheckBox* chkSaverShowMouse = nullptr;
  QCheckBox* chkSaverPlaySequence = nullptr;
  QCheckBox* chkBlessingEnabled = nullptr;
  // Page 4.
  QLineEdit* edtBuildPath = nullptr;
  QRadioButton* rbNoEvent = nullptr;
  QRadioButton* rbShellInstall = nullptr;
  QRadioButton* rbOpenDir = nullptr;
  QProgressBar* pbBuildSaver = nullptr;

  // Actions.
  QAction *actSelectFile, *actAddBlessings, *actOptionsConfig, *actBuildSaver, *actClose;
  QAction *actUpdate, *actExtractFlash, *actFlashWeb;
  QAction *actIndex, *actWebPage, *actBlogPage, *actShowAbout;
  QAction *actFlashAdd, *actFlashDelete, *actFlashMoveUp, *actFlashMoveDown;
  QAction *actFlashPlay, *actFlashPause, *actFlashStop, *actNextStep1;
  QAction *actFontStyleModify, *actFontStyleAdd, *actFontStyleDelete, *actFontStylePreview;
  QAction *actBelssingPreview, *actNextStep2, *actModifyEffect, *actModifyFont;
  QAction *actFlashPlayConfine, *actUndoDefaultSet, *actNextStep3;
  QAction *actSelectBulidPath, *actOpenBulidPath, *actSaverPreview, *actSaverBuild;
};
