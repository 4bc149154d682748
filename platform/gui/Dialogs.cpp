#include "Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <stdexcept>

#include "InputTextDialog.h"

namespace platform {
namespace {

struct ScriptState {
  std::deque<DialogScript::Answer> answers;
  std::vector<DialogScript::Shown> history;
  bool strict = false;
};

ScriptState& State() {
  static ScriptState state;
  return state;
}

// Returns the queued answer, or nothing when a real dialog should be shown.
std::optional<DialogScript::Answer> Scripted(DialogScript::Shown shown) {
  DialogScript::Record(std::move(shown));
  if (auto answer = DialogScript::Take()) return answer;
  if (State().strict) {
    const auto& last = State().history.back();
    throw std::logic_error(("no scripted answer for dialog: " + last.caption + " / " + last.text).toStdString());
  }
  return std::nullopt;
}

QString AsText(const DialogScript::Answer& a) {
  if (auto s = std::get_if<QString>(&a)) return *s;
  if (auto l = std::get_if<QStringList>(&a)) return l->value(0);
  return QString();
}

}  // namespace

void DialogScript::Push(Answer answer) { State().answers.push_back(std::move(answer)); }
void DialogScript::SetStrict(bool strict) { State().strict = strict; }
bool DialogScript::Active() { return State().strict || !State().answers.empty(); }
std::optional<DialogScript::Answer> DialogScript::Take() {
  if (State().answers.empty()) return std::nullopt;
  Answer a = std::move(State().answers.front());
  State().answers.pop_front();
  return a;
}
void DialogScript::Record(Shown shown) { State().history.push_back(std::move(shown)); }
const std::vector<DialogScript::Shown>& DialogScript::History() { return State().history; }
void DialogScript::Reset() { State() = ScriptState(); }

int MessageBox(QWidget* owner, const QString& caption, const QString& text, MsgIcon icon) {
  if (icon != MsgIcon::Question && State().strict && State().answers.empty()) {
    // A box with only an OK button needs no scripted answer.
    DialogScript::Record({DialogScript::Shown::Kind::Message, caption, text, icon, owner});
    return IdOk;
  }
  if (auto a = Scripted({DialogScript::Shown::Kind::Message, caption, text, icon, owner})) {
    if (auto code = std::get_if<int>(&*a)) return *code;
    return IdOk;
  }
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  switch (icon) {
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  QPushButton* cancel = nullptr;
  if (icon == MsgIcon::Question) cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(cancel ? static_cast<QAbstractButton*>(cancel) : ok);
  box.exec();
  if (cancel) return box.clickedButton() == ok ? IdOk : IdCancel;
  return IdOk;
}

bool InputText(const QString& caption, const QString& prompt, QString& value) {
  if (auto a = Scripted({DialogScript::Shown::Kind::Input, caption, prompt})) {
    if (std::holds_alternative<DialogScript::Cancel>(*a)) return false;
    value = AsText(*a);
    return true;
  }
  TInputTextDialog dialog(caption, prompt, value);
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.Text();
  return true;
}

QString BrowseForFolder(QWidget* owner, const QString& instruction) {
  if (auto a = Scripted({DialogScript::Shown::Kind::Folder, instruction, QString(), MsgIcon::Information, owner})) {
    return AsText(*a);
  }
  QFileDialog dialog(owner, instruction);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

QStringList OpenFileNames(QWidget* owner, const QString& title, const QString& filter) {
  if (auto a = Scripted({DialogScript::Shown::Kind::OpenFiles, title, filter, MsgIcon::Information, owner})) {
    if (auto l = std::get_if<QStringList>(&*a)) return *l;
    if (auto s = std::get_if<QString>(&*a)) return {*s};
    return {};
  }
  QFileDialog dialog(owner, title, QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString OpenFileName(QWidget* owner, const QString& title, const QString& filter) {
  if (auto a = Scripted({DialogScript::Shown::Kind::OpenFile, title, filter, MsgIcon::Information, owner})) {
    return AsText(*a);
  }
  QFileDialog dialog(owner, title, QString(), filter);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

QString SaveFileName(QWidget* owner, const QString& title, const QString& filter) {
  if (auto a = Scripted({DialogScript::Shown::Kind::SaveFile, title, filter, MsgIcon::Information, owner})) {
    return AsText(*a);
  }
  QFileDialog dialog(owner, title, QString(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

bool ShellOpen(QWidget* owner, const QString& target) {
  if (auto a = Scripted({DialogScript::Shown::Kind::Shell, target, QString(), MsgIcon::Information, owner})) {
    if (auto ok = std::get_if<bool>(&*a)) return *ok;
    return true;
  }
  if (target.trimmed().isEmpty()) return false;
  const QUrl url = QUrl::fromUserInput(target, QString(), QUrl::AssumeLocalFile);
  if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return false;
  return QDesktopServices::openUrl(url);
}

int StartProgram(const QString& commandLine) {
  if (auto a = Scripted({DialogScript::Shown::Kind::Program, commandLine, QString()})) {
    if (auto code = std::get_if<int>(&*a)) return *code;
    return 33;
  }
  // The program part is the longest blank-separated prefix that names a file,
  // which is how an unquoted path with blanks is taken.
  const QStringList words = commandLine.split(u' ');
  QString program;
  int used = 0;
  for (int i = 1; i <= words.size(); ++i) {
    const QString candidate = words.mid(0, i).join(u' ');
    if (QFileInfo(candidate).isFile()) {
      program = candidate;
      used = i;
    }
  }
  if (program.isEmpty()) return 2;
  QStringList args;
  for (const QString& w : words.mid(used)) {
    if (!w.isEmpty()) args << w;
  }
  if (!QFileInfo(program).isExecutable()) return 11;
  QProcess process;
  process.setProgram(program);
  process.setArguments(args);
  return process.startDetached() ? 33 : 11;
}

}  // namespace platform
