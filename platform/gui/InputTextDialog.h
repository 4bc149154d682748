#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {

// The one-line text question, laid out in dialog units of its Tahoma font the
// way the Windows version builds it at run time: a wrapping prompt, an edit of
// at most 255 characters with the text selected, OK (Enter) and Cancel (Esc).
class TInputTextDialog : public QDialog {
 public:
  TInputTextDialog(const QString& caption, const QString& prompt, const QString& value,
                   QWidget* parent = nullptr);
  QString Text() const;
  QLineEdit* Edit() const { return edit_; }

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace platform
