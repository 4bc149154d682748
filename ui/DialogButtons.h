#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

// The OK and Cancel row of our own dialogs: OK is the default button, and the
// two close the dialog with its accept or reject result.
inline QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
  auto* buttons = new QDialogButtonBox;
  ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("btnOk"));
  ok->setDefault(true);
  cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}
