// Styled lines drawn into images, checked pixel by pixel, effect by effect.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ImageFilters.h"
#include "StyledText.h"
#include "SystemColors.h"
#include "TestUtil.h"

namespace {

// A face this machine has, so the tests do not depend on substitution.
const QString kFace = QStringLiteral("DejaVu Sans");
// Full blocks: solid areas whose inner pixels are fully covered.
const QString kBlocks = QStringLiteral("\u2588\u2588\u2588\u2588");

TFontStyle Style(int height = -40, TColorValue color = RgbColor(200, 30, 30)) {
  TFontStyle s;
  s.Name = "Test";
  s.Font.Name = kFace;
  s.Font.Height = height;
  s.Font.Color = color;
  return s;
}

QColor Unpremultiplied(QRgb p) {
  return QColor::fromRgba(qUnpremultiply(p));
}

bool Near(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

std::string Describe(const QColor& c) {
  return QStringLiteral("(%1,%2,%3,%4)")
      .arg(c.red())
      .arg(c.green())
      .arg(c.blue())
      .arg(c.alpha())
      .toStdString();
}

int MaxAlpha(const QImage& image) {
  int best = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) best = std::max(best, qAlpha(image.pixel(x, y)));
  }
  return best;
}

QRgb MostOpaquePixel(const QImage& image) {
  QRgb best = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) > qAlpha(best)) best = image.pixel(x, y);
    }
  }
  return best;
}

// Pixels neither empty nor fully covered: how far edges are spread.
int PartialPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int a = qAlpha(image.pixel(x, y));
      n += a > 0 && a < 255;
    }
  }
  return n;
}

// The bounds of fully covered pixels.
QRect SolidBounds(const QImage& image) {
  QImage solid(image.size(), QImage::Format_Alpha8);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) solid.scanLine(y)[x] = qAlpha(image.pixel(x, y)) == 255 ? 255 : 0;
  }
  return render::OpaqueBounds(solid);
}

// Ink bounds relative to the text box, so pictures of different sizes compare.
QRect InkFromTextBox(const TStyledText& t) {
  return render::OpaqueBounds(t.Image).translated(-t.TextBox.topLeft().toPoint());
}

double MeanAlphaDifference(const QImage& a, const QImage& b) {
  const int w = std::min(a.width(), b.width());
  const int h = std::min(a.height(), b.height());
  double sum = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) sum += std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y)));
  }
  return sum / std::max(1, w * h);
}

// Transformed text is drawn without hinting, so its outline may sit a pixel
// off the hinted one: compare at the best of the nearby alignments.
double AlignedAlphaDifference(const QImage& a, const QImage& b) {
  double best = 1e9;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int w = std::min(a.width(), b.width()) - 2;
      const int h = std::min(a.height(), b.height()) - 2;
      double sum = 0;
      for (int y = 1; y < h; ++y) {
        for (int x = 1; x < w; ++x) sum += std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x + dx, y + dy)));
      }
      best = std::min(best, sum / std::max(1, w * h));
    }
  }
  return best;
}

QImage Cropped(const TStyledText& t) {
  return t.Image.copy(render::OpaqueBounds(t.Image));
}

QPointF AlphaCentroid(const QImage& image) {
  double sx = 0, sy = 0, total = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const int a = qAlpha(image.pixel(x, y));
      sx += a * x;
      sy += a * y;
      total += a;
    }
  }
  return total > 0 ? QPointF(sx / total, sy / total) : QPointF();
}

TEST(StyledText, ClampEffectHoldsValuesToTheirRanges) {
  TAAEffect wild;
  wild.Alpha = 250;
  wild.Blur = 101;
  wild.Noise = 255;
  wild.Spray = 200;
  wild.Angle = -1000;
  wild.ShadowAlpha = 180;
  wild.ShadowBlur = 255;
  wild.ShadowOffsetX = 100;
  wild.ShadowOffsetY = -128;
  wild.GradualStyle = static_cast<TGradualStyle>(6);
  wild.TextureMode = static_cast<TTextureMode>(9);
  const TAAEffect e = ClampEffect(wild);
  EXPECT_EQ(e.Alpha, 100);
  EXPECT_EQ(e.Blur, 100);
  EXPECT_EQ(e.Noise, 255);
  EXPECT_EQ(e.Spray, 100);
  EXPECT_EQ(e.Angle, -360);
  EXPECT_EQ(e.ShadowAlpha, 100);
  EXPECT_EQ(e.ShadowBlur, 100);
  EXPECT_EQ(e.ShadowOffsetX, 20);
  EXPECT_EQ(e.ShadowOffsetY, -20);
  EXPECT_EQ(e.GradualStyle, TGradualStyle::gsLeftToRight);
  EXPECT_EQ(e.TextureMode, TTextureMode::tmTiled);

  wild.Angle = 720;
  EXPECT_EQ(ClampEffect(wild).Angle, 360);
  const TAAEffect inRange;
  EXPECT_EQ(ClampEffect(inRange), inRange);
}

TEST(StyledText, OutOfRangeValuesDrawAsTheirLimits) {
  TFontStyle over = Style();
  over.Effect.Alpha = 200;
  over.Effect.Angle = 400;
  TFontStyle limit = Style();
  limit.Effect.Alpha = 100;
  limit.Effect.Angle = 360;
  EXPECT_EQ(RenderStyledText(over, "Ab").Image, RenderStyledText(limit, "Ab").Image);
}

TEST(StyledText, FontFromSpec) {
  struct Case {
    int height;
    int pixelSize;
  };
  for (const Case& c : {Case{-40, 40}, Case{-1, 1}, Case{0, 16}, Case{-5000, 1000}, Case{INT_MIN, 1000}}) {
    TFontSpec fontSpec;
    fontSpec.Name = kFace;
    fontSpec.Height = c.height;
    EXPECT_EQ(StyleFont(fontSpec).pixelSize(), c.pixelSize) << c.height;
  }
  // A positive height is the cell height.
  TFontSpec cell;
  cell.Name = kFace;
  cell.Height = 40;
  const QFont cellFont = StyleFont(cell);
  EXPECT_LT(cellFont.pixelSize(), 40);
  EXPECT_NEAR(QFontMetricsF(cellFont).height(), 40, 2);

  TFontSpec styled;
  styled.Name = kFace;
  for (quint8 bits = 0; bits < 16; ++bits) {
    styled.Style = bits;
    const QFont f = StyleFont(styled);
    EXPECT_EQ(f.bold(), bool(bits & fsBold)) << int(bits);
    EXPECT_EQ(f.italic(), bool(bits & fsItalic)) << int(bits);
    EXPECT_EQ(f.underline(), bool(bits & fsUnderline)) << int(bits);
    EXPECT_EQ(f.strikeOut(), bool(bits & fsStrikeOut)) << int(bits);
  }
}

TEST(StyledText, MissingFacesFallBackToTheChineseFace) {
  for (const QString& face :
       {QStringLiteral("隶书"), QStringLiteral("Tahoma"), QStringLiteral("Arial"), QString()}) {
    TFontSpec fontSpec;
    fontSpec.Name = face;
    const QFont font = StyleFont(fontSpec);
    EXPECT_EQ(QFontInfo(font).family(), FallbackFontFace) << face.toStdString();
    EXPECT_TRUE(QFontMetricsF(font).inFont(QChar(0x7965))) << "祥 in " << face.toStdString();
  }
  TFontSpec present;
  present.Name = kFace;
  EXPECT_EQ(QFontInfo(StyleFont(present)).family(), kFace);
}

TEST(StyledText, ChineseTextDrawsAsGlyphsOfItsSize) {
  TFontStyle s = Style(-30);
  s.Font.Name = QStringLiteral("隶书");
  const TStyledText t = RenderStyledText(s, QStringLiteral("新年快乐"));
  const QRect ink = render::OpaqueBounds(t.Image);
  // Four square characters of about 30 pixels each.
  EXPECT_NEAR(ink.width(), 4 * 30, 16);
  EXPECT_NEAR(ink.height(), 30, 8);
  // Distinct characters give distinct pictures (no run of equal missing-glyph boxes).
  const QImage first = t.Image.copy(ink.left(), ink.top(), ink.width() / 4, ink.height());
  const QImage second = t.Image.copy(ink.left() + ink.width() / 4, ink.top(), ink.width() / 4, ink.height());
  EXPECT_GT(MeanAlphaDifference(first, second), 10);
}

TEST(StyledText, EmptyTextDrawsNothing) {
  EXPECT_TRUE(RenderStyledText(Style(), QString()).IsNull());
  const QImage line = RenderStyledLine(QSize(40, 20), Qt::yellow, Style(), QString(), TLineAlign::Center);
  for (int y = 0; y < line.height(); ++y) {
    for (int x = 0; x < line.width(); ++x) ASSERT_EQ(line.pixel(x, y), QColor(Qt::yellow).rgb());
  }
}

TEST(StyledText, PlainTextIsDrawnInTheFontColour) {
  const struct {
    TColorValue value;
    QColor drawn;
  } cases[] = {
      {RgbColor(0, 128, 128), QColor(0, 128, 128)},
      {RgbColor(200, 30, 30), QColor(200, 30, 30)},
      {SystemColor(5), QColor(QRgb(platform::SystemColorRgb(5)))},
  };
  for (const auto& c : cases) {
    const TStyledText t = RenderStyledText(Style(-40, c.value), kBlocks);
    const QRect solid = SolidBounds(t.Image);
    ASSERT_FALSE(solid.isEmpty());
    const QColor inside = Unpremultiplied(t.Image.pixel(solid.center()));
    EXPECT_EQ(inside.rgb(), c.drawn.rgb()) << Describe(inside);
  }
}

TEST(StyledText, AlphaScalesTheOpacity) {
  for (int alpha : {100, 75, 50, 10, 0}) {
    TFontStyle s = Style();
    s.Effect.Alpha = static_cast<quint8>(alpha);
    const TStyledText t = RenderStyledText(s, kBlocks);
    EXPECT_NEAR(MaxAlpha(t.Image), 255 * alpha / 100.0, 1.5) << alpha;
  }
}

TEST(StyledText, ShadowLiesAtItsOffsetsInItsColour) {
  const struct {
    int dx, dy, alpha;
  } cases[] = {{5, 3, 100}, {-4, 6, 100}, {0, -7, 50}, {20, 20, 70}, {-20, 0, 100}};
  TFontStyle plain = Style();
  const QRect textInk = InkFromTextBox(RenderStyledText(plain, "Ab"));
  for (const auto& c : cases) {
    TFontStyle s = plain;
    s.Effect.Shadow = true;
    s.Effect.ShadowBlur = 0;
    s.Effect.ShadowColor = RgbColor(20, 40, 220);
    s.Effect.ShadowAlpha = static_cast<quint8>(c.alpha);
    s.Effect.ShadowOffsetX = static_cast<qint8>(c.dx);
    s.Effect.ShadowOffsetY = static_cast<qint8>(c.dy);
    // With the text itself invisible, only the shadow is left.
    s.Effect.Alpha = 0;
    const TStyledText shadow = RenderStyledText(s, "Ab");
    EXPECT_EQ(InkFromTextBox(shadow), textInk.translated(c.dx, c.dy)) << c.dx << "," << c.dy;
    EXPECT_NEAR(MaxAlpha(shadow.Image), 255 * c.alpha / 100.0, 1.5);
    const QColor strongest = Unpremultiplied(MostOpaquePixel(shadow.Image));
    EXPECT_TRUE(Near(strongest, QColor(20, 40, 220), c.alpha == 100 ? 0 : 3)) << Describe(strongest);
  }
}

TEST(StyledText, ShadowShowsBesideTheTextWhenBothAreDrawn) {
  TFontStyle s = Style(-40, RgbColor(255, 0, 0));
  s.Effect.Shadow = true;
  s.Effect.ShadowBlur = 0;
  s.Effect.ShadowAlpha = 100;
  s.Effect.ShadowColor = RgbColor(0, 0, 255);
  s.Effect.ShadowOffsetX = 6;
  s.Effect.ShadowOffsetY = 4;
  const TStyledText t = RenderStyledText(s, kBlocks);
  const QRect solid = SolidBounds(t.Image);
  // Right of and below the blocks only the shadow is drawn; the blocks stay red.
  EXPECT_EQ(Unpremultiplied(t.Image.pixel(solid.right() - 2, solid.bottom() - 2)).rgb(),
            QColor(0, 0, 255).rgb());
  EXPECT_EQ(Unpremultiplied(t.Image.pixel(solid.left() + 2, solid.top() + 2)).rgb(), QColor(255, 0, 0).rgb());
}

TEST(StyledText, ShadowBlurSoftensTheShadowEdge) {
  TFontStyle s = Style();
  s.Effect.Shadow = true;
  s.Effect.Alpha = 0;
  s.Effect.ShadowAlpha = 100;
  int previous = -1;
  for (int blur : {0, 40, 100}) {
    s.Effect.ShadowBlur = static_cast<quint8>(blur);
    const int partial = PartialPixels(RenderStyledText(s, kBlocks).Image);
    EXPECT_GT(partial, previous) << blur;
    previous = partial;
  }
}

TEST(StyledText, GradientRunsFromStartToEndInEachDirection) {
  const QColor start(255, 0, 0), end(0, 0, 255);
  enum Where { Left, Right, Top, Bottom, Middle };
  const struct {
    TGradualStyle style;
    Where startAt;
    Where endAt, endAlso;
  } cases[] = {
      {TGradualStyle::gsLeftToRight, Left, Right, Right},  {TGradualStyle::gsRightToLeft, Right, Left, Left},
      {TGradualStyle::gsTopToBottom, Top, Bottom, Bottom}, {TGradualStyle::gsBottomToTop, Bottom, Top, Top},
      {TGradualStyle::gsCenterToLR, Middle, Left, Right},  {TGradualStyle::gsCenterToTB, Middle, Top, Bottom},
  };
  for (const auto& c : cases) {
    TFontStyle s = Style(-60);
    s.Effect.Gradual = true;
    s.Effect.GradualStartColor = RgbColor(start.red(), start.green(), start.blue());
    s.Effect.GradualEndColor = RgbColor(end.red(), end.green(), end.blue());
    s.Effect.GradualStyle = c.style;
    const TStyledText t = RenderStyledText(s, kBlocks);
    const QRect solid = SolidBounds(t.Image);
    ASSERT_GT(solid.height(), 20);
    const QPoint c0 = solid.center();
    const auto at = [&](Where w) {
      switch (w) {
        case Left:
          return Unpremultiplied(t.Image.pixel(solid.left(), c0.y()));
        case Right:
          return Unpremultiplied(t.Image.pixel(solid.right(), c0.y()));
        case Top:
          return Unpremultiplied(t.Image.pixel(c0.x(), solid.top()));
        case Bottom:
          return Unpremultiplied(t.Image.pixel(c0.x(), solid.bottom()));
        case Middle:
          break;
      }
      return Unpremultiplied(t.Image.pixel(c0));
    };
    const int style = int(c.style);
    EXPECT_TRUE(Near(at(c.startAt), start, 25)) << style << " start " << Describe(at(c.startAt));
    EXPECT_TRUE(Near(at(c.endAt), end, 25)) << style << " end " << Describe(at(c.endAt));
    EXPECT_TRUE(Near(at(c.endAlso), end, 25)) << style << " end " << Describe(at(c.endAlso));
  }
}

TEST(StyledText, MirrorsFlipTheLetters) {
  TFontStyle s = Style(-60);
  const QImage plain = Cropped(RenderStyledText(s, "F7"));
  const struct { bool horizontal, vertical; } cases[] = {{true, false}, {false, true}, {true, true}};
  for (const auto& c : cases) {
    s.Effect.HorzMirror = c.horizontal;
    s.Effect.VertMirror = c.vertical;
    const QImage mirrored = Cropped(RenderStyledText(s, "F7"));
    const double flipped = AlignedAlphaDifference(mirrored, plain.mirrored(c.horizontal, c.vertical));
    const double unflipped = AlignedAlphaDifference(mirrored, plain);
    EXPECT_LT(flipped, 10) << c.horizontal << c.vertical;
    EXPECT_LT(flipped * 5, unflipped) << c.horizontal << c.vertical;
  }
}

TEST(StyledText, NinetyDegreesSwapTheExtents) {
  TFontStyle s = Style(-40);
  const QRect flat = render::OpaqueBounds(RenderStyledText(s, "Blessing").Image);
  for (int angle : {90, -90, 270}) {
    s.Effect.Angle = static_cast<qint16>(angle);
    const TStyledText t = RenderStyledText(s, "Blessing");
    const QRect turned = render::OpaqueBounds(t.Image);
    EXPECT_NEAR(turned.width(), flat.height(), 2) << angle;
    EXPECT_NEAR(turned.height(), flat.width(), 2) << angle;
    EXPECT_NEAR(t.TextBox.width(), QFontMetricsF(StyleFont(s.Font)).height(), 1) << angle;
  }
}

TEST(StyledText, PositiveAnglesTurnCounterClockwise) {
  // A heavy block at the start of the line shows where the start went.
  const QString text = QStringLiteral("\u2588\u2588....");
  TFontStyle s = Style(-40);
  const struct {
    int angle;
    int dx, dy;  // where the weight lies from the ink's centre
  } cases[] = {{0, -1, 0}, {90, 0, 1}, {-90, 0, -1}, {180, 1, 0}, {360, -1, 0}};
  for (const auto& c : cases) {
    s.Effect.Angle = static_cast<qint16>(c.angle);
    const QImage ink = Cropped(RenderStyledText(s, text));
    const QPointF weight = AlphaCentroid(ink) - QPointF((ink.width() - 1) / 2.0, (ink.height() - 1) / 2.0);
    const auto sign = [](double v, double size) { return std::abs(v) < size / 10 ? 0 : v < 0 ? -1 : 1; };
    EXPECT_EQ(sign(weight.x(), ink.width()), c.dx) << c.angle;
    EXPECT_EQ(sign(weight.y(), ink.height()), c.dy) << c.angle;
  }
}

TEST(StyledText, BlurSpreadsTheEdges) {
  TFontStyle s = Style(-40);
  int previous = -1;
  QRect previousInk;
  for (int blur : {0, 30, 100}) {
    s.Effect.Blur = static_cast<quint8>(blur);
    const TStyledText t = RenderStyledText(s, kBlocks);
    const int partial = PartialPixels(t.Image);
    const QRect ink = InkFromTextBox(t);
    EXPECT_GT(partial, previous) << blur;
    if (!previousInk.isNull()) {
      EXPECT_TRUE(ink.contains(previousInk) && ink != previousInk) << blur;
    }
    previous = partial;
    previousInk = ink;
  }
}

TEST(StyledText, OutlineDrawsABorderRoundTheText) {
  const QColor fill(240, 230, 60);
  TFontStyle s = Style(-48, RgbColor(fill.red(), fill.green(), fill.blue()));
  const TStyledText plain = RenderStyledText(s, kBlocks);
  s.Effect.Outline = true;
  const TStyledText outlined = RenderStyledText(s, kBlocks);
  const QRect before = SolidBounds(plain.Image).translated(-plain.TextBox.topLeft().toPoint());
  const QRect after = SolidBounds(outlined.Image).translated(-outlined.TextBox.topLeft().toPoint());
  EXPECT_TRUE(after.contains(before.adjusted(-2, -2, 2, 2))) << "the solid area grows by the border";
  const QColor edge = OutlineColor(fill);
  const QPoint origin = outlined.TextBox.topLeft().toPoint();
  const int midY = origin.y() + before.center().y();
  const QColor outside = Unpremultiplied(outlined.Image.pixel(origin.x() + before.left() - 2, midY));
  const QColor inside = Unpremultiplied(outlined.Image.pixel(origin.x() + before.left() + 3, midY));
  EXPECT_EQ(outside.rgb(), edge.rgb()) << Describe(outside);
  EXPECT_EQ(inside.rgb(), fill.rgb()) << Describe(inside);

  // Blurred letters keep a sharp border.
  s.Effect.Blur = 100;
  const TStyledText blurred = RenderStyledText(s, kBlocks);
  const QPoint at = blurred.TextBox.topLeft().toPoint();
  EXPECT_EQ(qAlpha(blurred.Image.pixel(at.x() + before.left() - 2, at.y() + before.center().y())), 255);
  EXPECT_LT(qAlpha(blurred.Image.pixel(at.x() + before.left() - 5, at.y() + before.center().y())), 255);
}

TEST(StyledText, OutlineColourContrastsWithTheFill) {
  const struct {
    QColor fill, edge;
  } cases[] = {
      {QColor(240, 230, 60), QColor(84, 80, 21)},
      {QColor(0, 128, 128), QColor(0, 44, 44)},
      {QColor(0, 0, 0), QColor(178, 178, 178)},
      {QColor(0, 0, 255), QColor(178, 178, 255)},
  };
  for (const auto& c : cases) EXPECT_EQ(OutlineColor(c.fill).rgb(), c.edge.rgb()) << Describe(c.fill);
}

TEST(StyledText, TextureChangesTheFillByMode) {
  TFontStyle s = Style(-60, RgbColor(0, 0, 0));
  const QString text = kBlocks + kBlocks;
  const TStyledText plain = RenderStyledText(s, text);
  s.Effect.Texture = true;
  QList<QImage> pictures;
  for (TTextureMode mode :
       {TTextureMode::tmTiled, TTextureMode::tmStretched, TTextureMode::tmCenter, TTextureMode::tmNormal}) {
    s.Effect.TextureMode = mode;
    const TStyledText t = RenderStyledText(s, text);
    const QRect solid = SolidBounds(t.Image);
    QSet<QRgb> colours;
    for (int x = solid.left(); x <= solid.right(); x += 3) colours << t.Image.pixel(x, solid.center().y());
    EXPECT_GT(colours.size(), 8) << int(mode);
    pictures << t.Image;
    const bool coversAll = mode == TTextureMode::tmTiled || mode == TTextureMode::tmStretched;
    // The texture is narrower than eight blocks: a single one leaves the far end plain.
    const QColor farRight = Unpremultiplied(t.Image.pixel(solid.right() - 1, solid.center().y()));
    EXPECT_EQ(farRight.rgb() == QColor(Qt::black).rgb(), !coversAll) << int(mode) << Describe(farRight);
  }
  for (int i = 0; i < pictures.size(); ++i) {
    EXPECT_NE(pictures[i], plain.Image);
    for (int j = i + 1; j < pictures.size(); ++j) EXPECT_NE(pictures[i], pictures[j]) << i << " " << j;
  }
}

TEST(StyledText, BuiltInTextureTilesWithoutASeam) {
  const QImage& t = BuiltInTexture();
  ASSERT_FALSE(t.isNull());
  const auto step = [&](int x0, int y0, int x1, int y1) {
    const QColor a = t.pixelColor(x0, y0), b = t.pixelColor(x1, y1);
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
  };
  int inner = 0, seam = 0;
  for (int i = 0; i < t.height(); ++i) {
    for (int x = 0; x + 1 < t.width(); ++x) inner = std::max(inner, step(x, i, x + 1, i));
    for (int y = 0; y + 1 < t.height(); ++y) inner = std::max(inner, step(i, y, i, y + 1));
    seam = std::max({seam, step(t.width() - 1, i, 0, i), step(i, t.height() - 1, i, 0)});
  }
  EXPECT_LE(seam, inner);
}

int DotsOutside(const QImage& noisy, const QImage& plain) {
  int n = 0;
  for (int y = 0; y < plain.height(); ++y) {
    for (int x = 0; x < plain.width(); ++x)
      n += qAlpha(plain.pixel(x, y)) == 0 && qAlpha(noisy.pixel(x, y)) == 255;
  }
  return n;
}

TEST(StyledText, NoiseAddsRepeatableDotsOfTheTextColour) {
  const QColor colour(30, 120, 40);
  TFontStyle s = Style(-40, RgbColor(colour.red(), colour.green(), colour.blue()));
  const QImage plain = RenderStyledText(s, "Wish").Image;
  int previous = 0;
  for (int noise : {40, 128, 255}) {
    s.Effect.Noise = static_cast<quint8>(noise);
    const QImage noisy = RenderStyledText(s, "Wish").Image;
    ASSERT_EQ(noisy.size(), plain.size());
    const int dots = DotsOutside(noisy, plain);
    EXPECT_GT(dots, previous) << noise;
    previous = dots;
    EXPECT_EQ(noisy, RenderStyledText(s, "Wish").Image) << "same seed, same dots";
    EXPECT_NE(noisy, RenderStyledText(s, "Wish", 77).Image) << "another seed, other dots";
    for (int y = 0; y < noisy.height(); ++y) {
      for (int x = 0; x < noisy.width(); ++x) {
        if (qAlpha(plain.pixel(x, y)) == 0 && qAlpha(noisy.pixel(x, y)) == 255) {
          ASSERT_EQ(QColor(noisy.pixel(x, y)).rgb(), colour.rgb());
        }
      }
    }
  }
}

TEST(StyledText, SprayScattersTheTextRepeatably) {
  TFontStyle s = Style(-40);
  const TStyledText plain = RenderStyledText(s, kBlocks);
  s.Effect.Spray = 100;
  const TStyledText sprayed = RenderStyledText(s, kBlocks);
  EXPECT_EQ(sprayed.Image, RenderStyledText(s, kBlocks).Image);
  EXPECT_NE(sprayed.Image, RenderStyledText(s, kBlocks, 99).Image);
  const QRect before = InkFromTextBox(plain), after = InkFromTextBox(sprayed);
  EXPECT_TRUE(after.contains(before.adjusted(-3, -3, 3, 3))) << "pixels land beyond the old edges";
  // Inside, holes open where pixels came from outside.
  const QRect solid =
      SolidBounds(plain.Image)
          .translated(sprayed.TextBox.topLeft().toPoint() - plain.TextBox.topLeft().toPoint());
  int holes = 0;
  for (int y = solid.top(); y <= solid.bottom(); ++y) {
    for (int x = solid.left(); x <= solid.right(); ++x) holes += qAlpha(sprayed.Image.pixel(x, y)) < 255;
  }
  EXPECT_GT(holes, 0);
}

TEST(StyledText, StyleBitsChangeTheInk) {
  TFontStyle s = Style(-40);
  const QString text = QStringLiteral("i    i");
  const TStyledText regular = RenderStyledText(s, text);
  const QRect ink = InkFromTextBox(regular);
  const auto columnInk = [](const TStyledText& t, int x) {
    int sum = 0;
    for (int y = 0; y < t.Image.height(); ++y) sum += qAlpha(t.Image.pixel(x, y));
    return sum;
  };
  const int middle = qRound(regular.TextBox.center().x());
  EXPECT_EQ(columnInk(regular, middle), 0) << "nothing between the letters";

  s.Font.Style = fsStrikeOut;
  const TStyledText struck = RenderStyledText(s, text);
  EXPECT_GT(columnInk(struck, qRound(struck.TextBox.center().x())), 0);

  s.Font.Style = fsUnderline;
  const TStyledText underlined = RenderStyledText(s, text);
  EXPECT_GT(columnInk(underlined, qRound(underlined.TextBox.center().x())), 0);
  EXPECT_GT(InkFromTextBox(underlined).bottom(), ink.bottom());

  s.Font.Style = fsBold;
  const auto totalInk = [](const QImage& image) {
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) sum += qAlpha(image.pixel(x, y));
    }
    return sum;
  };
  EXPECT_GT(totalInk(RenderStyledText(s, "Blessing").Image),
            totalInk(RenderStyledText(Style(-40), "Blessing").Image) * 1.15);
}

TEST(StyledText, HeightSetsTheSize) {
  const QRect small = render::OpaqueBounds(RenderStyledText(Style(-20), "H").Image);
  const QRect large = render::OpaqueBounds(RenderStyledText(Style(-60), "H").Image);
  EXPECT_NEAR(double(large.height()) / small.height(), 3.0, 0.3);
}

TEST(StyledText, LinesAreAlignedInTheirRectangle) {
  const TStyledText t = RenderStyledText(Style(-20), "Wish");
  const QRectF rect(10, 20, 300, 60);
  const struct {
    TLineAlign align;
    qreal boxLeft;
  } cases[] = {
      {TLineAlign::Left, 10},
      {TLineAlign::Center, 10 + (300 - t.TextBox.width()) / 2},
      {TLineAlign::Right, 310 - t.TextBox.width()},
  };
  for (const auto& c : cases) {
    const QPointF box = StyledTextPosition(t, rect, c.align) + t.TextBox.topLeft();
    EXPECT_NEAR(box.x(), c.boxLeft, 0.5) << int(c.align);
    EXPECT_NEAR(box.y() + t.TextBox.height() / 2, 50, 0.5) << int(c.align);
  }
}

TEST(StyledText, LineImageShowsTheTextOnTheBackground) {
  const QColor background(250, 240, 200);
  const QImage line = RenderStyledLine(QSize(300, 50), background, Style(-30, RgbColor(0, 0, 200)), "Wish",
                                       TLineAlign::Right);
  EXPECT_EQ(line.pixel(0, 0), background.rgb());
  EXPECT_EQ(line.pixel(299, 49), background.rgb());
  int leftInk = 0, rightInk = 0;
  for (int y = 0; y < line.height(); ++y) {
    for (int x = 0; x < line.width(); ++x) {
      if (QColor(line.pixel(x, y)).blue() > 150 && QColor(line.pixel(x, y)).red() < 50)
        (x < 150 ? leftInk : rightInk)++;
    }
  }
  EXPECT_EQ(leftInk, 0);
  EXPECT_GT(rightInk, 50);
}

TEST(StyledText, DefaultStylesDrawTheirSampleLines) {
  for (const TFontStyle& style : DefaultFontStyles()) {
    const TStyledText t = RenderStyledText(style, QStringLiteral("字体样式预览") + style.Name);
    ASSERT_FALSE(t.IsNull()) << style.Name.toStdString();
    const QRect ink = render::OpaqueBounds(t.Image);
    EXPECT_GT(ink.width(), 6 * -style.Font.Height) << style.Name.toStdString();
    EXPECT_GT(MaxAlpha(t.Image), 200) << style.Name.toStdString();
  }
}

TEST(StyledText, FullScreenSizesRender) {
  TFontStyle s = DefaultFontStyles().At(5);  // shadow, gradient, blur and outline
  s.Font.Height = -200;
  s.Effect.Noise = 60;
  s.Effect.Spray = 20;
  const TStyledText t = RenderStyledText(s, QStringLiteral("恭贺新禧 Happy New Year"));
  ASSERT_FALSE(t.IsNull());
  EXPECT_GT(render::OpaqueBounds(t.Image).width(), 2000);
}

}  // namespace
