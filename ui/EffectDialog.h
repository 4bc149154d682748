#pragma once

#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <optional>

#include "FontStyle.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;

// A button that shows a colour and lets the user pick another with the colour
// dialog. It keeps the stored colour value, so a system colour stays one until
// the user picks a colour that looks different.
//
// Under a running platform::DialogScript the colour dialog takes the next
// answer instead: a QString colour ("#008080", or any name QColor reads) picks
// it; Cancel, false or IdCancel picks nothing.
class TColorButton : public QPushButton {
  Q_OBJECT
 public:
  explicit TColorButton(const QString& text, QWidget* parent = nullptr);

  TColorValue Value() const { return value_; }
  void SetValue(TColorValue value);
  // Opens the colour dialog (or takes the scripted answer).
  void Pick();

 signals:
  void ValueChanged(TColorValue value);

 private:
  void ShowValue();
  TColorValue value_ = 0;
};

// What a running platform::DialogScript answers for one of the style dialogs
// (the call is recorded first as an Input entry with the dialog's title as the
// caption and the style name as the text):
// - true or IdOk: OK with the values the dialog opened with;
// - Cancel, false or IdCancel: cancelled;
// - a QString "Key=Value", or a QStringList of them: those values changed, then
//   OK. Keys are the FontStyle.ini keys of the dialog's half of the style
//   (FontName, Charset, Color, Height, FontSize, FontStyle; or the twenty
//   effect keys); values are decimal or "0x" hexadecimal.
struct TScriptedStyleAnswer {
  bool Accepted = false;
  QStringList Changes;
};
// Nothing when no script runs. Throws std::logic_error for an answer of
// another kind, and in a strict script without a queued answer.
std::optional<TScriptedStyleAnswer> TakeScriptedStyleAnswer(QWidget* owner, const QString& title,
                                                            const QString& styleName);
// A "Key=Value" item split; throws std::logic_error when it has no "=" or the
// value is no number.
std::pair<QString, qint64> ParseScriptedChange(const QString& change);

// The effect dialog: all twenty values of a style's effect, with a live
// preview of the style's sample line.
class TEffectDialog : public QDialog {
  Q_OBJECT
 public:
  // The controls start with the style's effect held to its ranges.
  TEffectDialog(const QString& styleName, const TFontStyle& style, QWidget* parent = nullptr);

  TAAEffect Effect() const;
  void SetEffect(const TAAEffect& effect);
  // The picture the preview shows now.
  QImage PreviewImage() const { return preview_; }

  QSpinBox* seAlpha;
  QSpinBox* seBlur;
  QSpinBox* seNoise;
  QSpinBox* seSpray;
  QSpinBox* seAngle;
  QCheckBox* chkOutline;
  QCheckBox* chkHorzMirror;
  QCheckBox* chkVertMirror;
  QGroupBox* grpShadow;
  QSpinBox* seShadowAlpha;
  QSpinBox* seShadowBlur;
  TColorButton* btnShadowColor;
  QSpinBox* seShadowOffsetX;
  QSpinBox* seShadowOffsetY;
  QGroupBox* grpGradual;
  TColorButton* btnGradualStartColor;
  TColorButton* btnGradualEndColor;
  QComboBox* cbbGradualStyle;
  QGroupBox* grpTexture;
  QComboBox* cbbTextureMode;
  QLabel* lblPreview;
  QPushButton* btnOk;
  QPushButton* btnCancel;

 private:
  void UpdatePreview();

  TFontStyle style_;
  QString sample_;
  QImage preview_;
  bool loading_ = false;
};

// The style's effect after the user's OK, or nothing when they cancel. Honours
// platform::DialogScript as TScriptedStyleAnswer describes.
std::optional<TAAEffect> ExecEffectDialog(QWidget* owner, const QString& styleName, const TFontStyle& style);

// The effect with the "Key=Value" changes of a scripted answer made; throws
// std::logic_error for a key that is no effect key.
TAAEffect ApplyEffectChanges(TAAEffect effect, const QStringList& changes);
