#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "FontStyle.h"
#include "Markup.h"

class QPainter;

// Draws one blessing line in a font style: the font with its anti-aliased
// effect. Only QImage and QPainter are used, so the blessing page's preview and
// the full-screen saver draw alike, and tests check the pixels without a window.
//
// How the twenty effect values are drawn:
// - Alpha: opacity of the text (its outline and noise included), not of the
//   shadow, so that Alpha 0 with a shadow leaves the shadow alone.
// - Blur: a Gaussian blur of the letters whose deviation grows to a twelfth of
//   the character height at 100. An outline stays sharp round them, so blurred
//   outlined text keeps its shape.
// - Noise: dots in the fill colour of their place over the text's box, up to
//   one pixel in five at 255; the same seed gives the same dots.
// - Spray: every pixel of the text is taken from a place up to a quarter of the
//   character height away at 100, chosen by the seed.
// - Angle: a turn about the centre of the text, counter-clockwise for positive
//   degrees as Windows turns fonts. HorzMirror and VertMirror flip the letters
//   about the same centre. The fill, the shadow offset and the light stay as
//   on the screen.
// - Outline: a border a twenty-fourth of the character height wide (at least
//   one pixel) in OutlineColor of the fill.
// - Shadow: the text's shape in ShadowColor at ShadowAlpha percent, blurred up
//   to an eighth of the character height at ShadowBlur 100, moved by the offsets.
// - Gradual: a linear gradient across the drawn text from the start colour to
//   the end colour in the direction of GradualStyle; the centre styles start in
//   the middle and end at both edges.
// - Texture: BuiltInTexture() laid over the drawn text by TextureMode; where a
//   centred or normal texture does not reach, the plain or gradient fill shows.
// Values beyond their ranges are held to them first (ClampEffect).

// The effect with each value held to the range the dialogs offer; a gradient
// style or texture mode beyond the known ones becomes the first, as on loading.
TAAEffect ClampEffect(const TAAEffect& effect);

// The colour a stored colour value stands for.
QColor ToQColor(TColorValue color);

// The face missing faces fall back to, and the one that carries the Chinese
// characters for faces without them.
inline const QString FallbackFontFace = QStringLiteral("Noto Sans CJK SC");

// The font a TFontSpec describes: the face (with FallbackFontFace behind it), the
// height in pixels (negative for the character height, positive for the cell
// height, 0 for a 16-pixel default; held to 1 to 1000 pixels), bold, italic,
// underline and strike-out.
QFont StyleFont(const TFontSpec& fontSpec);

// The picture textured text is filled with: a seamless tile painted in code.
const QImage& BuiltInTexture();

// The outline colour for text of the given fill colour: a dark shade of it, or
// for fills too dark to darken, a light one.
QColor OutlineColor(const QColor& fill);

// A line drawn once, to be placed (and faded) as often as needed.
struct TStyledText {
  // Premultiplied ARGB, transparent where nothing is drawn, with room for the
  // outline, blur, spray and shadow. Null for an empty text.
  QImage Image;
  // The text's layout box (advance width by line height) in Image; when the
  // text is turned, the bounding box of the turned box. Alignment uses it.
  QRectF TextBox;

  bool IsNull() const { return Image.isNull(); }
};

constexpr quint32 DefaultEffectSeed = 0x5EED;

TStyledText RenderStyledText(const TFontStyle& style, const QString& text, quint32 seed = DefaultEffectSeed);

// Where the picture's top-left corner goes so that its text box sits in rect:
// at the left edge, in the middle or at the right edge, and centred from top to
// bottom. Whole pixels, so the picture is copied without resampling.
QPoint StyledTextPosition(const TStyledText& text, const QRectF& rect, TLineAlign align);

// Draws the picture into rect with the given opacity (1 is opaque).
void DrawStyledText(QPainter& painter, const QRectF& rect, const TStyledText& text, TLineAlign align,
                    qreal opacity = 1);

// A picture of the given size and background with the line drawn across it.
QImage RenderStyledLine(const QSize& size, const QColor& background, const TFontStyle& style,
                        const QString& text, TLineAlign align, quint32 seed = DefaultEffectSeed);
