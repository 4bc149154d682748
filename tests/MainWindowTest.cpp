// The main window driven through its real actions on the offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "AAFadeText.h"
#include "Dialogs.h"
#include "IniFiles.h"
#include "Operation.h"
#include "SpinEdit.h"
#include "TestUtil.h"
#include "Variable.h"
#include "untMain.h"

using platform::DialogScript;

namespace {

const QByteArray kDefaultConfig =
    "[SetInfo]\r\nDisplayMode=0\r\nPlayConfine=0\r\nWidth=800\r\nHeight=600\r\nPlayQuality=1\r\n"
    "PlayOrder=0\r\nBackground=0\r\nBlessingRepeatNumber=0\r\nBlessingLineDelay=3000\r\nShowMouse=0\r\n"
    "SaverPlaySequence=1\r\nBlessingEnabled=1\r\nBlessingDisplayAlign=top\r\n[CloseEvent]\r\nMouseMove=1\r\n"
    "MouseDown=1\r\nKeyDown=1\r\nKeyEsc=1\r\n";

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    DialogScript::Reset();
    DialogScript::SetStrict(true);
  }
  void TearDown() override {
    w.reset();
    DialogScript::Reset();
  }

  TPavona_Main& Open() {
    w = std::make_unique<TPavona_Main>();
    w->show();
    QApplication::setActiveWindow(w.get());
    QApplication::processEvents();
    return *w;
  }
  QAction* Act(const char* name) { return w->findChild<QAction*>(name); }
  void Run(const char* action) {
    QAction* a = Act(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
    QApplication::processEvents();
  }
  // The texts of the message boxes shown since the last call.
  QStringList Messages() {
    QStringList texts;
    const auto& history = DialogScript::History();
    for (; seen_ < history.size(); ++seen_) {
      if (history[seen_].kind == DialogScript::Shown::Kind::Message) texts << history[seen_].text;
    }
    return texts;
  }
  QStringList Items() {
    QStringList items;
    for (int i = 0; i < w->lstFlashFiles->count(); ++i) items << w->lstFlashFiles->item(i)->text();
    return items;
  }
  QString Swf(const QString& name, qint64 size) {
    dir.Write(name, QByteArray(size, 'F'));
    return dir.Path(name);
  }

  TempFolder dir;
  AppFolderOverride app{dir.Path()};
  std::unique_ptr<TPavona_Main> w;
  size_t seen_ = 0;
};

TEST_F(MainWindow, FirstStartShowsDefaultsAndCloseWritesTheDataFiles) {
  Open();
  EXPECT_EQ(w->windowTitle(), QString("Pavona1.8"));
  EXPECT_EQ(w->pgcMain->currentIndex(), 0);
  EXPECT_EQ(w->centralWidget()->size(), QSize(603, 380));
  EXPECT_EQ(w->edtSaverName->text(), QString("Orvalis软件"));
  EXPECT_EQ(w->cbbFlashDisplayMode->currentText(), QString("显示全部"));
  EXPECT_EQ(w->cbbFlashPlayConfine->currentText(), QString("全屏显示"));
  EXPECT_EQ(w->seFlashWidth->value(), 800);
  EXPECT_EQ(w->seFlashHeight->value(), 600);
  EXPECT_FALSE(w->seFlashWidth->isEnabled());
  EXPECT_EQ(w->cbbFlashPlayQuality->currentText(), QString("高"));
  EXPECT_EQ(w->cbbFlashPlayOrder->currentText(), QString("顺序"));
  EXPECT_EQ(w->clbSaverBackground->currentText(), QString("clBlack"));
  EXPECT_EQ(w->seBlessingRepeatNumber->value(), 0);
  EXPECT_EQ(w->seBlessingLineDelay->value(), 3000);
  EXPECT_TRUE(w->rbDisplayTop->isChecked());
  for (QCheckBox* c : {w->chkExitMouseMove, w->chkExitMouseDown, w->chkExitKeyDown, w->chkExitKeyEsc,
                       w->chkSaverPlaySequence, w->chkBlessingEnabled}) {
    EXPECT_TRUE(c->isChecked()) << c->objectName().toStdString();
  }
  EXPECT_FALSE(w->chkSaverShowMouse->isChecked());
  EXPECT_EQ(w->edtBuildPath->text(), dir.Path() + "/");
  EXPECT_FALSE(dir.Exists("Config.ini")) << "start-up writes nothing";

  w->close();
  EXPECT_EQ(dir.Read("Config.ini"), kDefaultConfig);
  EXPECT_EQ(dir.Read("Setting.ini"), "[Setting]\r\nBuildPath=" + dir.Path().toLocal8Bit() + "/\r\n");
  EXPECT_EQ(MainOperation, nullptr);
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_TRUE(dir.Exists("Blessing.dat"));
  EXPECT_EQ(dir.Read("Blessing.dat"), QByteArray());
  TIniFile styles(dir.Path("FontStyle.ini"));
  EXPECT_EQ(styles.ReadSections(), QStringList({"0", "1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(styles.ReadString("6", "StyleName", ""), QString("Text3"));
}

TEST_F(MainWindow, BlessingPageStartsWithTheDefaultStylesAndAnEmptyMemo) {
  Open();
  QStringList names;
  for (int i = 0; i < w->lstFontStyle->count(); ++i) names << w->lstFontStyle->item(i)->text();
  EXPECT_EQ(names, QStringList({"Title1", "Title2", "Title3", "Text1", "Text2", "Title4", "Text3"}));
  EXPECT_TRUE(w->mmoBlessingModify->toPlainText().isEmpty());
  EXPECT_TRUE(w->aftFontStylePreview->Data().Lines.isEmpty());
  EXPECT_EQ(w->aftFontStylePreview->CurrentLine(), -1);
  EXPECT_EQ(w->aftFontStylePreview->LineDelay(), 3000);
}

TEST_F(MainWindow, StoredBlessingsLoadAndEditsAreSavedAtClose) {
  dir.Write("Blessing.dat", Gbk("<Title1>新年快乐\r\n\r\n<Text2>万事如意\r\n"));
  dir.Write("Config.ini", "[SetInfo]\r\nBlessingLineDelay=500\r\n");
  Open();
  EXPECT_EQ(w->mmoBlessingModify->toPlainText(), QString("<Title1>新年快乐\n\n<Text2>万事如意\n"));
  EXPECT_EQ(w->aftFontStylePreview->LineDelay(), 500);
  w->mmoBlessingModify->setPlainText("a\n\nb");
  w->close();
  EXPECT_EQ(dir.Read("Blessing.dat"), QByteArray("a\r\n\r\nb\r\n"));
}

TEST_F(MainWindow, OnlyTheUsersTabClicksRefreshTheBlessingPreview) {
  Open();
  w->mmoBlessingModify->setPlainText("<Title1>one\n<Text1>two\n");
  Run("actAddBlessings");  // a menu command selects the page without a refresh
  EXPECT_TRUE(w->aftFontStylePreview->Data().Lines.isEmpty());
  Run("actSelectFile");
  QTabBar* tabs = w->pgcMain->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
  QApplication::processEvents();
  EXPECT_EQ(w->pgcMain->currentIndex(), 2);
  EXPECT_EQ(w->aftFontStylePreview->Data().Lines, QStringList({"<Title1>one", "<Text1>two"}));
  EXPECT_EQ(w->aftFontStylePreview->CurrentLine(), 0);
}

TEST_F(MainWindow, StylePreviewShowsTheSampleLineInThatStyle) {
  Open();
  QListWidgetItem* text2 = w->lstFontStyle->item(4);
  w->lstFontStyle->setCurrentItem(text2);
  emit w->lstFontStyle->itemDoubleClicked(text2);
  EXPECT_EQ(w->aftFontStylePreview->Data().Lines, QStringList({"<Text2>字体样式预览Text2"}));
  // The sample line never reaches Blessing.dat: the memo is saved.
  w->close();
  EXPECT_EQ(dir.Read("Blessing.dat"), QByteArray());
}

TEST_F(MainWindow, DeletingStylesKeepsAtLeastOne) {
  Open();
  Run("actFontStyleDelete");  // nothing selected
  EXPECT_EQ(w->lstFontStyle->count(), 7);
  while (w->lstFontStyle->count() > 1) {
    w->lstFontStyle->setCurrentRow(0);
    Run("actFontStyleDelete");
    EXPECT_TRUE(w->lstFontStyle->selectedItems().isEmpty());
  }
  EXPECT_EQ(w->lstFontStyle->item(0)->text(), QString("Text3"));
  w->lstFontStyle->setCurrentRow(0);
  Run("actFontStyleDelete");
  EXPECT_EQ(Messages(), QStringList({"请至少保留一个字体样式。"}));
  EXPECT_EQ(w->lstFontStyle->count(), 1);
  w->close();
  EXPECT_EQ(TIniFile(dir.Path("FontStyle.ini")).ReadSections(), QStringList({"0"}));
}

TEST_F(MainWindow, AddedStyleWithBothDialogsCancelledIsGreenTahomaWithAShadow) {
  Open();
  DialogScript::Push(QString("新样式"));
  DialogScript::Push(DialogScript::Cancel{});  // the font dialog
  DialogScript::Push(DialogScript::Cancel{});  // the effect dialog
  Run("actFontStyleAdd");
  const TFontStyle* style = w->aftFontStylePreview->Data().Fonts.Find("新样式");
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->Font.Name, QString("Tahoma"));
  EXPECT_EQ(style->Font.Size(96), 12);
  EXPECT_EQ(ColorToRgb(style->Font.Color), (TRgb{0, 128, 0}));
  EXPECT_TRUE(style->Effect.Shadow);
  EXPECT_EQ(style->Effect.ShadowOffsetX, 2);
  EXPECT_EQ(style->Effect.ShadowOffsetY, 2);
}

TEST_F(MainWindow, EffectAndFontChangesReachFontStyleIniAtTheNextSave) {
  Open();
  w->lstFontStyle->setCurrentRow(3);  // Text1
  DialogScript::Push(QString("Blur=50"));
  Run("actModifyEffect");
  DialogScript::Push(DialogScript::Cancel{});
  Run("actModifyFont");
  EXPECT_EQ(w->aftFontStylePreview->Data().Fonts.Find("Text1")->Effect.Blur, 50);
  EXPECT_FALSE(dir.Exists("FontStyle.ini"));
  w->close();
  EXPECT_EQ(TIniFile(dir.Path("FontStyle.ini")).ReadInteger("3", "Blur", 0), 50);
}

TEST_F(MainWindow, AddingAStyleAsksForAUniqueName) {
  Open();
  DialogScript::Push(DialogScript::Cancel{});
  Run("actFontStyleAdd");
  EXPECT_EQ(w->lstFontStyle->count(), 7);
  DialogScript::Push(QString(""));
  Run("actFontStyleAdd");
  DialogScript::Push(QString("title1"));
  Run("actFontStyleAdd");
  EXPECT_EQ(Messages(), QStringList({"名称不能为空，请重新取名。", "字体样式名称以存在，请重新取名。"}));
  EXPECT_EQ(w->lstFontStyle->count(), 7);
  DialogScript::Push(QString("祝福"));
  DialogScript::Push(true);  // the font dialog, OK unchanged
  DialogScript::Push(true);  // the effect dialog
  Run("actFontStyleAdd");
  ASSERT_EQ(w->lstFontStyle->count(), 8);
  EXPECT_EQ(w->lstFontStyle->item(7)->text(), QString("祝福"));
  EXPECT_TRUE(w->lstFontStyle->selectedItems().isEmpty());
  const auto& inputs = DialogScript::History();
  EXPECT_EQ(inputs.front().caption, QString("添加字体样式"));
}

TEST_F(MainWindow, UnsavedEditsOnEveryPageAreWrittenAtClose) {
  Open();
  w->cbbFlashDisplayMode->setCurrentIndex(2);
  w->seFlashWidth->setValue(1024);
  w->clbSaverBackground->setCurrentIndex(17);
  w->rbDisplayBottom->setChecked(true);
  w->chkExitKeyEsc->setChecked(false);
  w->edtBuildPath->setText(QStringLiteral("/输出/屏保"));
  Run("actClose");
  EXPECT_FALSE(w->isVisible());
  TIniFile config(dir.Path("Config.ini"));
  EXPECT_EQ(config.ReadInteger("SetInfo", "DisplayMode", -9), 2);
  EXPECT_EQ(config.ReadInteger("SetInfo", "Width", -9), 1024);
  EXPECT_EQ(config.ReadInteger("SetInfo", "Background", -9), 17);
  EXPECT_EQ(config.ReadString("SetInfo", "BlessingDisplayAlign", ""), QString("bottom"));
  EXPECT_FALSE(config.ReadBool("CloseEvent", "KeyEsc", true));
  EXPECT_EQ(dir.Read("Setting.ini"), Gbk("[Setting]\r\nBuildPath=/输出/屏保\r\n"));
}

TEST_F(MainWindow, StoredOptionsAreShownClampedAndWrittenBackAsShown) {
  dir.Write("Config.ini",
            "[SetInfo]\r\nDisplayMode=5\r\nPlayConfine=1\r\nWidth=5000\r\nBlessingLineDelay=100\r\n"
            "Background=60\r\nBlessingDisplayAlign=bottom\r\n");
  Open();
  EXPECT_EQ(w->cbbFlashDisplayMode->currentIndex(), -1);
  EXPECT_EQ(w->seFlashWidth->value(), 3000);
  EXPECT_EQ(w->seBlessingLineDelay->value(), 500);
  EXPECT_EQ(w->clbSaverBackground->currentIndex(), -1);
  EXPECT_TRUE(w->rbDisplayBottom->isChecked());
  EXPECT_TRUE(w->seFlashWidth->isEnabled()) << "a stored custom area enables the size fields";
  w->close();
  TIniFile config(dir.Path("Config.ini"));
  EXPECT_EQ(config.ReadInteger("SetInfo", "DisplayMode", 0), -1);
  EXPECT_EQ(config.ReadInteger("SetInfo", "Background", 0), -1);
  EXPECT_EQ(config.ReadInteger("SetInfo", "Width", 0), 3000);
  EXPECT_EQ(config.ReadInteger("SetInfo", "BlessingLineDelay", 0), 500);
}

TEST_F(MainWindow, RestoreDefaultsThenCloseWritesLowQuality) {
  dir.Write("Config.ini", "[SetInfo]\r\nWidth=1\r\nPlayOrder=1\r\nShowMouse=1\r\n[CloseEvent]\r\nKeyDown=0\r\n");
  Open();
  Run("actUndoDefaultSet");
  EXPECT_EQ(dir.Read("Config.ini"),
            QByteArray("[SetInfo]\r\nWidth=1\r\nPlayOrder=1\r\nShowMouse=1\r\n[CloseEvent]\r\nKeyDown=0\r\n"))
      << "nothing is written before the next save";
  w->close();
  QByteArray expected = kDefaultConfig;
  expected.replace("PlayQuality=1", "PlayQuality=0");
  // Keys keep the places they had in the file; compare values rather than order.
  TIniFile saved(dir.Path("Config.ini")), want(dir.Path("want.ini"));
  dir.Write("want.ini", expected);
  for (const QString& section : {QString("SetInfo"), QString("CloseEvent")}) {
    for (const QString& key : want.ReadSection(section)) {
      EXPECT_EQ(saved.ReadString(section, key, "?"), want.ReadString(section, key, "!")) << key.toStdString();
    }
  }
}

TEST_F(MainWindow, SizeFieldsFollowThePlayingArea) {
  Open();
  auto pick = [&](int index) {
    w->cbbFlashPlayConfine->setCurrentIndex(index);
    emit w->cbbFlashPlayConfine->activated(index);
  };
  pick(1);
  EXPECT_TRUE(w->seFlashWidth->isEnabled());
  EXPECT_TRUE(w->seFlashHeight->isEnabled());
  w->seFlashWidth->setValue(640);
  pick(0);
  EXPECT_FALSE(w->seFlashWidth->isEnabled());
  EXPECT_FALSE(w->seFlashHeight->isEnabled());
  EXPECT_EQ(w->seFlashWidth->value(), 640);
  w->close();
  EXPECT_EQ(TIniFile(dir.Path("Config.ini")).ReadInteger("SetInfo", "Width", 0), 640);
}

TEST_F(MainWindow, ColourPickerListsTheFiftyColoursWithSwatches) {
  Open();
  ASSERT_EQ(w->clbSaverBackground->count(), 50);
  EXPECT_EQ(w->clbSaverBackground->itemText(0), QString("clBlack"));
  EXPECT_EQ(w->clbSaverBackground->itemText(19), QString("clMedGray"));
  EXPECT_EQ(w->clbSaverBackground->itemText(49), QString("clWindowText"));
  const QImage red = w->clbSaverBackground->itemIcon(9).pixmap(16, 12).toImage();
  EXPECT_EQ(red.pixelColor(8, 6), QColor(255, 0, 0));
  const QImage sky = w->clbSaverBackground->itemIcon(17).pixmap(16, 12).toImage();
  EXPECT_EQ(sky.pixelColor(8, 6), QColor(166, 202, 240));
}

TEST_F(MainWindow, SpinEditWithoutANumberSavesItsMinimum) {
  Open();
  w->seBlessingLineDelay->Field()->setText("");
  w->seFlashHeight->Field()->setText("abc");
  w->close();
  TIniFile config(dir.Path("Config.ini"));
  EXPECT_EQ(config.ReadInteger("SetInfo", "BlessingLineDelay", 0), 500);
  EXPECT_EQ(config.ReadInteger("SetInfo", "Height", -1), 0);
}

TEST_F(MainWindow, MenuAndTabsHoldTheirCommands) {
  Open();
  QMenuBar* bar = w->menuBar();
  QStringList menus;
  for (QAction* a : bar->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"Pavona", "工具(&D)", "帮助(&H)"}));
  auto names = [](QMenu* m) {
    QStringList n;
    for (QAction* a : m->actions()) n << (a->isSeparator() ? QString("-") : a->objectName());
    return n;
  };
  EXPECT_EQ(names(w->findChild<QMenu*>("N1")),
            QStringList({"actSelectFile", "actAddBlessings", "actOptionsConfig", "actBuildSaver", "-", "actClose"}));
  EXPECT_EQ(names(w->findChild<QMenu*>("N11")), QStringList({"actUpdate", "-", "actExtractFlash", "actFlashWeb"}));
  EXPECT_EQ(names(w->findChild<QMenu*>("H1")),
            QStringList({"actIndex", "-", "actWebPage", "actBlogPage", "-", "actShowAbout"}));
  EXPECT_EQ(names(w->pmAAFontModify), QStringList({"actModifyEffect", "actModifyFont"}));
  EXPECT_EQ(Act("actIndex")->shortcut(), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(Act("actClose")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
  QStringList tabs;
  for (int i = 0; i < w->pgcMain->count(); ++i) tabs << w->pgcMain->tabText(i);
  EXPECT_EQ(tabs, QStringList({"1.选择文件", "2.添加祝福语", "3.选项配置", "4.生成屏保"}));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(w->pgcMain->tabIcon(i).isNull());
}

TEST_F(MainWindow, F1WithoutTheHelpFileShows301) {
  Open();
  QTest::keyClick(w.get(), Qt::Key_F1);
  QApplication::processEvents();
  EXPECT_EQ(Messages(), QStringList({"文件不存在！"}));
  dir.Write("Pavona.chm", "help");
  DialogScript::Push(false);  // the shell cannot open it
  QTest::keyClick(w->lstFlashFiles, Qt::Key_F1);
  EXPECT_EQ(Messages(), QStringList({"文件打开错误！"}));
  EXPECT_EQ(DialogScript::History().back().caption, "提示");
}

TEST_F(MainWindow, AltF4ClosesAndSavesLikeTheCloseBox) {
  Open();
  w->edtBuildPath->setText("/elsewhere");
  QTest::keyClick(w.get(), Qt::Key_F4, Qt::AltModifier);
  QApplication::processEvents();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(dir.Read("Setting.ini"), QByteArray("[Setting]\r\nBuildPath=/elsewhere\r\n"));
  EXPECT_TRUE(dir.Exists("Config.ini"));
}

TEST_F(MainWindow, PageCommandsNeedNoCheckButNextOnPage1Does) {
  Open();
  Run("actBuildSaver");
  EXPECT_EQ(w->pgcMain->currentIndex(), 3);
  Run("actSelectFile");
  EXPECT_EQ(w->pgcMain->currentIndex(), 0);
  Run("actNextStep1");
  EXPECT_EQ(w->pgcMain->currentIndex(), 0);
  EXPECT_EQ(Messages(), QStringList({"列表内没有Flash文件，请添加文件。"}));

  w->edtSaverName->setText("");
  Run("actNextStep1");
  EXPECT_EQ(Messages(), QStringList({"请输入屏保名称。"}));
  w->edtSaverName->setText("a:b");
  Run("actNextStep1");
  EXPECT_TRUE(Messages().front().startsWith("屏保名称不能包含"));

  w->edtSaverName->setText("Demo");
  const QString gone = dir.Path("gone.swf");
  w->lstFlashFiles->addItem(gone);
  Run("actNextStep1");
  EXPECT_EQ(Messages(), QStringList({"文件：" + gone + "，不存在！请核查文件。"}));
  EXPECT_EQ(w->pgcMain->currentIndex(), 0);

  w->lstFlashFiles->item(0)->setText(Swf("a.swf", 10));
  Run("actNextStep1");
  EXPECT_EQ(w->pgcMain->currentIndex(), 1);
  Run("actNextStep2");
  EXPECT_EQ(w->pgcMain->currentIndex(), 2);
  Run("actNextStep3");
  EXPECT_EQ(w->pgcMain->currentIndex(), 3);
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(MainWindow, AddingSkipsPathsAlreadyListedIgnoringCase) {
  Open();
  const QString a = Swf("a.swf", 1048576), b = Swf("b.swf", 524288), c = Swf("c.swf", 262144);
  DialogScript::Push(QStringList({a, b}));
  Run("actFlashAdd");
  DialogScript::Push(QStringList({b.toUpper(), c, a, c}));
  Run("actFlashAdd");
  EXPECT_EQ(Items(), QStringList({a, b, c}));
  EXPECT_EQ(w->lblFlashInfo->text(), QString("当前共有 3 个Flash文件，总计 1.75 MB。"));
  DialogScript::Push(DialogScript::Cancel{});
  Run("actFlashAdd");
  EXPECT_EQ(Items(), QStringList({a, b, c}));
  EXPECT_EQ(w->lblFlashInfo->text(), QString("当前共有 3 个Flash文件，总计 1.75 MB。"));
}

TEST_F(MainWindow, DeleteSelectsTheSuccessorOrTheNewLast) {
  Open();
  const QString a = Swf("a.swf", 1), b = Swf("b.swf", 1), c = Swf("c.swf", 1), d = Swf("d.swf", 1);
  DialogScript::Push(QStringList({a, b, c, d}));
  Run("actFlashAdd");
  Run("actFlashDelete");  // nothing selected
  EXPECT_EQ(Items().size(), 4);
  w->lstFlashFiles->setCurrentRow(1);
  Run("actFlashDelete");
  EXPECT_EQ(Items(), QStringList({a, c, d}));
  EXPECT_EQ(w->lstFlashFiles->currentRow(), 1);
  w->lstFlashFiles->setCurrentRow(2);
  Run("actFlashDelete");
  EXPECT_EQ(Items(), QStringList({a, c}));
  EXPECT_EQ(w->lstFlashFiles->currentRow(), 1);
  Run("actFlashDelete");
  Run("actFlashDelete");
  EXPECT_TRUE(Items().isEmpty());
  EXPECT_TRUE(w->lstFlashFiles->selectedItems().isEmpty());
  EXPECT_EQ(w->lblFlashInfo->text(), QString("当前共有 0 个Flash文件，总计 0.00 MB。"));
}

TEST_F(MainWindow, MovesStopAtTheEndsAndLeaveTheLabel) {
  Open();
  const QString a = Swf("a.swf", 1), b = Swf("b.swf", 1), c = Swf("c.swf", 1);
  DialogScript::Push(QStringList({a, b}));
  Run("actFlashAdd");
  const QString label = w->lblFlashInfo->text();
  w->lstFlashFiles->addItem(c);  // as the extraction dialog appends: not counted yet
  w->lstFlashFiles->setCurrentRow(0);
  Run("actFlashMoveUp");
  EXPECT_EQ(Items(), QStringList({a, b, c}));
  Run("actFlashMoveDown");
  EXPECT_EQ(Items(), QStringList({b, a, c}));
  EXPECT_EQ(w->lstFlashFiles->currentRow(), 1);
  Run("actFlashMoveDown");
  Run("actFlashMoveDown");
  EXPECT_EQ(Items(), QStringList({b, c, a}));
  EXPECT_EQ(w->lstFlashFiles->currentRow(), 2);
  Run("actFlashMoveUp");
  EXPECT_EQ(Items(), QStringList({b, a, c}));
  EXPECT_EQ(w->lblFlashInfo->text(), label);
}

TEST(FlashListInfo, TotalsRoundHalfAwayFromZero) {
  TempFolder dir;
  struct Case {
    std::vector<qint64> sizes;
    const char* text;
  };
  const Case cases[] = {
      {{1048576, 524288, 262144}, "当前共有 3 个Flash文件，总计 1.75 MB。"},
      {{5000}, "当前共有 1 个Flash文件，总计 0.00 MB。"},
      {{131072}, "当前共有 1 个Flash文件，总计 0.13 MB。"},
      {{}, "当前共有 0 个Flash文件，总计 0.00 MB。"},
  };
  int n = 0;
  for (const Case& c : cases) {
    QStringList paths;
    for (qint64 size : c.sizes) {
      const QString name = QString("f%1.swf").arg(n++);
      dir.Write(name, QByteArray(size, 'x'));
      paths << dir.Path(name);
    }
    EXPECT_EQ(TMainOperation::FlashListInfo(paths), QString::fromUtf8(c.text));
  }
  // A path whose file is gone counts, but adds nothing.
  EXPECT_EQ(TMainOperation::FlashListInfo({dir.Path("missing.swf")}), QString("当前共有 1 个Flash文件，总计 0.00 MB。"));
}

TEST_F(MainWindow, FolderBrowserFillsTheEditOrLeavesIt) {
  Open();
  w->edtBuildPath->setText("/kept");
  DialogScript::Push(QString());  // cancelled
  Run("actSelectBulidPath");
  EXPECT_EQ(w->edtBuildPath->text(), QString("/kept"));
  DialogScript::Push(QString("/chosen/folder/"));
  Run("actSelectBulidPath");
  EXPECT_EQ(w->edtBuildPath->text(), QString("/chosen/folder"));
  DialogScript::Push(QString("/"));
  Run("actSelectBulidPath");
  EXPECT_EQ(w->edtBuildPath->text(), QString("/"));
  EXPECT_EQ(DialogScript::History().back().caption, QString("请选择一个用于输出生成后的屏保安装文件的文件夹："));
}

TEST_F(MainWindow, OpenFolderReports303WhenTheShellFails) {
  Open();
  w->edtBuildPath->setText(" as typed ");
  DialogScript::Push(false);
  Run("actOpenBulidPath");
  EXPECT_EQ(Messages(), QStringList({"无法调用浏览器！"}));
  bool sawTarget = false;
  for (const auto& s : DialogScript::History()) sawTarget |= s.kind == DialogScript::Shown::Kind::Shell && s.caption == " as typed ";
  EXPECT_TRUE(sawTarget);
}

TEST_F(MainWindow, BuildCommandIsDisabledExactlyWhileABuildRuns) {
  Open();
  QAction* build = Act("actSaverBuild");
  EXPECT_TRUE(build->isEnabled());
  BuildingSaver = reinterpret_cast<TBuildSaver*>(0x1);  // only its being set matters here
  QApplication::postEvent(w->lstFlashFiles, new QEvent(QEvent::User));
  QApplication::processEvents();
  EXPECT_FALSE(build->isEnabled());
  EXPECT_TRUE(Act("actSaverPreview")->isEnabled());
  EXPECT_TRUE(Act("actFlashAdd")->isEnabled());
  BuildingSaver = nullptr;
  QApplication::postEvent(w->lstFlashFiles, new QEvent(QEvent::User));
  QApplication::processEvents();
  EXPECT_TRUE(build->isEnabled());
}

}  // namespace
