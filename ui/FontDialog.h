#pragma once

#include <QDialog>
#include <QImage>
#include <optional>

#include "FontStyle.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TColorButton;

// The font half of a style: face, character set, size, bold and italic,
// underline and strike-out, and colour, with a sample drawn as the style draws.
//
// Faces are kept by name, so a Windows face that this machine lacks ("Tahoma",
// "隶书") survives unless the user picks another; the note under the face says
// which face the sample uses instead. The height is kept as it was unless the
// size changes, and a system colour stays one unless the user picks a colour
// that looks different.
class TFontDialog : public QDialog {
  Q_OBJECT
 public:
  TFontDialog(const QString& styleName, const TFontSpec& current, int pixelsPerInch,
              QWidget* parent = nullptr);

  TFontSpec Font() const;
  QImage SampleImage() const { return sample_; }

  QFontComboBox* cbbFontName;
  QSpinBox* seFontSize;
  QCheckBox* chkBold;
  QCheckBox* chkItalic;
  QCheckBox* chkUnderline;
  QCheckBox* chkStrikeOut;
  TColorButton* btnColor;
  QComboBox* cbbCharset;
  QLabel* lblFaceNote;
  QLabel* lblSample;
  QPushButton* btnOk;
  QPushButton* btnCancel;

 private:
  void UpdateSample();

  TFontSpec initial_;
  int pixelsPerInch_;
  int initialSize_;
  QImage sample_;
};

// The font after the user's OK, or nothing when they cancel. The size is
// converted with the owner's screen resolution. Honours platform::DialogScript
// as TScriptedStyleAnswer (EffectDialog.h) describes.
std::optional<TFontSpec> ExecFontDialog(QWidget* owner, const QString& styleName, const TFontSpec& current);

// The font with the "Key=Value" changes of a scripted answer made (FontSize at
// the given resolution); throws std::logic_error for a key that is no font key.
TFontSpec ApplyFontChanges(TFontSpec font, const QStringList& changes, int pixelsPerInch);
