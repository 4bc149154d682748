#include "SpinEdit.h"

#include <QLineEdit>

int TSpinEdit::Value() const {
  bool ok = false;
  const int v = lineEdit()->text().trimmed().toInt(&ok);
  return ok ? v : minimum();
}
