#include "EffectDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "DialogButtons.h"
#include "Dialogs.h"
#include "StyledText.h"

using platform::DialogScript;

// --- colour button ---------------------------------------------------------

TColorButton::TColorButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  connect(this, &QPushButton::clicked, this, [this] { Pick(); });
  ShowValue();
}

void TColorButton::SetValue(TColorValue value) {
  if (value == value_) return;
  value_ = value;
  ShowValue();
  emit ValueChanged(value_);
}

void TColorButton::ShowValue() {
  const QColor color = ToQColor(value_);
  QPixmap swatch(24, 14);
  swatch.fill(color);
  {
    QPainter p(&swatch);
    p.setPen(Qt::black);
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  }
  setIcon(QIcon(swatch));
  setIconSize(swatch.size());
  setToolTip(QStringLiteral("%1, %2, %3").arg(color.red()).arg(color.green()).arg(color.blue()));
}

void TColorButton::Pick() {
  const QColor current = ToQColor(value_);
  QColor chosen;
  if (DialogScript::Active()) {
    DialogScript::Record(
        {DialogScript::Shown::Kind::Input, text(), current.name(), platform::MsgIcon::Information, this});
    const auto answer = DialogScript::Take();
    if (!answer) throw std::logic_error("no scripted answer for the colour dialog");
    if (const auto* name = std::get_if<QString>(&*answer)) {
      chosen = QColor(*name);
      if (!chosen.isValid()) throw std::logic_error(("not a colour: " + *name).toStdString());
    } else {
      const auto* flag = std::get_if<bool>(&*answer);
      const auto* code = std::get_if<int>(&*answer);
      const bool cancel = std::holds_alternative<DialogScript::Cancel>(*answer) || (flag && !*flag) ||
                          (code && *code == platform::IdCancel);
      if (!cancel) throw std::logic_error("unexpected scripted answer for the colour dialog");
    }
  } else {
    chosen = QColorDialog::getColor(current, this, QStringLiteral("颜色"));
  }
  // Picking the colour already shown keeps the value, a system colour included.
  if (chosen.isValid() && chosen.rgb() != current.rgb()) {
    SetValue(RgbColor(chosen.red(), chosen.green(), chosen.blue()));
  }
}

// --- scripted answers ------------------------------------------------------

std::optional<TScriptedStyleAnswer> TakeScriptedStyleAnswer(QWidget* owner, const QString& title,
                                                            const QString& styleName) {
  if (!DialogScript::Active()) return std::nullopt;
  DialogScript::Record(
      {DialogScript::Shown::Kind::Input, title, styleName, platform::MsgIcon::Information, owner});
  const auto answer = DialogScript::Take();
  if (!answer) throw std::logic_error(("no scripted answer for dialog: " + title).toStdString());
  TScriptedStyleAnswer result;
  if (const auto* flag = std::get_if<bool>(&*answer)) {
    result.Accepted = *flag;
  } else if (const auto* code = std::get_if<int>(&*answer)) {
    if (*code != platform::IdOk && *code != platform::IdCancel) {
      throw std::logic_error("unexpected scripted button for dialog: " + title.toStdString());
    }
    result.Accepted = *code == platform::IdOk;
  } else if (std::holds_alternative<DialogScript::Cancel>(*answer)) {
    result.Accepted = false;
  } else if (const auto* one = std::get_if<QString>(&*answer)) {
    result.Accepted = true;
    result.Changes = {*one};
  } else {
    result.Accepted = true;
    result.Changes = std::get<QStringList>(*answer);
  }
  return result;
}

std::pair<QString, qint64> ParseScriptedChange(const QString& change) {
  const qsizetype eq = change.indexOf(u'=');
  if (eq <= 0) throw std::logic_error(("not a Key=Value change: " + change).toStdString());
  const QString key = change.left(eq).trimmed();
  QString value = change.mid(eq + 1).trimmed();
  bool negative = value.startsWith(u'-');
  if (negative) value.remove(0, 1);
  bool ok = false;
  qint64 number = value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                      ? value.mid(2).toLongLong(&ok, 16)
                      : value.toLongLong(&ok, 10);
  if (!ok) throw std::logic_error(("not a number in change: " + change).toStdString());
  return {key, negative ? -number : number};
}

namespace {

// Each effect key with how its value goes in: in the width of its field, as a
// load from FontStyle.ini keeps it.
using TEffectSetter = void (*)(TAAEffect&, qint64);
const std::pair<const char*, TEffectSetter> kEffectKeys[] = {
    {"Alpha", [](TAAEffect& e, qint64 v) { e.Alpha = static_cast<quint8>(v); }},
    {"Blur", [](TAAEffect& e, qint64 v) { e.Blur = static_cast<quint8>(v); }},
    {"Noise", [](TAAEffect& e, qint64 v) { e.Noise = static_cast<quint8>(v); }},
    {"Spray", [](TAAEffect& e, qint64 v) { e.Spray = static_cast<quint8>(v); }},
    {"Angle", [](TAAEffect& e, qint64 v) { e.Angle = static_cast<qint16>(v); }},
    {"Outline", [](TAAEffect& e, qint64 v) { e.Outline = v != 0; }},
    {"HorzMirror", [](TAAEffect& e, qint64 v) { e.HorzMirror = v != 0; }},
    {"VertMirror", [](TAAEffect& e, qint64 v) { e.VertMirror = v != 0; }},
    {"Shadow", [](TAAEffect& e, qint64 v) { e.Shadow = v != 0; }},
    {"ShadowAlpha", [](TAAEffect& e, qint64 v) { e.ShadowAlpha = static_cast<quint8>(v); }},
    {"ShadowBlur", [](TAAEffect& e, qint64 v) { e.ShadowBlur = static_cast<quint8>(v); }},
    {"ShadowColor", [](TAAEffect& e, qint64 v) { e.ShadowColor = static_cast<TColorValue>(v); }},
    {"ShadowOffsetX", [](TAAEffect& e, qint64 v) { e.ShadowOffsetX = static_cast<qint8>(v); }},
    {"ShadowOffsetY", [](TAAEffect& e, qint64 v) { e.ShadowOffsetY = static_cast<qint8>(v); }},
    {"Gradual", [](TAAEffect& e, qint64 v) { e.Gradual = v != 0; }},
    {"GradualStartColor", [](TAAEffect& e, qint64 v) { e.GradualStartColor = static_cast<TColorValue>(v); }},
    {"GradualEndColor", [](TAAEffect& e, qint64 v) { e.GradualEndColor = static_cast<TColorValue>(v); }},
    {"GradualStyle", [](TAAEffect& e, qint64 v) { e.GradualStyle = static_cast<TGradualStyle>(quint8(v)); }},
    {"Texture", [](TAAEffect& e, qint64 v) { e.Texture = v != 0; }},
    {"TextureMode", [](TAAEffect& e, qint64 v) { e.TextureMode = static_cast<TTextureMode>(quint8(v)); }},
};

}  // namespace

TAAEffect ApplyEffectChanges(TAAEffect e, const QStringList& changes) {
  for (const QString& change : changes) {
    const auto [key, value] = ParseScriptedChange(change);
    const auto known =
        std::find_if(std::begin(kEffectKeys), std::end(kEffectKeys), [&key](const auto& entry) {
          return key.compare(QLatin1String(entry.first), Qt::CaseInsensitive) == 0;
        });
    if (known == std::end(kEffectKeys)) throw std::logic_error(("not an effect key: " + key).toStdString());
    known->second(e, value);
  }
  return e;
}

// --- effect dialog ---------------------------------------------------------

namespace {

QSpinBox* NumberRow(QGridLayout* grid, int row, const QString& label, int min, int max, const char* name,
                    bool withSlider) {
  auto* spin = new QSpinBox;
  spin->setObjectName(QLatin1String(name));
  spin->setRange(min, max);
  auto* caption = new QLabel(label);
  caption->setBuddy(spin);
  grid->addWidget(caption, row, 0);
  if (withSlider) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QLatin1String(name) + QLatin1String("Slider"));
    slider->setRange(min, max);
    QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    QObject::connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
    grid->addWidget(slider, row, 1);
  }
  grid->addWidget(spin, row, 2);
  return spin;
}

QCheckBox* Check(const QString& text, const char* name) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  return box;
}

QGroupBox* CheckGroup(const QString& title, const char* name) {
  auto* group = new QGroupBox(title);
  group->setObjectName(QLatin1String(name));
  group->setCheckable(true);
  return group;
}

TColorButton* ColorRow(QGridLayout* grid, int row, const QString& label, const char* name) {
  auto* button = new TColorButton(QStringLiteral("选择..."));
  button->setObjectName(QLatin1String(name));
  grid->addWidget(new QLabel(label), row, 0);
  grid->addWidget(button, row, 1, 1, 2, Qt::AlignLeft);
  return button;
}

QComboBox* ComboRow(QGridLayout* grid, int row, const QString& label, const QStringList& items,
                    const char* name) {
  auto* combo = new QComboBox;
  combo->setObjectName(QLatin1String(name));
  combo->addItems(items);
  auto* caption = new QLabel(label);
  caption->setBuddy(combo);
  grid->addWidget(caption, row, 0);
  grid->addWidget(combo, row, 1, 1, 2);
  return combo;
}

}  // namespace

TEffectDialog::TEffectDialog(const QString& styleName, const TFontStyle& style, QWidget* parent)
    : QDialog(parent), style_(style), sample_(QStringLiteral("字体样式预览") + styleName) {
  setObjectName(QStringLiteral("frmEffect"));
  setWindowTitle(QStringLiteral("修改特效 - ") + styleName);

  auto* text = new QGroupBox(QStringLiteral("文字"));
  auto* textGrid = new QGridLayout(text);
  seAlpha = NumberRow(textGrid, 0, QStringLiteral("不透明度(%)："), 0, 100, "seAlpha", true);
  seBlur = NumberRow(textGrid, 1, QStringLiteral("模糊："), 0, 100, "seBlur", true);
  seNoise = NumberRow(textGrid, 2, QStringLiteral("噪点："), 0, 255, "seNoise", true);
  seSpray = NumberRow(textGrid, 3, QStringLiteral("喷溅："), 0, 100, "seSpray", true);
  seAngle = NumberRow(textGrid, 4, QStringLiteral("旋转角度："), -360, 360, "seAngle", true);
  auto* checks = new QHBoxLayout;
  checks->addWidget(chkOutline = Check(QStringLiteral("轮廓(&O)"), "chkOutline"));
  checks->addWidget(chkHorzMirror = Check(QStringLiteral("水平镜像(&H)"), "chkHorzMirror"));
  checks->addWidget(chkVertMirror = Check(QStringLiteral("垂直镜像(&V)"), "chkVertMirror"));
  checks->addStretch();
  textGrid->addLayout(checks, 5, 0, 1, 3);

  grpShadow = CheckGroup(QStringLiteral("阴影(&S)"), "grpShadow");
  auto* shadowGrid = new QGridLayout(grpShadow);
  seShadowAlpha = NumberRow(shadowGrid, 0, QStringLiteral("不透明度(%)："), 0, 100, "seShadowAlpha", true);
  seShadowBlur = NumberRow(shadowGrid, 1, QStringLiteral("模糊："), 0, 100, "seShadowBlur", true);
  btnShadowColor = ColorRow(shadowGrid, 2, QStringLiteral("颜色："), "btnShadowColor");
  seShadowOffsetX = NumberRow(shadowGrid, 3, QStringLiteral("水平偏移："), -20, 20, "seShadowOffsetX", false);
  seShadowOffsetY = NumberRow(shadowGrid, 4, QStringLiteral("垂直偏移："), -20, 20, "seShadowOffsetY", false);

  grpGradual = CheckGroup(QStringLiteral("渐变(&G)"), "grpGradual");
  auto* gradualGrid = new QGridLayout(grpGradual);
  btnGradualStartColor = ColorRow(gradualGrid, 0, QStringLiteral("起始颜色："), "btnGradualStartColor");
  btnGradualEndColor = ColorRow(gradualGrid, 1, QStringLiteral("结束颜色："), "btnGradualEndColor");
  cbbGradualStyle =
      ComboRow(gradualGrid, 2, QStringLiteral("方向："),
               {QStringLiteral("从左到右"), QStringLiteral("从右到左"), QStringLiteral("从上到下"),
                QStringLiteral("从下到上"), QStringLiteral("从中间到左右"), QStringLiteral("从中间到上下")},
               "cbbGradualStyle");

  grpTexture = CheckGroup(QStringLiteral("纹理(&T)"), "grpTexture");
  auto* textureGrid = new QGridLayout(grpTexture);
  cbbTextureMode = ComboRow(
      textureGrid, 0, QStringLiteral("方式："),
      {QStringLiteral("平铺"), QStringLiteral("拉伸"), QStringLiteral("居中"), QStringLiteral("原样")},
      "cbbTextureMode");

  lblPreview = new QLabel;
  lblPreview->setObjectName(QStringLiteral("lblPreview"));
  lblPreview->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblPreview->setFixedSize(420, 72);
  lblPreview->setAlignment(Qt::AlignCenter);

  QDialogButtonBox* buttons = OkCancelButtons(this, btnOk, btnCancel);

  auto* columns = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(text);
  left->addWidget(grpTexture);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(grpShadow);
  right->addWidget(grpGradual);
  right->addStretch();
  columns->addLayout(left);
  columns->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(lblPreview, 0, Qt::AlignHCenter);
  layout->addWidget(buttons);

  SetEffect(style.Effect);

  const auto changed = [this] { UpdatePreview(); };
  for (QSpinBox* spin : {seAlpha, seBlur, seNoise, seSpray, seAngle, seShadowAlpha, seShadowBlur,
                         seShadowOffsetX, seShadowOffsetY}) {
    connect(spin, &QSpinBox::valueChanged, this, changed);
  }
  for (QCheckBox* box : {chkOutline, chkHorzMirror, chkVertMirror})
    connect(box, &QCheckBox::toggled, this, changed);
  for (QGroupBox* group : {grpShadow, grpGradual, grpTexture})
    connect(group, &QGroupBox::toggled, this, changed);
  for (TColorButton* button : {btnShadowColor, btnGradualStartColor, btnGradualEndColor}) {
    connect(button, &TColorButton::ValueChanged, this, changed);
  }
  for (QComboBox* combo : {cbbGradualStyle, cbbTextureMode}) {
    connect(combo, &QComboBox::currentIndexChanged, this, changed);
  }
}

TAAEffect TEffectDialog::Effect() const {
  TAAEffect e;
  e.Alpha = static_cast<quint8>(seAlpha->value());
  e.Blur = static_cast<quint8>(seBlur->value());
  e.Noise = static_cast<quint8>(seNoise->value());
  e.Spray = static_cast<quint8>(seSpray->value());
  e.Angle = static_cast<qint16>(seAngle->value());
  e.Outline = chkOutline->isChecked();
  e.HorzMirror = chkHorzMirror->isChecked();
  e.VertMirror = chkVertMirror->isChecked();
  e.Shadow = grpShadow->isChecked();
  e.ShadowAlpha = static_cast<quint8>(seShadowAlpha->value());
  e.ShadowBlur = static_cast<quint8>(seShadowBlur->value());
  e.ShadowColor = btnShadowColor->Value();
  e.ShadowOffsetX = static_cast<qint8>(seShadowOffsetX->value());
  e.ShadowOffsetY = static_cast<qint8>(seShadowOffsetY->value());
  e.Gradual = grpGradual->isChecked();
  e.GradualStartColor = btnGradualStartColor->Value();
  e.GradualEndColor = btnGradualEndColor->Value();
  e.GradualStyle = static_cast<TGradualStyle>(cbbGradualStyle->currentIndex());
  e.Texture = grpTexture->isChecked();
  e.TextureMode = static_cast<TTextureMode>(cbbTextureMode->currentIndex());
  return e;
}

void TEffectDialog::SetEffect(const TAAEffect& effect) {
  const TAAEffect e = ClampEffect(effect);
  loading_ = true;
  seAlpha->setValue(e.Alpha);
  seBlur->setValue(e.Blur);
  seNoise->setValue(e.Noise);
  seSpray->setValue(e.Spray);
  seAngle->setValue(e.Angle);
  chkOutline->setChecked(e.Outline);
  chkHorzMirror->setChecked(e.HorzMirror);
  chkVertMirror->setChecked(e.VertMirror);
  grpShadow->setChecked(e.Shadow);
  seShadowAlpha->setValue(e.ShadowAlpha);
  seShadowBlur->setValue(e.ShadowBlur);
  btnShadowColor->SetValue(e.ShadowColor);
  seShadowOffsetX->setValue(e.ShadowOffsetX);
  seShadowOffsetY->setValue(e.ShadowOffsetY);
  grpGradual->setChecked(e.Gradual);
  btnGradualStartColor->SetValue(e.GradualStartColor);
  btnGradualEndColor->SetValue(e.GradualEndColor);
  cbbGradualStyle->setCurrentIndex(static_cast<int>(e.GradualStyle));
  grpTexture->setChecked(e.Texture);
  cbbTextureMode->setCurrentIndex(static_cast<int>(e.TextureMode));
  loading_ = false;
  UpdatePreview();
}

void TEffectDialog::UpdatePreview() {
  if (loading_) return;
  TFontStyle shown = style_;
  shown.Effect = Effect();
  preview_ =
      RenderStyledLine(lblPreview->contentsRect().size(), Qt::white, shown, sample_, TLineAlign::Center);
  lblPreview->setPixmap(QPixmap::fromImage(preview_));
}

std::optional<TAAEffect> ExecEffectDialog(QWidget* owner, const QString& styleName, const TFontStyle& style) {
  TEffectDialog dialog(styleName, style, owner);
  if (const auto scripted = TakeScriptedStyleAnswer(owner, dialog.windowTitle(), styleName)) {
    if (!scripted->Accepted) return std::nullopt;
    dialog.SetEffect(ApplyEffectChanges(dialog.Effect(), scripted->Changes));
    return dialog.Effect();
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Effect();
}
