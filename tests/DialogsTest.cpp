// The one-line text question, driven with real key presses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "InputTextDialog.h"

namespace {

struct KeyCase {
  const char* label;
  const char* initial;
  const char* typed;  // replaces the selected initial text; nullptr types nothing
  Qt::Key key;
  bool accepted;
  const char* result;
};

TEST(InputTextDialog, EnterConfirmsEscCancels) {
  const KeyCase cases[] = {
      {"enter confirms typed text", "old", "新样式", Qt::Key_Return, true, "新样式"},
      {"enter on an emptied edit gives empty", "old", "", Qt::Key_Return, true, ""},
      {"esc cancels", "old", "typed", Qt::Key_Escape, false, "old"},
  };
  for (const KeyCase& c : cases) {
    platform::TInputTextDialog dialog("添加字体样式", "请输入新字体样式的名字", QString::fromUtf8(c.initial));
    dialog.open();
    QApplication::processEvents();
    QLineEdit* edit = dialog.Edit();
    EXPECT_EQ(edit->selectedText(), QString::fromUtf8(c.initial)) << c.label;
    if (c.typed) {
      QTest::keyClick(edit, Qt::Key_Delete);
      edit->insert(QString::fromUtf8(c.typed));  // as an input method would
    }
    QTest::keyClick(edit, c.key);
    EXPECT_EQ(dialog.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected) << c.label;
    if (c.accepted) {
      EXPECT_EQ(dialog.Text(), QString::fromUtf8(c.result)) << c.label;
    }
  }
}

TEST(InputTextDialog, TypingStopsAt255Characters) {
  platform::TInputTextDialog dialog("c", "p", "");
  dialog.open();
  QTest::keyClicks(dialog.Edit(), QString(300, u'x'));
  EXPECT_EQ(dialog.Text().size(), 255);
  dialog.reject();
}

TEST(InputTextDialog, LaidOutInDialogUnits) {
  platform::TInputTextDialog dialog("添加字体样式",
                                    "请输入新字体样式的名字，注意：字符内不能包含\"< >\"标记：", "");
  auto* ok = dialog.findChild<QPushButton*>("OkButton");
  auto* cancel = dialog.findChild<QPushButton*>("CancelButton");
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->text(), QString("确定(&O)"));
  EXPECT_EQ(cancel->text(), QString("取消(&C)"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->y(), cancel->y());
  EXPECT_GT(ok->y(), dialog.Edit()->geometry().bottom());
  EXPECT_EQ(dialog.height(), cancel->geometry().bottom() + 1 + 13);
  EXPECT_LT(ok->x(), cancel->x());
  EXPECT_LE(dialog.Edit()->geometry().right(), dialog.width());
}

}  // namespace
