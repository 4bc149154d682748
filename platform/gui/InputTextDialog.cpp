#include "InputTextDialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace platform {
namespace {
int MulDiv(int a, int b, int c) { return static_cast<int>(std::lround(static_cast<double>(a) * b / c)); }
}  // namespace

TInputTextDialog::TInputTextDialog(const QString& caption, const QString& prompt, const QString& value,
                                   QWidget* parent)
    : QDialog(parent) {
  setObjectName("InputTextDialog");
  QFont f = font();
  f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK SC")});
  setFont(f);
  // The dialog units: the mean width of the 52 letters and the line height.
  const QFontMetrics fm(f);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int x = fm.horizontalAdvance(letters) / 52;
  const int y = fm.height();
  auto hu = [x](int n) { return MulDiv(n, x, 4); };
  auto vu = [y](int n) { return MulDiv(n, y, 8); };

  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  prompt_ = new QLabel(prompt, this);
  prompt_->setObjectName("Prompt");
  prompt_->setWordWrap(true);
  prompt_->setFixedWidth(hu(164));
  prompt_->move(hu(8), vu(8));
  prompt_->adjustSize();
  prompt_->setFixedHeight(prompt_->heightForWidth(hu(164)));

  edit_ = new QLineEdit(value, this);
  edit_->setObjectName("Edit");
  edit_->setMaxLength(255);
  edit_->setGeometry(prompt_->x(), prompt_->geometry().bottom() + 1 + 5, hu(164), edit_->sizeHint().height());
  edit_->selectAll();

  const int buttonTop = edit_->geometry().bottom() + 1 + 15;
  ok_ = new QPushButton(QStringLiteral("确定(&O)"), this);
  ok_->setObjectName("OkButton");
  ok_->setGeometry(hu(38), buttonTop, hu(50), vu(14));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("取消(&C)"), this);
  cancel_->setObjectName("CancelButton");
  cancel_->setGeometry(hu(92), buttonTop, hu(50), vu(14));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(hu(180), cancel_->geometry().bottom() + 1 + 13);
  edit_->setFocus();
}

QString TInputTextDialog::Text() const { return edit_->text(); }

}  // namespace platform
