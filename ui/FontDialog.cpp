#include "FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstdlib>
#include <stdexcept>

#include "DialogButtons.h"
#include "EffectDialog.h"
#include "StyledText.h"

namespace {

struct Charset {
  int value;
  const char16_t* name;
};

// The scripts Windows offers in its font dialog, by character set.
constexpr Charset kCharsets[] = {
    {0, u"西欧语言"},   {1, u"默认"},       {2, u"符号"},   {134, u"中文 GB2312"},
    {136, u"繁体中文"}, {128, u"日语"},     {129, u"韩语"}, {161, u"希腊语"},
    {162, u"土耳其语"}, {204, u"西里尔语"}, {238, u"中欧"}, {255, u"OEM/DOS"},
};

int SanePixelsPerInch(int pixelsPerInch) {
  return pixelsPerInch > 0 ? pixelsPerInch : 96;
}

}  // namespace

TFontDialog::TFontDialog(const QString& styleName, const TFontSpec& current, int pixelsPerInch,
                         QWidget* parent)
    : QDialog(parent), initial_(current), pixelsPerInch_(SanePixelsPerInch(pixelsPerInch)) {
  setObjectName(QStringLiteral("frmFont"));
  setWindowTitle(QStringLiteral("修改字体 - ") + styleName);
  // A height of 0 draws at the default size, 12 points.
  initialSize_ = current.Height == 0 ? 12 : std::max(1, std::abs(current.Size(pixelsPerInch_)));

  cbbFontName = new QFontComboBox;
  cbbFontName->setObjectName(QStringLiteral("cbbFontName"));
  cbbFontName->setEditable(true);
  cbbFontName->setEditText(current.Name);
  seFontSize = new QSpinBox;
  seFontSize->setObjectName(QStringLiteral("seFontSize"));
  seFontSize->setRange(1, 999);
  seFontSize->setValue(std::min(initialSize_, 999));
  initialSize_ = seFontSize->value();

  chkBold = new QCheckBox(QStringLiteral("粗体(&B)"));
  chkBold->setObjectName(QStringLiteral("chkBold"));
  chkBold->setChecked(current.Style & fsBold);
  chkItalic = new QCheckBox(QStringLiteral("斜体(&I)"));
  chkItalic->setObjectName(QStringLiteral("chkItalic"));
  chkItalic->setChecked(current.Style & fsItalic);
  chkUnderline = new QCheckBox(QStringLiteral("下划线(&U)"));
  chkUnderline->setObjectName(QStringLiteral("chkUnderline"));
  chkUnderline->setChecked(current.Style & fsUnderline);
  chkStrikeOut = new QCheckBox(QStringLiteral("删除线(&K)"));
  chkStrikeOut->setObjectName(QStringLiteral("chkStrikeOut"));
  chkStrikeOut->setChecked(current.Style & fsStrikeOut);

  btnColor = new TColorButton(QStringLiteral("颜色(&C)..."));
  btnColor->setObjectName(QStringLiteral("btnColor"));
  btnColor->SetValue(current.Color);

  cbbCharset = new QComboBox;
  cbbCharset->setObjectName(QStringLiteral("cbbCharset"));
  for (const Charset& c : kCharsets) cbbCharset->addItem(QString::fromUtf16(c.name), c.value);
  if (cbbCharset->findData(int(current.Charset)) < 0) {
    cbbCharset->addItem(QStringLiteral("字符集 %1").arg(current.Charset), int(current.Charset));
  }
  cbbCharset->setCurrentIndex(cbbCharset->findData(int(current.Charset)));

  lblFaceNote = new QLabel;
  lblFaceNote->setObjectName(QStringLiteral("lblFaceNote"));
  lblSample = new QLabel;
  lblSample->setObjectName(QStringLiteral("lblSample"));
  lblSample->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblSample->setFixedSize(360, 64);

  auto* grid = new QGridLayout;
  const auto row = [grid](int r, const QString& label, QWidget* field) {
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    grid->addWidget(caption, r, 0);
    grid->addWidget(field, r, 1);
  };
  row(0, QStringLiteral("字体(&F)："), cbbFontName);
  grid->addWidget(lblFaceNote, 1, 1);
  row(2, QStringLiteral("大小(&S)："), seFontSize);
  row(3, QStringLiteral("字符集(&R)："), cbbCharset);
  auto* styles = new QHBoxLayout;
  for (QCheckBox* box : {chkBold, chkItalic, chkUnderline, chkStrikeOut}) styles->addWidget(box);
  styles->addStretch();
  grid->addLayout(styles, 4, 0, 1, 2);
  grid->addWidget(btnColor, 5, 0, 1, 2, Qt::AlignLeft);

  QDialogButtonBox* buttons = OkCancelButtons(this, btnOk, btnCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(lblSample, 0, Qt::AlignHCenter);
  layout->addWidget(buttons);

  const auto changed = [this] { UpdateSample(); };
  connect(cbbFontName, &QComboBox::editTextChanged, this, changed);
  connect(seFontSize, &QSpinBox::valueChanged, this, changed);
  for (QCheckBox* box : {chkBold, chkItalic, chkUnderline, chkStrikeOut})
    connect(box, &QCheckBox::toggled, this, changed);
  connect(btnColor, &TColorButton::ValueChanged, this, changed);
  UpdateSample();
}

TFontSpec TFontDialog::Font() const {
  TFontSpec font = initial_;
  const QString face = cbbFontName->currentText().trimmed();
  if (!face.isEmpty()) font.Name = face;
  font.Charset = static_cast<quint8>(cbbCharset->currentData().toInt());
  font.Color = btnColor->Value();
  // Sizes are whole points: converting back an untouched size could move the
  // height by a pixel.
  if (seFontSize->value() != initialSize_) font.SetSize(seFontSize->value(), pixelsPerInch_);
  font.Style = (chkBold->isChecked() ? fsBold : 0) | (chkItalic->isChecked() ? fsItalic : 0) |
               (chkUnderline->isChecked() ? fsUnderline : 0) | (chkStrikeOut->isChecked() ? fsStrikeOut : 0);
  return font;
}

void TFontDialog::UpdateSample() {
  TFontStyle style;
  style.Font = Font();
  const QString face = style.Font.Name.trimmed();
  if (QFontDatabase::hasFamily(face)) {
    lblFaceNote->clear();
  } else {
    lblFaceNote->setText(
        QStringLiteral("本机没有此字体，示例使用“%1”。").arg(QFontInfo(StyleFont(style.Font)).family()));
  }
  sample_ = RenderStyledLine(lblSample->contentsRect().size(), Qt::white, style,
                             QStringLiteral("AaBbYyZz 新年快乐"), TLineAlign::Center);
  lblSample->setPixmap(QPixmap::fromImage(sample_));
}

TFontSpec ApplyFontChanges(TFontSpec font, const QStringList& changes, int pixelsPerInch) {
  for (const QString& change : changes) {
    const qsizetype eq = change.indexOf(u'=');
    const QString key = change.left(eq).trimmed();
    const auto is = [&key](const char* name) {
      return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (eq > 0 && is("FontName")) {
      font.Name = change.mid(eq + 1);
      continue;
    }
    const qint64 v = ParseScriptedChange(change).second;
    if (is("Charset")) {
      font.Charset = static_cast<quint8>(v);
    } else if (is("Color")) {
      font.Color = static_cast<TColorValue>(v);
    } else if (is("Height")) {
      font.Height = static_cast<int>(v);
    } else if (is("FontSize")) {
      font.SetSize(static_cast<int>(v), pixelsPerInch);
    } else if (is("FontStyle")) {
      font.Style = static_cast<quint8>(v & (fsBold | fsItalic | fsUnderline | fsStrikeOut));
    } else {
      throw std::logic_error(("not a font key: " + key).toStdString());
    }
  }
  return font;
}

std::optional<TFontSpec> ExecFontDialog(QWidget* owner, const QString& styleName, const TFontSpec& current) {
  int pixelsPerInch = 96;
  if (owner) {
    pixelsPerInch = owner->logicalDpiY();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    pixelsPerInch = qRound(screen->logicalDotsPerInchY());
  }
  TFontDialog dialog(styleName, current, pixelsPerInch, owner);
  if (const auto scripted = TakeScriptedStyleAnswer(owner, dialog.windowTitle(), styleName)) {
    if (!scripted->Accepted) return std::nullopt;
    return ApplyFontChanges(dialog.Font(), scripted->Changes, SanePixelsPerInch(pixelsPerInch));
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Font();
}
