// The style dialogs: the effect dialog, the font dialog and their colour
// buttons, driven through their controls, modally and through the script.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "Dialogs.h"
#include "EffectDialog.h"
#include "FontDialog.h"
#include "StyledText.h"
#include "TestUtil.h"

using platform::DialogScript;

namespace {

class StyleDialogs : public ::testing::Test {
 protected:
  StyleDialogs() { DialogScript::Reset(); }
  ~StyleDialogs() override { DialogScript::Reset(); }
};

const TFontStyle& DefaultStyle(const char* name) {
  static const TFontStyles styles = DefaultFontStyles();
  return *styles.Find(QLatin1String(name));
}

// Runs act on the dialog of type D once its modal loop has started.
template <typename D>
void WhenShown(std::function<void(D*)> act) {
  QTimer::singleShot(0, [act] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<D*>(top); dialog && dialog->isVisible()) return act(dialog);
    }
    throw std::logic_error("the dialog is not shown");
  });
}

int CountNear(const QImage& image, const QColor& colour, int tolerance) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor p = image.pixelColor(x, y);
      n += std::abs(p.red() - colour.red()) <= tolerance &&
           std::abs(p.green() - colour.green()) <= tolerance &&
           std::abs(p.blue() - colour.blue()) <= tolerance;
    }
  }
  return n;
}

// --- colour button ---------------------------------------------------------

TEST_F(StyleDialogs, ColourButtonKeepsASystemColourUntilAnotherIsPicked) {
  const QColor system = ToQColor(SystemColor(8));
  const struct {
    DialogScript::Answer answer;
    TColorValue result;
  } cases[] = {
      {DialogScript::Cancel{}, SystemColor(8)},
      {false, SystemColor(8)},
      {platform::IdCancel, SystemColor(8)},
      {system.name(), SystemColor(8)},
      {QString("#102030"), RgbColor(0x10, 0x20, 0x30)},
      {QString("red"), RgbColor(255, 0, 0)},
  };
  for (const auto& c : cases) {
    TColorButton button("colour");
    button.SetValue(SystemColor(8));
    int changes = 0;
    QObject::connect(&button, &TColorButton::ValueChanged, [&changes] { ++changes; });
    DialogScript::Push(c.answer);
    button.click();
    EXPECT_EQ(button.Value(), c.result);
    EXPECT_EQ(changes, c.result == SystemColor(8) ? 0 : 1);
  }
  EXPECT_EQ(DialogScript::History().back().caption, QString("colour"));
}

TEST_F(StyleDialogs, ColourButtonRefusesAnswersThatAreNoColour) {
  TColorButton button("colour");
  DialogScript::Push(QString("no such colour"));
  EXPECT_THROW(button.Pick(), std::logic_error);
  DialogScript::Push(QStringList{"#000000"});
  EXPECT_THROW(button.Pick(), std::logic_error);
  DialogScript::SetStrict(true);
  EXPECT_THROW(button.Pick(), std::logic_error);
}

// --- effect dialog ---------------------------------------------------------

TEST_F(StyleDialogs, EffectDialogStartsWithTheStyleEffect) {
  for (const TFontStyle& style : DefaultFontStyles()) {
    TEffectDialog dialog(style.Name, style);
    EXPECT_EQ(dialog.Effect(), style.Effect) << style.Name.toStdString();
    EXPECT_TRUE(dialog.windowTitle().contains(style.Name));
  }
}

TEST_F(StyleDialogs, EffectDialogHoldsValuesToTheirRanges) {
  TFontStyle style = DefaultStyle("Title1");
  style.Effect.Alpha = 200;
  style.Effect.Angle = -500;
  style.Effect.ShadowOffsetX = 90;
  style.Effect.GradualStyle = static_cast<TGradualStyle>(7);
  TEffectDialog dialog("Title1", style);
  EXPECT_EQ(dialog.Effect(), ClampEffect(style.Effect));

  const struct {
    QSpinBox* spin;
    int min, max;
  } ranges[] = {
      {dialog.seAlpha, 0, 100},      {dialog.seBlur, 0, 100},           {dialog.seNoise, 0, 255},
      {dialog.seSpray, 0, 100},      {dialog.seAngle, -360, 360},       {dialog.seShadowAlpha, 0, 100},
      {dialog.seShadowBlur, 0, 100}, {dialog.seShadowOffsetX, -20, 20}, {dialog.seShadowOffsetY, -20, 20},
  };
  for (const auto& r : ranges) {
    EXPECT_EQ(r.spin->minimum(), r.min) << r.spin->objectName().toStdString();
    EXPECT_EQ(r.spin->maximum(), r.max) << r.spin->objectName().toStdString();
  }
  EXPECT_EQ(dialog.cbbGradualStyle->count(), 6);
  EXPECT_EQ(dialog.cbbTextureMode->count(), 4);
}

TEST_F(StyleDialogs, EffectDialogControlsSetEveryValue) {
  TEffectDialog dialog("Text1", DefaultStyle("Text1"));
  dialog.seAlpha->setValue(40);
  dialog.findChild<QSlider*>("seBlurSlider")->setValue(20);
  dialog.seNoise->setValue(200);
  dialog.seSpray->setValue(10);
  dialog.seAngle->setValue(-45);
  dialog.chkOutline->setChecked(true);
  dialog.chkHorzMirror->setChecked(true);
  dialog.chkVertMirror->setChecked(true);
  dialog.grpShadow->setChecked(true);
  dialog.seShadowAlpha->setValue(55);
  dialog.seShadowBlur->setValue(5);
  DialogScript::Push(QString("#102030"));
  dialog.btnShadowColor->click();
  dialog.seShadowOffsetX->setValue(-3);
  dialog.seShadowOffsetY->setValue(7);
  dialog.grpGradual->setChecked(true);
  DialogScript::Push(QString("#ff0000"));
  dialog.btnGradualStartColor->click();
  DialogScript::Push(QString("#00ff00"));
  dialog.btnGradualEndColor->click();
  dialog.cbbGradualStyle->setCurrentIndex(4);
  dialog.grpTexture->setChecked(true);
  dialog.cbbTextureMode->setCurrentIndex(2);

  TAAEffect expected;
  expected.Alpha = 40;
  expected.Blur = 20;
  expected.Noise = 200;
  expected.Spray = 10;
  expected.Angle = -45;
  expected.Outline = expected.HorzMirror = expected.VertMirror = true;
  expected.Shadow = true;
  expected.ShadowAlpha = 55;
  expected.ShadowBlur = 5;
  expected.ShadowColor = RgbColor(0x10, 0x20, 0x30);
  expected.ShadowOffsetX = -3;
  expected.ShadowOffsetY = 7;
  expected.Gradual = true;
  expected.GradualStartColor = RgbColor(255, 0, 0);
  expected.GradualEndColor = RgbColor(0, 255, 0);
  expected.GradualStyle = TGradualStyle::gsCenterToLR;
  expected.Texture = true;
  expected.TextureMode = TTextureMode::tmCenter;
  EXPECT_EQ(dialog.Effect(), expected);

  // SetEffect puts every value back into the controls.
  TEffectDialog other("Text1", DefaultStyle("Text1"));
  other.SetEffect(expected);
  EXPECT_EQ(other.Effect(), expected);
  EXPECT_EQ(other.findChild<QSlider*>("seAlphaSlider")->value(), 40);
}

TEST_F(StyleDialogs, EffectPreviewFollowsTheControls) {
  TFontStyle style = DefaultStyle("Title1");
  style.Font.Color = RgbColor(0, 0, 0);
  TEffectDialog dialog("Title1", style);
  const QImage before = dialog.PreviewImage();
  ASSERT_FALSE(before.isNull());
  EXPECT_EQ(CountNear(before, QColor(255, 0, 0), 30), 0);
  dialog.grpGradual->setChecked(true);
  DialogScript::Push(QString("#ff0000"));
  dialog.btnGradualStartColor->click();
  DialogScript::Push(QString("#ff0000"));
  dialog.btnGradualEndColor->click();
  EXPECT_GT(CountNear(dialog.PreviewImage(), QColor(255, 0, 0), 30), 20);
  EXPECT_EQ(dialog.lblPreview->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
            dialog.PreviewImage());
}

TEST_F(StyleDialogs, EffectDialogOkReturnsTheEditsAndCancelNothing) {
  const TFontStyle& style = DefaultStyle("Title2");
  WhenShown<TEffectDialog>([](TEffectDialog* d) {
    d->seBlur->setValue(33);
    d->chkOutline->setChecked(true);
    d->btnOk->click();
  });
  const auto edited = ExecEffectDialog(nullptr, "Title2", style);
  ASSERT_TRUE(edited.has_value());
  TAAEffect expected = style.Effect;
  expected.Blur = 33;
  expected.Outline = true;
  EXPECT_EQ(*edited, expected);

  WhenShown<TEffectDialog>([](TEffectDialog* d) {
    d->seBlur->setValue(90);
    d->btnCancel->click();
  });
  EXPECT_FALSE(ExecEffectDialog(nullptr, "Title2", style).has_value());
}

TEST_F(StyleDialogs, EffectDialogFollowsTheScript) {
  const TFontStyle& style = DefaultStyle("Title1");
  TAAEffect changed = style.Effect;
  changed.Blur = 50;
  changed.ShadowColor = RgbColor(0, 255, 0);
  changed.Alpha = 44;  // 300 in an 8-bit field, as a load keeps it
  changed.ShadowOffsetX = -5;
  changed.GradualStyle = TGradualStyle::gsCenterToTB;
  const struct {
    DialogScript::Answer answer;
    std::optional<TAAEffect> result;
  } cases[] = {
      {true, style.Effect},
      {platform::IdOk, style.Effect},
      {DialogScript::Cancel{}, std::nullopt},
      {false, std::nullopt},
      {platform::IdCancel, std::nullopt},
      {QString("Blur=50"),
       [&] {
         TAAEffect e = style.Effect;
         e.Blur = 50;
         return e;
       }()},
      {QStringList{"Blur=50", "ShadowColor=0xFF00", "Alpha=300", "ShadowOffsetX=-5", "GradualStyle=5"},
       changed},
  };
  for (const auto& c : cases) {
    DialogScript::Push(c.answer);
    EXPECT_EQ(ExecEffectDialog(nullptr, "Title1", style), c.result);
    const auto& shown = DialogScript::History().back();
    EXPECT_EQ(shown.caption, QStringLiteral("修改特效 - Title1"));
    EXPECT_EQ(shown.text, QString("Title1"));
  }
  for (const DialogScript::Answer& bad :
       {DialogScript::Answer(QString("Glow=1")), DialogScript::Answer(QString("Blur")),
        DialogScript::Answer(QString("Blur=lots")), DialogScript::Answer(7)}) {
    DialogScript::Push(bad);
    EXPECT_THROW(ExecEffectDialog(nullptr, "Title1", style), std::logic_error);
  }
  DialogScript::SetStrict(true);
  EXPECT_THROW(ExecEffectDialog(nullptr, "Title1", style), std::logic_error);
}

// --- font dialog -----------------------------------------------------------

TEST_F(StyleDialogs, FontDialogStartsWithTheFontAndKeepsItUntouched) {
  TFontSpec fontSpec;
  fontSpec.Name = QStringLiteral("隶书");
  fontSpec.Charset = 134;
  fontSpec.Color = RgbColor(0, 0, 255);
  fontSpec.Height = -22;  // 16.5 points: a size that would not convert back
  fontSpec.Style = fsItalic | fsStrikeOut;
  TFontDialog dialog("Text3", fontSpec, 96);
  EXPECT_EQ(dialog.cbbFontName->currentText(), QStringLiteral("隶书"));
  EXPECT_EQ(dialog.seFontSize->value(), 17);
  EXPECT_FALSE(dialog.chkBold->isChecked());
  EXPECT_TRUE(dialog.chkItalic->isChecked());
  EXPECT_FALSE(dialog.chkUnderline->isChecked());
  EXPECT_TRUE(dialog.chkStrikeOut->isChecked());
  EXPECT_EQ(dialog.cbbCharset->currentData().toInt(), 134);
  EXPECT_EQ(dialog.Font(), fontSpec);
  EXPECT_TRUE(dialog.lblFaceNote->text().contains(FallbackFontFace)) << "隶书 is not on this machine";
}

TEST_F(StyleDialogs, FontDialogControlsSetFaceSizeStyleAndColour) {
  const struct {
    int dpi, size, height;
  } cases[] = {{96, 20, -27}, {120, 20, -33}, {96, 9, -12}, {144, 12, -24}};
  for (const auto& c : cases) {
    TFontSpec fontSpec;  // Tahoma, 12 points at 96 pixels per inch
    fontSpec.Color = SystemColor(8);
    TFontDialog dialog("Title1", fontSpec, c.dpi);
    dialog.cbbFontName->setEditText("DejaVu Sans");
    dialog.seFontSize->setValue(c.size);
    dialog.chkBold->setChecked(true);
    dialog.chkUnderline->setChecked(true);
    dialog.chkStrikeOut->setChecked(true);
    dialog.cbbCharset->setCurrentIndex(dialog.cbbCharset->findData(134));
    EXPECT_EQ(dialog.Font().Color, SystemColor(8)) << "a system colour stays until another is picked";
    DialogScript::Push(QString("#ff8000"));
    dialog.btnColor->click();
    const TFontSpec font = dialog.Font();
    EXPECT_EQ(font.Name, QString("DejaVu Sans"));
    EXPECT_EQ(font.Height, c.height) << c.dpi << " " << c.size;
    EXPECT_EQ(font.Style, fsBold | fsUnderline | fsStrikeOut);
    EXPECT_EQ(font.Charset, 134);
    EXPECT_EQ(font.Color, RgbColor(255, 128, 0));
    EXPECT_TRUE(dialog.lblFaceNote->text().isEmpty());
    EXPECT_GT(CountNear(dialog.SampleImage(), QColor(255, 128, 0), 10), 20);
  }
}

TEST_F(StyleDialogs, FontDialogKeepsAnUnlistedCharset) {
  TFontSpec fontSpec;
  fontSpec.Charset = 77;
  TFontDialog dialog("Title1", fontSpec, 96);
  EXPECT_EQ(dialog.cbbCharset->currentData().toInt(), 77);
  EXPECT_EQ(dialog.Font().Charset, 77);
}

TEST_F(StyleDialogs, FontDialogOkReturnsTheEditsAndCancelNothing) {
  TFontSpec fontSpec = DefaultStyle("Text2").Font;
  WhenShown<TFontDialog>([](TFontDialog* d) {
    d->chkUnderline->setChecked(true);
    d->chkStrikeOut->setChecked(true);
    DialogScript::Push(QString("#008000"));
    d->btnColor->click();
    d->btnOk->click();
  });
  const auto edited = ExecFontDialog(nullptr, "Text2", fontSpec);
  ASSERT_TRUE(edited.has_value());
  TFontSpec expected = fontSpec;
  expected.Style = fsUnderline | fsStrikeOut;
  expected.Color = RgbColor(0, 128, 0);
  EXPECT_EQ(*edited, expected);

  WhenShown<TFontDialog>([](TFontDialog* d) {
    d->chkBold->setChecked(true);
    d->btnCancel->click();
  });
  EXPECT_FALSE(ExecFontDialog(nullptr, "Text2", fontSpec).has_value());
}

TEST_F(StyleDialogs, FontDialogFollowsTheScript) {
  const TFontSpec fontSpec = DefaultStyle("Title1").Font;
  TFontSpec changed = fontSpec;
  changed.Name = "Arial Black";
  changed.Height = -27;
  changed.Color = RgbColor(255, 0, 0);
  changed.Style = fsUnderline | fsStrikeOut;
  changed.Charset = 134;
  const struct {
    DialogScript::Answer answer;
    std::optional<TFontSpec> result;
  } cases[] = {
      {true, fontSpec},
      {DialogScript::Cancel{}, std::nullopt},
      {platform::IdCancel, std::nullopt},
      {QStringList{"FontName=Arial Black", "FontSize=20", "Color=255", "FontStyle=12", "Charset=134"},
       changed},
  };
  for (const auto& c : cases) {
    DialogScript::Push(c.answer);
    EXPECT_EQ(ExecFontDialog(nullptr, "Title1", fontSpec), c.result);
    EXPECT_EQ(DialogScript::History().back().caption, QStringLiteral("修改字体 - Title1"));
  }
  DialogScript::Push(QString("Shadow=1"));
  EXPECT_THROW(ExecFontDialog(nullptr, "Title1", fontSpec), std::logic_error);
}

}  // namespace
