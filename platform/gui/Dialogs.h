#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

class QWidget;

// The desktop's common dialogs and shell services, each behind one function so
// that tests can answer them without a person: queue the next answer with
// DialogScript and the function returns it without showing anything, and
// records what would have been shown.
namespace platform {

enum class MsgIcon { Warning, Error, Information, Question };
constexpr int IdOk = 1;
constexpr int IdCancel = 2;

// A message box with the given caption, text and icon; the question style has OK
// and Cancel, the others OK only. Returns IdOk or IdCancel (Esc and the close
// box give IdCancel).
int MessageBox(QWidget* owner, const QString& caption, const QString& text, MsgIcon icon);

// One-line text question. True and value replaced when confirmed; false and
// value untouched otherwise.
bool InputText(const QString& caption, const QString& prompt, QString& value);

// The folder browser; an empty result when cancelled.
QString BrowseForFolder(QWidget* owner, const QString& instruction);

// File dialogs. filter is in Qt's form ("Flash File(*.swf)"). Empty results when cancelled.
QStringList OpenFileNames(QWidget* owner, const QString& title, const QString& filter);
QString OpenFileName(QWidget* owner, const QString& title, const QString& filter);
QString SaveFileName(QWidget* owner, const QString& title, const QString& filter);

// The shell's default action on a file, folder or web address; true on success.
bool ShellOpen(QWidget* owner, const QString& target);

// Starts a program without waiting for it. The command line is the program's
// path followed by its arguments, split at blanks only after the program part
// (the path may contain blanks when the file exists). Returns a value above 31
// on success, 2 when the file does not exist, 11 when it is no program.
int StartProgram(const QString& commandLine);

// What tests use to answer the dialogs and to see what was shown.
class DialogScript {
 public:
  struct Shown {
    enum class Kind { Message, Input, Folder, OpenFiles, OpenFile, SaveFile, Shell, Program } kind;
    QString caption;  // message caption, dialog title, or the shell target / command line
    QString text;     // message text or prompt
    MsgIcon icon = MsgIcon::Warning;
    QWidget* owner = nullptr;
  };

  // Cancel as an answer to a file, folder or text dialog.
  struct Cancel {};
  using Answer = std::variant<int, QString, QStringList, Cancel, bool>;

  static void Push(Answer answer);
  // When strict, a dialog without a queued answer throws instead of blocking a test.
  static void SetStrict(bool strict);
  static bool Active();
  static std::optional<Answer> Take();
  static void Record(Shown shown);
  static const std::vector<Shown>& History();
  static void Reset();
};

}  // namespace platform
