#include "untMain.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "AAFadeText.h"
#include "Constant.h"
#include "Dialogs.h"
#include "EffectDialog.h"
#include "FontDialog.h"
#include "SaverInput.h"
#include "Icons.h"
#include "Operation.h"
#include "Options.h"
#include "PavonaError.h"
#include "SpinEdit.h"
#include "SystemColors.h"
#include "Variable.h"

namespace {

// The window's font. The original's Tahoma 8 pt has no Chinese on these desktops;
// a compact CJK face that also covers Latin text keeps the window's look and its
// start quick (the large CJK faces cost more to open).
QFont WindowFont() {
  QFont f;
  f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
  f.setPixelSize(11);
  return f;
}

template <typename W>
W* Place(W* w, const char* name, int x, int y, int width = -1, int height = -1) {
  w->setObjectName(QString::fromLatin1(name));
  if (width < 0) {
    w->adjustSize();
    w->move(x, y);
  } else {
    w->setGeometry(x, y, width, height);
  }
  return w;
}

// A label that sizes itself to its text, as the original's auto-sized labels do,
// but only when it is first shown: measuring Chinese text is the costly part of
// making the window, and most labels sit on pages that are not showing yet.
class TAutoSizeLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void showEvent(QShowEvent* event) override {
    if (!sized_) {
      sized_ = true;
      adjustSize();
    }
    QLabel::showEvent(event);
  }

 private:
  bool sized_ = false;
};

QLabel* Label(QWidget* parent, const char* name, int x, int y, const QString& text) {
  auto* label = new TAutoSizeLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(x, y);
  return label;
}

// A button bound to an action: its caption, enabled state and click follow the action.
QPushButton* ActionButton(QWidget* parent, const char* name, QAction* action, int x, int y, int w, int h,
                          const QString& ownCaption = QString()) {
  auto* b = Place(new QPushButton(parent), name, x, y, w, h);
  auto sync = [b, action, ownCaption] {
    b->setText(ownCaption.isEmpty() ? action->text() : ownCaption);
    b->setEnabled(action->isEnabled());
    b->setVisible(action->isVisible());
  };
  sync();
  QObject::connect(action, &QAction::changed, b, sync);
  QObject::connect(b, &QPushButton::clicked, action, [action] { action->trigger(); });
  return b;
}

// A flat 25 x 25 speed button that shows its action's glyph and hint.
QToolButton* SpeedButton(QWidget* parent, const char* name, QAction* action, int x, int y,
                         icons::Glyph glyph, const QString& hint) {
  action->setIcon(icons::GlyphIcon(glyph));
  action->setToolTip(hint);
  auto* b = Place(new QToolButton(parent), name, x, y, 25, 25);
  b->setAutoRaise(true);
  b->setDefaultAction(action);
  return b;
}

QIcon Swatch(uint32_t rgb) { return icons::ColorSwatch(QColor::fromRgb(rgb)); }

QComboBox* DropDown(QWidget* parent, const char* name, int x, int y, int w, int h, const QStringList& items) {
  auto* c = Place(new QComboBox(parent), name, x, y, w, h);
  c->addItems(items);
  c->setCurrentIndex(-1);
  return c;
}

QCheckBox* Check(QWidget* parent, const char* name, int x, int y, int w, int h, const QString& text, bool on) {
  auto* c = Place(new QCheckBox(text, parent), name, x, y, w, h);
  c->setChecked(on);
  return c;
}

QFrame* HLine(QWidget* parent, const char* name, int x, int y, int w) {
  auto* f = Place(new QFrame(parent), name, x, y, w, 2);
  f->setFrameShape(QFrame::HLine);
  f->setFrameShadow(QFrame::Sunken);
  return f;
}

TSpinEdit* Spin(QWidget* parent, const char* name, int x, int y, int w, int h, int min, int max, int value) {
  auto* s = Place(new TSpinEdit(parent), name, x, y, w, h);
  s->setRange(min, max);
  s->setValue(value);
  return s;
}

}  // namespace

TPavona_Main::TPavona_Main(QWidget* parent) : QMainWindow(parent) {
  setObjectName("Pavona_Main");
  setWindowTitle(constant::ProductName);
  setWindowIcon(icons::AppIcon());
  setFont(WindowFont());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  auto* client = new QWidget(this);
  client->setObjectName("ClientArea");
  client->setFixedSize(603, 380);
  setCentralWidget(client);

  tmr1 = new QTimer(this);
  tmr1->setObjectName("tmr1");
  tmr1->setInterval(200);

  CreateActions();
  CreateMenus();

  pgcMain = Place(new QTabWidget(client), "pgcMain", 8, 6, 587, 363);
  tsSelectFile = new QWidget;
  tsSelectFile->setObjectName("tsSelectFile");
  tsAddBlessing = new QWidget;
  tsAddBlessing->setObjectName("tsAddBlessing");
  tsOptionConfig = new QWidget;
  tsOptionConfig->setObjectName("tsOptionConfig");
  tsBuildSaver = new QWidget;
  tsBuildSaver->setObjectName("tsBuildSaver");
  pgcMain->addTab(tsSelectFile, icons::ImageListIcon(0), QStringLiteral("1.选择文件"));
  pgcMain->addTab(tsAddBlessing, icons::ImageListIcon(9), QStringLiteral("2.添加祝福语"));
  pgcMain->addTab(tsOptionConfig, icons::ImageListIcon(2), QStringLiteral("3.选项配置"));
  pgcMain->addTab(tsBuildSaver, icons::ImageListIcon(10), QStringLiteral("4.生成屏保"));
  CreatePage1(tsSelectFile);
  CreatePage2(tsAddBlessing);
  CreatePage3(tsOptionConfig);
  CreatePage4(tsBuildSaver);
  Connect();

  setFixedSize(sizeHint());
  FormCreate();
}

TPavona_Main::~TPavona_Main() {
  if (hookInstalled_) qApp->removeEventFilter(this);
}

QAction* TPavona_Main::MakeAction(const char* name, const QString& caption, int image) {
  auto* a = new QAction(caption, this);
  a->setObjectName(QString::fromLatin1(name));
  if (image >= 0) a->setIcon(icons::ImageListIcon(image));
  // Shortcuts work anywhere in the window, also where no menu shows the action.
  a->setShortcutContext(Qt::WindowShortcut);
  addAction(a);
  return a;
}

void TPavona_Main::CreateActions() {
  actSelectFile = MakeAction("actSelectFile", QStringLiteral("1.选择文件"), 0);
  actAddBlessings = MakeAction("actAddBlessings", QStringLiteral("2.添加祝福语"), 9);
  actOptionsConfig = MakeAction("actOptionsConfig", QStringLiteral("3.屏保设置"), 2);
  actBuildSaver = MakeAction("actBuildSaver", QStringLiteral("4.生成屏保"), 10);
  actClose = MakeAction("actClose", QStringLiteral("退出(E)"), 11);
  actClose->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  actUpdate = MakeAction("actUpdate", QStringLiteral("更新检测(&U)"), 3);
  actExtractFlash = MakeAction("actExtractFlash", QStringLiteral("Flash提取"), 1);
  actFlashWeb = MakeAction("actFlashWeb", QStringLiteral("Flash站点"), 4);
  actIndex = MakeAction("actIndex", QStringLiteral("目录"), 6);
  actIndex->setShortcut(QKeySequence(Qt::Key_F1));
  actWebPage = MakeAction("actWebPage", QStringLiteral("访问主页"), 4);
  actBlogPage = MakeAction("actBlogPage", QStringLiteral("访问博客"), 4);
  actShowAbout = MakeAction("actShowAbout", QStringLiteral("关于(&A)..."), 8);
  actFlashAdd = MakeAction("actFlashAdd", QString());
  actFlashDelete = MakeAction("actFlashDelete", QString());
  actFlashMoveUp = MakeAction("actFlashMoveUp", QString());
  actFlashMoveDown = MakeAction("actFlashMoveDown", QString());
  actFlashPlay = MakeAction("actFlashPlay", QString());
  actFlashPause = MakeAction("actFlashPause", QString());
  actFlashStop = MakeAction("actFlashStop", QString());
  actNextStep1 = MakeAction("actNextStep1", QStringLiteral("下一步(&N)"));
  actFontStyleModify = MakeAction("actFontStyleModify", QString());
  actFontStyleAdd = MakeAction("actFontStyleAdd", QString());
  actFontStyleDelete = MakeAction("actFontStyleDelete", QString());
  actFontStylePreview = MakeAction("actFontStylePreview", QStringLiteral("字体样式预览(&F)"));
  actBelssingPreview = MakeAction("actBelssingPreview", QStringLiteral("祝福语预览(&B)"));
  actNextStep2 = MakeAction("actNextStep2", QStringLiteral("下一步(&N)"));
  actModifyEffect = MakeAction("actModifyEffect", QStringLiteral("修改特效"));
  actModifyFont = MakeAction("actModifyFont", QStringLiteral("修改字体"));
  actFlashPlayConfine = MakeAction("actFlashPlayConfine", QString());
  actUndoDefaultSet = MakeAction("actUndoDefaultSet", QStringLiteral("恢复默认(&U)"));
  actNextStep3 = MakeAction("actNextStep3", QStringLiteral("下一步(&N)"));
  actSelectBulidPath = MakeAction("actSelectBulidPath", QStringLiteral("选择(&S)"));
  actOpenBulidPath = MakeAction("actOpenBulidPath", QStringLiteral("打开目录(&E)"));
  actSaverPreview = MakeAction("actSaverPreview", QStringLiteral("预览屏保(&P)"));
  actSaverBuild = MakeAction("actSaverBuild", QStringLiteral("生成屏保(&B)"));
}

void TPavona_Main::CreateMenus() {
  QMenuBar* mm1 = menuBar();
  mm1->setObjectName("mm1");
  auto item = [](QMenu* menu, QAction* action, const char* itemName) {
    menu->addAction(action);
    action->setProperty("menuItem", QString::fromLatin1(itemName));
  };
  auto separator = [](QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); };

  QMenu* n1 = mm1->addMenu(constant::ProductName);
  n1->setObjectName("N1");
  item(n1, actSelectFile, "N2");
  item(n1, actAddBlessings, "N18");
  item(n1, actOptionsConfig, "N13");
  item(n1, actBuildSaver, "N16");
  separator(n1, "N3");
  item(n1, actClose, "N4");

  QMenu* n11 = mm1->addMenu(QStringLiteral("工具(&D)"));
  n11->setObjectName("N11");
  item(n11, actUpdate, "N12");
  separator(n11, "N14");
  item(n11, actExtractFlash, "Flash1");
  item(n11, actFlashWeb, "Flash2");

  QMenu* h1 = mm1->addMenu(QStringLiteral("帮助(&H)"));
  h1->setObjectName("H1");
  item(h1, actIndex, "N5");
  separator(h1, "N6");
  item(h1, actWebPage, "N7");
  item(h1, actBlogPage, "N15");
  separator(h1, "N9");
  item(h1, actShowAbout, "N10");

  pmAAFontModify = new QMenu(this);
  pmAAFontModify->setObjectName("pmAAFontModify");
  item(pmAAFontModify, actModifyEffect, "y1");
  item(pmAAFontModify, actModifyFont, "N19");
}

void TPavona_Main::CreatePage1(QWidget* page) {
  Label(page, "lbl1", 8, 16, QStringLiteral("屏保名称："));
  edtSaverName = Place(new QLineEdit(QStringLiteral("Orvalis软件"), page), "edtSaverName", 72, 12, 265, 21);
  SpeedButton(page, "btnFlashAdd", actFlashAdd, 216, 44, icons::Glyph::Add, QStringLiteral("添加Flash文件"));
  SpeedButton(page, "btnFlashDelete", actFlashDelete, 248, 44, icons::Glyph::Delete, QStringLiteral("删除文件"));
  SpeedButton(page, "btnFlashMoveUp", actFlashMoveUp, 280, 44, icons::Glyph::MoveUp, QStringLiteral("上移"));
  SpeedButton(page, "btnFlashMoveDown", actFlashMoveDown, 312, 44, icons::Glyph::MoveDown, QStringLiteral("下移"));
  SpeedButton(page, "btnFlashPlay", actFlashPlay, 480, 44, icons::Glyph::Play, QStringLiteral("播放"));
  SpeedButton(page, "btnFlashPause", actFlashPause, 511, 44, icons::Glyph::Pause, QStringLiteral("暂停"));
  SpeedButton(page, "btnFlashStop", actFlashStop, 543, 44, icons::Glyph::Stop, QStringLiteral("停止"));
  Label(page, "lbl16", 8, 56, QStringLiteral("Flash文件列表："));
  Label(page, "lbl17", 352, 56, QStringLiteral("Flash播放："));
  lstFlashFiles = Place(new QListWidget(page), "lstFlashFiles", 8, 72, 330, 225);
  lstFlashFiles->setSelectionMode(QAbstractItemView::SingleSelection);
  pnl_view = Place(new QFrame(page), "pnl_view", 352, 72, 217, 161);
  pnl_view->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pbFlashProgress = Place(new QProgressBar(page), "pbFlashProgress", 352, 248, 217, 22);
  pbFlashProgress->setRange(0, 100);
  pbFlashProgress->setValue(0);
  pbFlashProgress->setTextVisible(false);
  lblFlashInfo = Label(page, "lblFlashInfo", 8, 304, QStringLiteral("当前共有 0 个Flash文件，总计 0.00 MB。"));
  btnNextStep1 = ActionButton(page, "btnNextStep1", actNextStep1, 495, 292, 75, 25);
}

void TPavona_Main::CreatePage2(QWidget* page) {
  auto* grp = Place(new QGroupBox(QStringLiteral("效果预览"), page), "grpFontPerview", 8, 8, 561, 85);
  aftFontStylePreview = Place(new TAAFadeText(grp), "aftFontStylePreview", 16, 24, 529, 49);
  Label(page, "lbl12", 8, 112, QStringLiteral("字体样式表："));
  SpeedButton(page, "btnFontStyleModify", actFontStyleModify, 80, 102, icons::Glyph::StyleModify,
              QStringLiteral("修改字体样式"));
  SpeedButton(page, "btnFontStyleAdd", actFontStyleAdd, 110, 102, icons::Glyph::StyleAdd,
              QStringLiteral("添加字体样式"));
  SpeedButton(page, "btnFontStyleDelete", actFontStyleDelete, 140, 102, icons::Glyph::StyleDelete,
              QStringLiteral("删除字体样式"));
  lstFontStyle = Place(new QListWidget(page), "lstFontStyle", 8, 128, 157, 152);
  lstFontStyle->setToolTip(QStringLiteral("双击预览字体样式效果"));
  Label(page, "lbl11", 176, 112, QStringLiteral("在此编辑祝福语，格式：<字体样式名称>祝福语"));
  mmoBlessingModify = Place(new QPlainTextEdit(page), "mmoBlessingModify", 176, 128, 393, 152);
  mmoBlessingModify->setLineWrapMode(QPlainTextEdit::NoWrap);
  mmoBlessingModify->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mmoBlessingModify->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ActionButton(page, "btnFontStylePreview", actFontStylePreview, 8, 292, 105, 25);
  ActionButton(page, "btnBlessingPreview", actBelssingPreview, 176, 292, 105, 25);
  ActionButton(page, "btnNextStep2", actNextStep2, 495, 292, 75, 25);
}

void TPavona_Main::CreatePage3(QWidget* page) {
  auto* grp1 = Place(new QGroupBox(page), "grp1", 8, 8, 273, 308);
  Label(grp1, "lbl2", 32, 27, QStringLiteral("显示方式："));
  cbbFlashDisplayMode = DropDown(grp1, "cbbFlashDisplayMode", 104, 24, 135, 21,
                                 {QStringLiteral("显示全部"), QStringLiteral("按比例显示"), QStringLiteral("填充全部")});
  Label(grp1, "lbl5", 32, 58, QStringLiteral("播放范围："));
  cbbFlashPlayConfine = DropDown(grp1, "cbbFlashPlayConfine", 104, 55, 135, 21,
                                 {QStringLiteral("全屏显示"), QStringLiteral("自定义显示")});
  Label(grp1, "lbl6", 67, 89, QStringLiteral("宽："));
  seFlashWidth = Spin(grp1, "seFlashWidth", 104, 87, 49, 22, 0, 3000, 0);
  seFlashWidth->setEnabled(false);
  Label(grp1, "lbl7", 162, 89, QStringLiteral("高："));
  seFlashHeight = Spin(grp1, "seFlashHeight", 189, 87, 49, 22, 0, 3000, 0);
  seFlashHeight->setEnabled(false);
  Label(grp1, "lbl3", 32, 121, QStringLiteral("播放质量："));
  cbbFlashPlayQuality = DropDown(grp1, "cbbFlashPlayQuality", 104, 118, 135, 21, {QStringLiteral("低"), QStringLiteral("高")});
  Label(grp1, "lbl8", 32, 152, QStringLiteral("播放顺序："));
  cbbFlashPlayOrder = DropDown(grp1, "cbbFlashPlayOrder", 104, 150, 135, 21, {QStringLiteral("顺序"), QStringLiteral("随机")});
  Label(grp1, "lbl4", 32, 183, QStringLiteral("屏保背景："));
  clbSaverBackground = Place(new QComboBox(grp1), "clbSaverBackground", 104, 181, 135, 22);
  const TBackgroundColor* colors = BackgroundColors();
  for (int i = 0; i < BackgroundColorCount; ++i) {
    const TBackgroundColor& c = colors[i];
    const uint32_t rgb = c.IsSystem ? platform::SystemColorRgb(c.SystemIndex)
                                    : (uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | uint32_t(c.Blue));
    clbSaverBackground->addItem(Swatch(rgb), QString::fromLatin1(c.Name));
  }
  clbSaverBackground->setCurrentIndex(-1);
  Label(grp1, "lbl9", 32, 215, QStringLiteral("祝福语循环次数："));
  seBlessingRepeatNumber = Spin(grp1, "seBlessingRepeatNumber", 136, 213, 102, 22, 0, 300, 0);
  seBlessingRepeatNumber->setToolTip(QStringLiteral("0：表示无限循环"));
  Label(grp1, "lbl13", 32, 246, QStringLiteral("祝福语循环速度："));
  seBlessingLineDelay = Spin(grp1, "seBlessingLineDelay", 136, 244, 102, 22, 500, 10000, 3000);
  seBlessingLineDelay->setToolTip(QStringLiteral("单位：毫秒"));
  Label(grp1, "lbl14", 32, 277, QStringLiteral("祝福语显示位置："));
  rbDisplayTop = Place(new QRadioButton(QStringLiteral("顶部"), grp1), "rbDisplayTop", 136, 276, 49, 17);
  rbDisplayBottom = Place(new QRadioButton(QStringLiteral("底部"), grp1), "rbDisplayBottom", 192, 276, 49, 17);
  rbDisplayTop->setChecked(true);

  auto* grp2 = Place(new QGroupBox(page), "grp2", 296, 8, 273, 233);
  Label(grp2, "lbl10", 24, 24, QStringLiteral("屏保结束事件"));
  chkExitMouseMove = Check(grp2, "chkExitMouseMove", 54, 50, 80, 17, QStringLiteral("鼠标移动"), true);
  chkExitMouseDown = Check(grp2, "chkExitMouseDown", 54, 76, 80, 17, QStringLiteral("鼠标点击"), true);
  chkExitKeyDown = Check(grp2, "chkExitKeyDown", 150, 50, 73, 17, QStringLiteral("按键"), true);
  chkExitKeyEsc = Check(grp2, "chkExitKeyEsc", 150, 76, 73, 17, QStringLiteral("ESC键"), true);
  HLine(grp2, "bvl1", 16, 112, 241);
  chkSaverShowMouse = Check(grp2, "chkSaverShowMouse", 24, 125, 81, 17, QStringLiteral("显示鼠标"), false);
  chkSaverPlaySequence =
      Check(grp2, "chkSaverPlaySequence", 24, 151, 171, 17, QStringLiteral("循环播放(顺序播放时有效)"), true);
  HLine(grp2, "bvl2", 16, 185, 241);
  chkBlessingEnabled = Check(grp2, "chkBlessingEnabled", 24, 200, 113, 17, QStringLiteral("使用祝福语功能"), true);
  ActionButton(page, "btnUndoDefaultSet", actUndoDefaultSet, 296, 292, 81, 25);
  ActionButton(page, "btnNextStep3", actNextStep3, 495, 292, 75, 25);
}

void TPavona_Main::CreatePage4(QWidget* page) {
  auto* grp = Place(new QGroupBox(QStringLiteral("生成屏保安装文件"), page), "grpBuild", 8, 8, 561, 241);
  Label(grp, "lblBuildPath", 16, 30, QStringLiteral("输出文件夹："));
  edtBuildPath = Place(new QLineEdit(grp), "edtBuildPath", 16, 48, 353, 21);
  ActionButton(grp, "btnBrowseBuildPath", actSelectBulidPath, 376, 46, 75, 25);
  ActionButton(grp, "btnOpenBuildPath", actOpenBulidPath, 456, 46, 91, 25, QStringLiteral("打开文件夹(&E)"));
  rbNoEvent = Place(new QRadioButton(QStringLiteral("生成后无动作"), grp), "rbNoEvent", 16, 88, 113, 17);
  rbShellInstall = Place(new QRadioButton(QStringLiteral("生成后安装屏保"), grp), "rbShellInstall", 16, 120, 113, 17);
  rbOpenDir = Place(new QRadioButton(QStringLiteral("生成后打开文件夹"), grp), "rbOpenDir", 16, 152, 113, 17);
  rbNoEvent->setChecked(true);
  ActionButton(grp, "btnSaverPreviwe", actSaverPreview, 376, 88, 171, 33, QStringLiteral("预览屏保(&P)"));
  ActionButton(grp, "btnSaverBuildInstall", actSaverBuild, 376, 136, 171, 33, QStringLiteral("生成屏保(&B)"));
  pbBuildSaver = Place(new QProgressBar(grp), "pbBuildSaver", 16, 193, 529, 21);
  pbBuildSaver->setValue(0);
  pbBuildSaver->setTextVisible(false);
}

void TPavona_Main::Connect() {
  auto on = [this](QAction* a, void (TPavona_Main::*handler)()) {
    connect(a, &QAction::triggered, this, [this, handler] {
      // After the window has closed its operations are gone; late commands do nothing.
      if (!MainOperation) return;
      // An error no command expects is reported and the window goes on.
      try {
        (this->*handler)();
      } catch (const EPavonaError& e) {
        ShowErrorReport(this, e.Message());
      } catch (const std::exception& e) {
        ShowErrorReport(this, QString::fromLocal8Bit(e.what()));
      }
    });
  };
  on(actSelectFile, &TPavona_Main::actSelectFileExecute);
  on(actAddBlessings, &TPavona_Main::actAddBlessingsExecute);
  on(actOptionsConfig, &TPavona_Main::actOptionsConfigExecute);
  on(actBuildSaver, &TPavona_Main::actBuildSaverExecute);
  on(actClose, &TPavona_Main::actCloseExecute);
  on(actIndex, &TPavona_Main::actIndexExecute);
  on(actWebPage, &TPavona_Main::actWebPageExecute);
  on(actBlogPage, &TPavona_Main::actBlogPageExecute);
  on(actFlashAdd, &TPavona_Main::actFlashAddExecute);
  on(actFlashDelete, &TPavona_Main::actFlashDeleteExecute);
  on(actFlashMoveUp, &TPavona_Main::actFlashMoveUpExecute);
  on(actFlashMoveDown, &TPavona_Main::actFlashMoveDownExecute);
  on(actNextStep1, &TPavona_Main::actNextStep1Execute);
  on(actNextStep2, &TPavona_Main::actNextStep2Execute);
  on(actNextStep3, &TPavona_Main::actNextStep3Execute);
  on(actFlashPlayConfine, &TPavona_Main::actFlashPlayConfineExecute);
  on(actUndoDefaultSet, &TPavona_Main::actUndoDefaultSetExecute);
  on(actSelectBulidPath, &TPavona_Main::actSelectBulidPathExecute);
  on(actOpenBulidPath, &TPavona_Main::actOpenBulidPathExecute);
  on(actBelssingPreview, &TPavona_Main::actBelssingPreviewExecute);
  on(actFontStyleModify, &TPavona_Main::actFontStyleModifyExecute);
  on(actModifyEffect, &TPavona_Main::actModifyEffectExecute);
  on(actModifyFont, &TPavona_Main::actModifyFontExecute);
  on(actFontStyleAdd, &TPavona_Main::actFontStyleAddExecute);
  on(actFontStyleDelete, &TPavona_Main::actFontStyleDeleteExecute);
  on(actFontStylePreview, &TPavona_Main::actFontStylePreviewExecute);
  on(actSaverBuild, &TPavona_Main::actSaverBuildExecute);
  on(actSaverPreview, &TPavona_Main::actSaverPreviewExecute);
  on(actFlashPlay, &TPavona_Main::actFlashPlayExecute);
  on(actFlashPause, &TPavona_Main::actFlashPauseExecute);
  on(actFlashStop, &TPavona_Main::actFlashStopExecute);
  connect(tmr1, &QTimer::timeout, this, [this] {
    try {
      tmr1Timer();
    } catch (const EPavonaError& e) {
      ShowErrorReport(this, e.Message());
    }
  });

  // Only the user's own tab clicks refresh the blessing preview; selecting a page
  // in code does not.
  connect(pgcMain->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
    if (index >= 0 && index != pgcMain->currentIndex()) {
      QTimer::singleShot(0, this, [this] { actBelssingPreview->trigger(); });
    }
  });
  connect(cbbFlashPlayConfine, QOverload<int>::of(&QComboBox::activated), actFlashPlayConfine, &QAction::trigger);
  connect(lstFlashFiles, &QListWidget::itemDoubleClicked, actFlashPlay, &QAction::trigger);
  connect(lstFontStyle, &QListWidget::itemDoubleClicked, actFontStylePreview, &QAction::trigger);
}

// --- start-up and shutdown -------------------------------------------------

void TPavona_Main::FormCreate() {
  MainOperation = std::make_unique<TMainOperation>();
  MainOperation->InitApplicationContext();
  MainOperation->FlashList = lstFlashFiles;
  MainOperation->MainWindow = this;
  Blessings->FadeText = &aftFontStylePreview->Data();
  Blessings->InputText = [](const QString& caption, const QString& prompt, QString& value) {
    return platform::InputText(caption, prompt, value);
  };
  Blessings->ShowMsg = [this](int code) { return ShowMsg(this, code, TMsgStyle::Warning); };
  Blessings->ScreenPixelsPerInch = [this] { return logicalDpiY(); };
  Blessings->FontDialog = [this](const QString& name, const TFontSpec& font) {
    return ExecFontDialog(this, name, font);
  };
  Blessings->EffectDialog = [this](const QString& name, const TAAEffect& effect) -> std::optional<TAAEffect> {
    // The dialog previews the whole style: the font it is drawn in and the effect being edited.
    const TFontStyle* found = aftFontStylePreview->Data().Fonts.Find(name);
    if (!found) return std::nullopt;
    TFontStyle style = *found;
    style.Effect = effect;
    return ExecEffectDialog(this, name, style);
  };
  LoadOptions();
  LoadBuildPath();
  LoadBlessing();
  qApp->installEventFilter(this);
  hookInstalled_ = true;
  pgcMain->setCurrentIndex(0);
}

void TPavona_Main::FormShow() { setWindowTitle(constant::MainCaption()); }

void TPavona_Main::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TPavona_Main::FormClose() {
  hide();
  // Each save runs even when one before it failed, so one unwritable file does
  // not cost the user the others; the failures are reported together.
  QStringList errors;
  for (auto save : {&TPavona_Main::SaveOptions, &TPavona_Main::SaveBuildPath, &TPavona_Main::SaveBlessing}) {
    try {
      (this->*save)();
    } catch (const EPavonaError& e) {
      errors << e.Message();
    }
  }
  MainOperation.reset();
  if (hookInstalled_) qApp->removeEventFilter(this);
  hookInstalled_ = false;
  if (!errors.isEmpty()) ShowErrorReport(nullptr, errors.join(u'\n'));
}

void TPavona_Main::closeEvent(QCloseEvent* event) {
  if (BuildingSaver) {
    // The running build still reports to this window: close once it has ended.
    closeAfterBuild_ = true;
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    FormClose();
  }
  event->accept();
}

bool TPavona_Main::eventFilter(QObject* watched, QEvent* event) {
  UpdateBuildCommand();
  if (watched == pbFlashProgress && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    pbFlashProgressMouseDown(mouse->button(), static_cast<int>(mouse->position().x()));
  }
  return QMainWindow::eventFilter(watched, event);
}

void TPavona_Main::UpdateBuildCommand() { actSaverBuild->setEnabled(BuildingSaver == nullptr); }

// --- the player on page 1 ---------------------------------------------------

namespace {
FlashPlayerFactory& PlayerFactory() {
  static FlashPlayerFactory factory;
  return factory;
}
}  // namespace

void TPavona_Main::SetFlashPlayerFactory(FlashPlayerFactory factory) { PlayerFactory() = std::move(factory); }

IFlashPlayer* TPavona_Main::swfFlashPlayer() {
  if (!player_ && PlayerFactory()) player_ = PlayerFactory()(pnl_view);
  return player_.get();
}

void TPavona_Main::actFlashPlayExecute() {
  // Without a selection play does nothing, so it need not start the player's engine.
  if (lstFlashFiles->selectedItems().isEmpty()) return;
  MainOperation->PlayFlash(swfFlashPlayer(), tmr1);
}

// Pausing or stopping before anything was played has nothing to tell a player
// that does not exist yet; the bar and the timer still follow the command.
void TPavona_Main::actFlashPauseExecute() { MainOperation->PauseFlash(player_.get()); }

void TPavona_Main::actFlashStopExecute() { MainOperation->StopFlash(player_.get(), tmr1, pbFlashProgress); }

void TPavona_Main::tmr1Timer() {
  IFlashPlayer* player = player_.get();
  if (!player) return;
  // The bar's maximum is the movie's frame count; a count of 0 (nothing loaded)
  // is kept as the logical maximum but not shown as a busy bar.
  int max = barMaximum_;
  if (!player->Movie().isEmpty()) max = player->TotalFrames();
  barMaximum_ = max;
  pbFlashProgress->setRange(0, std::max(max, 1));
  const int position = std::clamp(player->FrameNum(), 0, std::max(max, 0));
  pbFlashProgress->setValue(position);
  if (position >= max - 2) actFlashStop->trigger();
}

void TPavona_Main::pbFlashProgressMouseDown(Qt::MouseButton button, int x) {
  IFlashPlayer* player = player_.get();
  if (button != Qt::LeftButton || !player || player->Movie().isEmpty()) return;
  const int frame = static_cast<int>(static_cast<double>(barMaximum_) * x / pbFlashProgress->width());
  player->GotoFrame(frame);
  tmr1->start();
  player->Play();
}

// --- options page -----------------------------------------------------------

void TPavona_Main::LoadOptions() {
  IniConfig->Load();
  const QSignalBlocker b1(cbbFlashDisplayMode), b2(cbbFlashPlayConfine), b3(cbbFlashPlayQuality),
      b4(cbbFlashPlayOrder), b5(clbSaverBackground);
  auto select = [](QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); };
  select(cbbFlashDisplayMode, IniConfig->DisplayMode);
  select(cbbFlashPlayConfine, IniConfig->PlayConfine);
  seFlashWidth->setValue(IniConfig->Width);
  seFlashHeight->setValue(IniConfig->Height);
  select(cbbFlashPlayQuality, IniConfig->PlayQuality);
  select(cbbFlashPlayOrder, IniConfig->PlayOrder);
  select(clbSaverBackground, IniConfig->Background);
  seBlessingRepeatNumber->setValue(IniConfig->BlessingRepeatNumber);
  seBlessingLineDelay->setValue(IniConfig->BlessingLineDelay);
  if (IniConfig->BlessingDisplayAlign == u"top") rbDisplayTop->setChecked(true);
  if (IniConfig->BlessingDisplayAlign == u"bottom") rbDisplayBottom->setChecked(true);
  chkExitMouseMove->setChecked(IniConfig->MouseMove);
  chkExitMouseDown->setChecked(IniConfig->MouseDown);
  chkExitKeyDown->setChecked(IniConfig->KeyDown);
  chkExitKeyEsc->setChecked(IniConfig->KeyEsc);
  chkSaverShowMouse->setChecked(IniConfig->ShowMouse);
  chkSaverPlaySequence->setChecked(IniConfig->SaverPlaySequence);
  chkBlessingEnabled->setChecked(IniConfig->BlessingEnabled);
  // Unlike the original, the size fields follow the loaded playing area at once.
  actFlashPlayConfineExecute();
}

void TPavona_Main::SaveOptions() {
  IniConfig->DisplayMode = cbbFlashDisplayMode->currentIndex();
  IniConfig->PlayConfine = cbbFlashPlayConfine->currentIndex();
  IniConfig->Width = seFlashWidth->Value();
  IniConfig->Height = seFlashHeight->Value();
  IniConfig->PlayQuality = cbbFlashPlayQuality->currentIndex();
  IniConfig->PlayOrder = cbbFlashPlayOrder->currentIndex();
  IniConfig->Background = clbSaverBackground->currentIndex();
  IniConfig->BlessingRepeatNumber = seBlessingRepeatNumber->Value();
  IniConfig->BlessingLineDelay = seBlessingLineDelay->Value();
  IniConfig->BlessingDisplayAlign = rbDisplayBottom->isChecked() ? QStringLiteral("bottom") : QStringLiteral("top");
  IniConfig->MouseMove = chkExitMouseMove->isChecked();
  IniConfig->MouseDown = chkExitMouseDown->isChecked();
  IniConfig->KeyDown = chkExitKeyDown->isChecked();
  IniConfig->KeyEsc = chkExitKeyEsc->isChecked();
  IniConfig->ShowMouse = chkSaverShowMouse->isChecked();
  IniConfig->SaverPlaySequence = chkSaverPlaySequence->isChecked();
  IniConfig->BlessingEnabled = chkBlessingEnabled->isChecked();
  IniConfig->Save();
}

void TPavona_Main::actFlashPlayConfineExecute() {
  seFlashWidth->setEnabled(cbbFlashPlayConfine->currentIndex() == 1);
  seFlashHeight->setEnabled(seFlashWidth->isEnabled());
}

void TPavona_Main::actUndoDefaultSetExecute() {
  const QSignalBlocker b(cbbFlashPlayConfine);
  cbbFlashDisplayMode->setCurrentIndex(0);
  cbbFlashPlayConfine->setCurrentIndex(0);
  seFlashWidth->setValue(800);
  seFlashHeight->setValue(600);
  cbbFlashPlayQuality->setCurrentIndex(0);
  cbbFlashPlayOrder->setCurrentIndex(0);
  clbSaverBackground->setCurrentIndex(0);
  seBlessingRepeatNumber->setValue(0);
  seBlessingLineDelay->setValue(3000);
  chkExitMouseMove->setChecked(true);
  chkExitMouseDown->setChecked(true);
  chkExitKeyDown->setChecked(true);
  chkExitKeyEsc->setChecked(true);
  chkSaverShowMouse->setChecked(false);
  chkSaverPlaySequence->setChecked(true);
  chkBlessingEnabled->setChecked(true);
  rbDisplayTop->setChecked(true);
  actFlashPlayConfineExecute();
}

// --- output folder ----------------------------------------------------------

void TPavona_Main::LoadBuildPath() {
  IniSetting->Load();
  edtBuildPath->setText(IniSetting->BuildPath);
}

void TPavona_Main::SaveBuildPath() {
  IniSetting->BuildPath = edtBuildPath->text();
  IniSetting->Save();
}

// --- blessings --------------------------------------------------------------

void TPavona_Main::LoadBlessing() {
  Blessings->LoadFontStyles();
  lstFontStyle->clear();
  lstFontStyle->addItems(Blessings->StyleNames);
  Blessings->LoadText();
  mmoBlessingModify->setPlainText(JoinTextLines(aftFontStylePreview->Data().Lines));
  aftFontStylePreview->SetLineDelay(IniConfig->BlessingLineDelay);
}

void TPavona_Main::SaveBlessing() {
  aftFontStylePreview->SetLines(SplitTextLines(mmoBlessingModify->toPlainText()));
  Blessings->SaveText();
  Blessings->SaveFontStyles();
}

void TPavona_Main::actBelssingPreviewExecute() {
  MainOperation->BlessingPreview(mmoBlessingModify->toPlainText(), aftFontStylePreview);
}

void TPavona_Main::actFontStyleModifyExecute() {
  if (lstFontStyle->selectedItems().isEmpty()) return;
  pmAAFontModify->popup(QCursor::pos());
}

void TPavona_Main::actModifyEffectExecute() { MainOperation->FontStyleModifyEffect(lstFontStyle); }
void TPavona_Main::actModifyFontExecute() { MainOperation->FontStyleModifyFont(lstFontStyle); }
void TPavona_Main::actFontStyleAddExecute() { MainOperation->FontStyleAdd(lstFontStyle); }
void TPavona_Main::actFontStyleDeleteExecute() { MainOperation->FontStyleDelete(lstFontStyle); }

void TPavona_Main::actFontStylePreviewExecute() {
  MainOperation->FontStylePreview(lstFontStyle, aftFontStylePreview);
}

// --- building and previewing ------------------------------------------------

void TPavona_Main::actSaverBuildExecute() {
  const QString folder = edtBuildPath->text();
  const QString name = edtSaverName->text();
  if (!MainOperation->CheckBuildInput(name, folder)) return;
  SaveOptions();
  SaveBlessing();
  MainOperation->ProgressBar = pbBuildSaver;
  const int action = rbShellInstall->isChecked() ? PostBuildRunPackage
                     : rbOpenDir->isChecked()    ? PostBuildOpenFolder
                                                 : PostBuildNothing;
  struct CloseWhenDone {
    TPavona_Main* window;
    ~CloseWhenDone() {
      if (window->closeAfterBuild_) {
        window->closeAfterBuild_ = false;
        QTimer::singleShot(0, window, &QWidget::close);
      }
    }
  } closeWhenDone{this};
  MainOperation->BuildAndFinish(name, folder, action);
}

void TPavona_Main::actSaverPreviewExecute() {
  if (!MainOperation->CheckSaverInput(edtSaverName->text(), MainOperation->FlashItems())) return;
  SaveOptions();
  SaveBlessing();
  MainOperation->PreviewSaver();
}

// --- commands ---------------------------------------------------------------

void TPavona_Main::actSelectFileExecute() { MainOperation->ShowSelectFile(pgcMain); }
void TPavona_Main::actAddBlessingsExecute() { MainOperation->ShowAddBlessings(pgcMain); }
void TPavona_Main::actOptionsConfigExecute() { MainOperation->ShowOptionsConfig(pgcMain); }
void TPavona_Main::actBuildSaverExecute() { MainOperation->ShowBuildSaver(pgcMain); }
void TPavona_Main::actCloseExecute() { MainOperation->CloseMain(this); }
void TPavona_Main::actIndexExecute() { MainOperation->ShowHelpIndex(); }
void TPavona_Main::actWebPageExecute() { MainOperation->OpenWebPage(); }
void TPavona_Main::actBlogPageExecute() { MainOperation->OpenBlogPage(); }

void TPavona_Main::actFlashAddExecute() {
  MainOperation->AddFlashFiles();
  lblFlashInfo->setText(TMainOperation::FlashListInfo(MainOperation->FlashItems()));
  lblFlashInfo->adjustSize();
}

void TPavona_Main::actFlashDeleteExecute() {
  MainOperation->DeleteFlashFile();
  lblFlashInfo->setText(TMainOperation::FlashListInfo(MainOperation->FlashItems()));
  lblFlashInfo->adjustSize();
}

void TPavona_Main::actFlashMoveUpExecute() { MainOperation->MoveFlashUp(); }
void TPavona_Main::actFlashMoveDownExecute() { MainOperation->MoveFlashDown(); }

void TPavona_Main::actNextStep1Execute() {
  if (MainOperation->CheckSaverInput(edtSaverName->text(), MainOperation->FlashItems())) pgcMain->setCurrentIndex(1);
}

void TPavona_Main::actNextStep2Execute() { pgcMain->setCurrentIndex(2); }
void TPavona_Main::actNextStep3Execute() { pgcMain->setCurrentIndex(3); }
void TPavona_Main::actSelectBulidPathExecute() { MainOperation->SelectBuildFolder(edtBuildPath); }
void TPavona_Main::actOpenBulidPathExecute() { MainOperation->OpenFolder(edtBuildPath->text()); }
