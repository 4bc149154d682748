#include "Operation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <cmath>

#include "Constant.h"
#include "BuildSaver.h"
#include "Dialogs.h"
#include "FlashPlayer.h"
#include "SaverInput.h"
#include "Variable.h"

namespace {
platform::MsgIcon IconOf(TMsgStyle style) {
  switch (style) {
    case TMsgStyle::Warning: return platform::MsgIcon::Warning;
    case TMsgStyle::Error: return platform::MsgIcon::Error;
    case TMsgStyle::Information: return platform::MsgIcon::Information;
    case TMsgStyle::Question: return platform::MsgIcon::Question;
  }
  return platform::MsgIcon::Warning;
}
}  // namespace

std::unique_ptr<TMainOperation> MainOperation;

int ShowMsg(QWidget* owner, int code, TMsgStyle style) {
  return platform::MessageBox(owner, MessageCaption(), MessageText(code), IconOf(style));
}

int ShowMsg(QWidget* owner, int code) { return ShowMsg(owner, code, MessageStyle(code)); }

void ShowErrorReport(QWidget* owner, const QString& text) {
  platform::MessageBox(owner, constant::ProductName, text, platform::MsgIcon::Error);
}

void TMainOperation::InitApplicationContext() { ::InitApplicationContext(); }

void TMainOperation::ShowSelectFile(QTabWidget* pages) { pages->setCurrentIndex(0); }
void TMainOperation::ShowAddBlessings(QTabWidget* pages) { pages->setCurrentIndex(1); }
void TMainOperation::ShowOptionsConfig(QTabWidget* pages) { pages->setCurrentIndex(2); }
void TMainOperation::ShowBuildSaver(QTabWidget* pages) { pages->setCurrentIndex(3); }
void TMainOperation::CloseMain(QWidget* window) { window->close(); }

void TMainOperation::ShowHelpIndex() {
  const QString path = AppPath + constant::HelpFileName;
  if (!QFileInfo(path).isFile()) {
    ShowMsg(MainWindow, 301, TMsgStyle::Warning);
    return;
  }
  if (!platform::ShellOpen(MainWindow, path)) ShowMsg(MainWindow, 302, TMsgStyle::Warning);
}

void TMainOperation::OpenWebPage() {
  if (!platform::ShellOpen(MainWindow, constant::HomePageUrl)) ShowMsg(MainWindow, 303, TMsgStyle::Warning);
}

void TMainOperation::OpenBlogPage() {
  if (!platform::ShellOpen(MainWindow, constant::BlogUrl)) ShowMsg(MainWindow, 303, TMsgStyle::Warning);
}

QStringList TMainOperation::FlashItems() const {
  QStringList items;
  for (int i = 0; i < FlashList->count(); ++i) items << FlashList->item(i)->text();
  return items;
}

void TMainOperation::AddFlashFiles() {
  const QStringList chosen =
      platform::OpenFileNames(MainWindow, QStringLiteral("选择"), QStringLiteral("Flash File(*.swf)"));
  for (const QString& path : chosen) {
    const QString native = QDir::toNativeSeparators(path);
    bool present = false;
    for (int i = 0; i < FlashList->count() && !present; ++i) {
      present = FlashList->item(i)->text().compare(native, Qt::CaseInsensitive) == 0;
    }
    if (!present) FlashList->addItem(native);
  }
}

void TMainOperation::DeleteFlashFile() {
  const int i = FlashList->currentRow();
  if (i < 0 || !FlashList->currentItem() || !FlashList->currentItem()->isSelected()) return;
  const int n = FlashList->count();
  delete FlashList->takeItem(i);
  if (n - 1 == 0) {
    FlashList->setCurrentRow(-1);
    return;
  }
  FlashList->setCurrentRow(i == n - 1 ? n - 2 : i);
}

void TMainOperation::MoveFlashUp() {
  const int i = FlashList->currentRow();
  if (i <= 0 || !FlashList->currentItem()->isSelected()) return;
  QListWidgetItem* item = FlashList->takeItem(i);
  FlashList->insertItem(i - 1, item);
  FlashList->setCurrentRow(i - 1);
}

void TMainOperation::MoveFlashDown() {
  const int i = FlashList->currentRow();
  if (i < 0 || i >= FlashList->count() - 1 || !FlashList->currentItem()->isSelected()) return;
  QListWidgetItem* item = FlashList->takeItem(i);
  FlashList->insertItem(i + 1, item);
  FlashList->setCurrentRow(i + 1);
}

QString TMainOperation::FlashListInfo(const QStringList& items) {
  double total = 0;
  for (const QString& path : items) {
    // Hidden files and folders are not counted, as the directory search skips them;
    // a path whose file is gone adds nothing.
    const QFileInfo info(path);
    if (info.isFile() && !info.isHidden()) total += static_cast<double>(info.size());
  }
  total = total / 1024 / 1024;
  // Two decimals, halves rounded away from zero (0.125 shows as 0.13).
  const double rounded = std::floor(total * 100 + 0.5 + 1e-9) / 100;
  return QStringLiteral("当前共有 %1 个Flash文件，总计 %2 MB。").arg(items.size()).arg(rounded, 0, 'f', 2);
}

void TMainOperation::PlayFlash(IFlashPlayer* player, QTimer* timer) {
  QListWidgetItem* item = FlashList->currentItem();
  if (!item || !item->isSelected() || !player) return;
  timer->start();
  if (player->Playing()) player->Stop();
  player->SetMovie(item->text());
  player->Play();
}

void TMainOperation::PauseFlash(IFlashPlayer* player) {
  if (player) player->Stop();
}

void TMainOperation::StopFlash(IFlashPlayer* player, QTimer* timer, QProgressBar* bar) {
  if (player) {
    player->GotoFrame(0);
    player->Stop();
  }
  timer->stop();
  bar->setValue(0);
}

void TMainOperation::SelectBuildFolder(QLineEdit* edit) {
  QString folder =
      platform::BrowseForFolder(MainWindow, QStringLiteral("请选择一个用于输出生成后的屏保安装文件的文件夹："));
  if (folder.isEmpty()) return;
  folder = QDir::toNativeSeparators(folder);
  // No trailing separator, except for a root folder.
  while (folder.size() > 1 && folder.endsWith(QDir::separator())) folder.chop(1);
  edit->setText(folder);
}

bool TMainOperation::CheckSaverInput(const QString& saverName, const QStringList& flashFiles) {
  const TInputCheck result = ::CheckSaverInput(saverName, flashFiles);
  if (result.Passed()) return true;
  if (result.Code == TInputCheck::MissingFileCode) {
    platform::MessageBox(MainWindow, MessageCaption(), result.Text, platform::MsgIcon::Warning);
  } else {
    ShowMsg(MainWindow, result.Code, TMsgStyle::Warning);
  }
  return false;
}

bool TMainOperation::CheckOutputFolder(const QString& saverName, const QString& folderText) {
  const TInputCheck result = ::CheckOutputFolder(saverName, folderText, [this] {
    return ShowMsg(MainWindow, 350, TMsgStyle::Question) == platform::IdOk;
  });
  // The overwrite question was its own message; only 309 is left to show.
  if (result.Code == 309) ShowMsg(MainWindow, 309, TMsgStyle::Warning);
  return result.Passed();
}

bool TMainOperation::CheckBuildInput(const QString& saverName, const QString& folderText) {
  return CheckSaverInput(saverName, FlashItems()) && CheckOutputFolder(saverName, folderText);
}

QStringList TMainOperation::PayloadFiles(const QStringList& flashFiles) const {
  QStringList files = flashFiles;
  files << IniConfig->FileName;
  if (Blessings->HasText() && IniConfig->BlessingEnabled) files << Blessings->BlessingFile << Blessings->FontStyleFile;
  return files;
}

void TMainOperation::BuildProgress(int Max, int Position) {
  if (!ProgressBar) return;
  ProgressBar->setMaximum(Max);
  ProgressBar->setValue(Position == Max ? 0 : Position);
}

bool TMainOperation::BuildSaverPackage(const QString& saverName, const QString& folderText,
                                       const QStringList& flashFiles) {
  const QString package = SaverPackagePath(folderText, saverName);
  auto builder = std::make_unique<TBuildSaver>();
  builder->OnProgress = [this](int max, int position) { BuildProgress(max, position); };
  // The window keeps painting and taking commands between files.
  builder->OnProcessMessages = [] { QCoreApplication::processEvents(); };
  builder->SetFiles(PayloadFiles(flashFiles));
  // BuildingSaver is cleared on every way out, so the build command comes back
  // after an error too.
  struct Marker {
    explicit Marker(TBuildSaver* b) { BuildingSaver = b; }
    ~Marker() { BuildingSaver = nullptr; }
  };
  bool built = false;
  {
    Marker marker(builder.get());
    built = builder->Build(package);
  }
  builder.reset();
  if (built) {
    // The package is a program: the user (or the post-build action) runs it.
    QFile::setPermissions(package, QFile::permissions(package) | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                       QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  }
  ShowMsg(MainWindow, built ? 400 : 310, built ? TMsgStyle::Information : TMsgStyle::Error);
  return built;
}

bool TMainOperation::BuildAndFinish(const QString& saverName, const QString& folderText, int action) {
  if (!BuildSaverPackage(saverName, folderText, FlashItems())) return false;
  if (action == PostBuildRunPackage) {
    platform::StartProgram(SaverPackagePath(folderText, saverName));
  } else if (action == PostBuildOpenFolder) {
    OpenFolder(NormalizedOutputFolder(folderText));
  }
  return true;
}

void TMainOperation::PreviewSaver() {
  TIniPreview preview;
  preview.SetFlashFiles(FlashItems());
  preview.Save();
  QString module = preview.FileName;
  module = module.left(module.lastIndexOf(u'.')) + ".exe";
  const int result = platform::StartProgram(module + " /PREVIEW");
  if (result == 2) ShowMsg(MainWindow, 2, TMsgStyle::Error);
  if (result == 11) ShowMsg(MainWindow, 11, TMsgStyle::Error);
}

QStringList SplitTextLines(const QString& text) {
  if (text.isEmpty()) return {};
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  QStringList lines = t.split(u'\n');
  if (t.endsWith(u'\n')) lines.removeLast();
  return lines;
}

QString JoinTextLines(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + u'\n';
  return text;
}

namespace {
QString SelectedName(QListWidget* list) {
  QListWidgetItem* item = list->currentItem();
  return item && item->isSelected() ? item->text() : QString();
}

void FillStyleList(QListWidget* list) {
  list->clear();
  list->addItems(Blessings->StyleNames);
  list->setCurrentRow(-1);
}
}  // namespace

void TMainOperation::FontStyleModifyFont(QListWidget* styles) {
  if (styles->count() > 0 && !SelectedName(styles).isEmpty()) Blessings->ModifyFont(SelectedName(styles));
}

void TMainOperation::FontStyleModifyEffect(QListWidget* styles) {
  if (styles->count() > 0 && !SelectedName(styles).isEmpty()) Blessings->ModifyEffect(SelectedName(styles));
}

void TMainOperation::FontStyleAdd(QListWidget* styles) {
  Blessings->AddFontStyle();
  Blessings->RefreshStyleNames();
  FillStyleList(styles);
}

void TMainOperation::FontStyleDelete(QListWidget* styles) {
  const QString name = SelectedName(styles);
  if (styles->count() == 0 || name.isEmpty()) return;
  if (styles->count() == 1) {
    ShowMsg(MainWindow, 313, TMsgStyle::Warning);
    return;
  }
  Blessings->DeleteFontStyle(name);
  Blessings->RefreshStyleNames();
  FillStyleList(styles);
}

void TMainOperation::FontStylePreview(QListWidget* styles, IFadeTextControl* fade) {
  const QString name = SelectedName(styles);
  if (name.isEmpty()) return;
  fade->SetLines({"<" + name + ">" + QStringLiteral("字体样式预览") + name});
  fade->Restart();
}

void TMainOperation::BlessingPreview(const QString& text, IFadeTextControl* fade) {
  fade->SetLines(SplitTextLines(text));
  fade->Restart();
}

void TMainOperation::OpenFolder(const QString& path) {
  if (!platform::ShellOpen(MainWindow, path)) ShowMsg(MainWindow, 303, TMsgStyle::Warning);
}
