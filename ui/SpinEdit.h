#pragma once

#include <QSpinBox>

// A spin edit as the option page needs it: setting a number shows it clamped;
// reading gives the number typed in the field, or the minimum when the field
// holds no number (an emptied field, say).
class TSpinEdit : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  int Value() const;
  // The field's text as the user sees and types it.
  QLineEdit* Field() const { return lineEdit(); }
};
