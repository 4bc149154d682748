#include "StyledText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <vector>

#include "ImageFilters.h"

TAAEffect ClampEffect(const TAAEffect& effect) {
  TAAEffect e = effect;
  const auto percent = [](quint8 v) { return static_cast<quint8>(std::min<int>(v, 100)); };
  e.Alpha = percent(e.Alpha);
  e.Blur = percent(e.Blur);
  e.Spray = percent(e.Spray);
  e.ShadowAlpha = percent(e.ShadowAlpha);
  e.ShadowBlur = percent(e.ShadowBlur);
  e.Angle = static_cast<qint16>(std::clamp<int>(e.Angle, -360, 360));
  e.ShadowOffsetX = static_cast<qint8>(std::clamp<int>(e.ShadowOffsetX, -20, 20));
  e.ShadowOffsetY = static_cast<qint8>(std::clamp<int>(e.ShadowOffsetY, -20, 20));
  if (static_cast<int>(e.GradualStyle) > static_cast<int>(TGradualStyle::gsCenterToTB)) {
    e.GradualStyle = TGradualStyle::gsLeftToRight;
  }
  if (static_cast<int>(e.TextureMode) > static_cast<int>(TTextureMode::tmNormal)) {
    e.TextureMode = TTextureMode::tmTiled;
  }
  return e;
}

QColor ToQColor(TColorValue color) {
  const TRgb rgb = ColorToRgb(color);
  return QColor(rgb.Red, rgb.Green, rgb.Blue);
}

QFont StyleFont(const TFontSpec& fontSpec) {
  constexpr int kMaxPixels = 1000;
  QFont font;
  const QString face = fontSpec.Name.trimmed();
  font.setFamilies(face.isEmpty() ? QStringList{FallbackFontFace} : QStringList{face, FallbackFontFace});
  font.setBold(fontSpec.Style & fsBold);
  font.setItalic(fontSpec.Style & fsItalic);
  font.setUnderline(fontSpec.Style & fsUnderline);
  font.setStrikeOut(fontSpec.Style & fsStrikeOut);
  font.setStyleStrategy(QFont::PreferAntialias);
  const qint64 height = fontSpec.Height;
  const int pixels = height == 0 ? 16 : static_cast<int>(std::clamp<qint64>(std::abs(height), 1, kMaxPixels));
  font.setPixelSize(pixels);
  if (height > 0) {
    // A positive height is the cell (ascent plus descent), which Qt does not
    // size by: scale the character height until the cell fits.
    const qreal cell = QFontMetricsF(font).height();
    if (cell > 0) font.setPixelSize(std::clamp(qRound(pixels * pixels / cell), 1, kMaxPixels));
  }
  return font;
}

const QImage& BuiltInTexture() {
  static const QImage texture = [] {
    constexpr int kSize = 64;
    // A warm marble, dark enough to read on a light background: plum through
    // crimson and orange to old gold.
    const QColor stops[] = {QColor(110, 20, 100), QColor(200, 35, 60), QColor(235, 115, 30),
                            QColor(185, 140, 20)};
    QImage image(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < kSize; ++x) {
        // Every wave repeats within the tile, so tiles meet without a seam.
        const qreal u = 2 * M_PI * x / kSize;
        const qreal v = 2 * M_PI * y / kSize;
        qreal t = 0.5 + 0.32 * std::sin(u + v + 1.3 * std::sin(2 * v)) + 0.18 * std::sin(3 * u - v);
        t = std::clamp<qreal>(t, 0, 1) * 3;
        const int i = std::min(2, static_cast<int>(t));
        const qreal f = t - i;
        const QColor& a = stops[i];
        const QColor& b = stops[i + 1];
        line[x] =
            qRgb(qRound(a.red() + (b.red() - a.red()) * f), qRound(a.green() + (b.green() - a.green()) * f),
                 qRound(a.blue() + (b.blue() - a.blue()) * f));
      }
    }
    return image;
  }();
  return texture;
}

QColor OutlineColor(const QColor& fill) {
  const int luminance = (299 * fill.red() + 587 * fill.green() + 114 * fill.blue()) / 1000;
  if (luminance < 60) {
    const auto lighten = [](int c) { return c + (255 - c) * 7 / 10; };
    return QColor(lighten(fill.red()), lighten(fill.green()), lighten(fill.blue()));
  }
  return QColor(fill.red() * 35 / 100, fill.green() * 35 / 100, fill.blue() * 35 / 100);
}

namespace {

QRgb Mix(QRgb a, QRgb b, qreal t) {
  const auto lerp = [t](int x, int y) { return qRound(x + (y - x) * t); };
  return qRgb(lerp(qRed(a), qRed(b)), lerp(qGreen(a), qGreen(b)), lerp(qBlue(a), qBlue(b)));
}

// Where along the gradient a pixel lies, 0 at the start colour, 1 at the end.
qreal GradientPosition(TGradualStyle style, const QRect& box, int x, int y) {
  const auto along = [](int p, int first, int last) {
    return last > first ? std::clamp<qreal>(qreal(p - first) / (last - first), 0, 1) : 0;
  };
  const auto fromCentre = [](int p, int first, int last) {
    const qreal half = (last - first) / 2.0;
    return half > 0 ? std::clamp<qreal>(std::abs(p - (first + half)) / half, 0, 1) : 0;
  };
  switch (style) {
    case TGradualStyle::gsLeftToRight:
      return along(x, box.left(), box.right());
    case TGradualStyle::gsRightToLeft:
      return 1 - along(x, box.left(), box.right());
    case TGradualStyle::gsTopToBottom:
      return along(y, box.top(), box.bottom());
    case TGradualStyle::gsBottomToTop:
      return 1 - along(y, box.top(), box.bottom());
    case TGradualStyle::gsCenterToLR:
      return fromCentre(x, box.left(), box.right());
    case TGradualStyle::gsCenterToTB:
      return fromCentre(y, box.top(), box.bottom());
  }
  return 0;
}

QColor AverageColor(const QImage& image) {
  qint64 r = 0, g = 0, b = 0;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      r += qRed(line[x]);
      g += qGreen(line[x]);
      b += qBlue(line[x]);
    }
  }
  const qint64 n = std::max<qint64>(1, qint64(image.width()) * image.height());
  return QColor(int(r / n), int(g / n), int(b / n));
}

// The colour of every pixel of the text before coverage: plain or gradient,
// then the texture where it lies.
QImage FillImage(const TFontStyle& style, const TAAEffect& e, const QSize& size, const QRect& box) {
  QImage fill(size, QImage::Format_RGB32);
  const QRgb plain = ToQColor(style.Font.Color).rgb();
  if (e.Gradual) {
    const QRgb start = ToQColor(e.GradualStartColor).rgb();
    const QRgb end = ToQColor(e.GradualEndColor).rgb();
    const bool across = e.GradualStyle == TGradualStyle::gsLeftToRight ||
                        e.GradualStyle == TGradualStyle::gsRightToLeft ||
                        e.GradualStyle == TGradualStyle::gsCenterToLR;
    // The colour changes along one axis only: work out one row, or one colour
    // per row.
    std::vector<QRgb> row(static_cast<size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x) {
      row[static_cast<size_t>(x)] = Mix(start, end, GradientPosition(e.GradualStyle, box, x, 0));
    }
    for (int y = 0; y < size.height(); ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(fill.scanLine(y));
      if (across) {
        std::copy(row.begin(), row.end(), line);
      } else {
        std::fill(line, line + size.width(), Mix(start, end, GradientPosition(e.GradualStyle, box, 0, y)));
      }
    }
  } else {
    fill.fill(plain);
  }
  if (!e.Texture) return fill;
  const QImage& texture = BuiltInTexture();
  QPainter p(&fill);
  switch (e.TextureMode) {
    case TTextureMode::tmTiled:
      p.setBrushOrigin(box.topLeft());
      p.fillRect(fill.rect(), QBrush(texture));
      break;
    case TTextureMode::tmStretched:
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(box, texture);
      break;
    case TTextureMode::tmCenter:
      p.drawImage(box.center() - QPoint(texture.width() / 2, texture.height() / 2), texture);
      break;
    case TTextureMode::tmNormal:
      p.drawImage(box.topLeft(), texture);
      break;
  }
  return fill;
}

// Fill over outline, both weighed by their coverage, as premultiplied ARGB.
QImage ComposeText(const QImage& fill, const QImage& mask, const QImage& outline, QRgb edge) {
  QImage layer(fill.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < layer.height(); ++y) {
    const QRgb* f = reinterpret_cast<const QRgb*>(fill.constScanLine(y));
    const uchar* m = mask.constScanLine(y);
    const uchar* o = outline.isNull() ? nullptr : outline.constScanLine(y);
    QRgb* out = reinterpret_cast<QRgb*>(layer.scanLine(y));
    for (int x = 0; x < layer.width(); ++x) {
      const int cover = m[x];
      const int under = o ? o[x] * (255 - cover) : 0;  // in 255 * 255 units
      const auto channel = [&](int fc, int ec) { return (fc * cover * 255 + ec * under + 32512) / 65025; };
      out[x] = qRgba(channel(qRed(f[x]), qRed(edge)), channel(qGreen(f[x]), qGreen(edge)),
                     channel(qBlue(f[x]), qBlue(edge)), (cover * 255 + under + 127) / 255);
    }
  }
  return layer;
}

void AddNoise(QImage& layer, const QImage& fill, const QRect& area, int amount, int dot, quint32 seed) {
  if (amount <= 0 || area.isEmpty()) return;
  const qint64 count = qint64(area.width()) * area.height() * amount / (255 * 5) / (dot * dot);
  for (qint64 i = 0; i < count; ++i) {
    const quint32 hx = render::PixelHash(static_cast<quint32>(i), 1, seed);
    const quint32 hy = render::PixelHash(static_cast<quint32>(i), 2, seed);
    const int x0 = area.left() + static_cast<int>(hx % static_cast<quint32>(area.width()));
    const int y0 = area.top() + static_cast<int>(hy % static_cast<quint32>(area.height()));
    for (int y = y0; y < std::min(y0 + dot, layer.height()); ++y) {
      for (int x = x0; x < std::min(x0 + dot, layer.width()); ++x) {
        reinterpret_cast<QRgb*>(layer.scanLine(y))[x] =
            reinterpret_cast<const QRgb*>(fill.constScanLine(y))[x];
      }
    }
  }
}

void ScaleOpacity(QImage& layer, int percent) {
  if (percent >= 100) return;
  for (int y = 0; y < layer.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
    for (int x = 0; x < layer.width(); ++x) {
      const auto s = [percent](int c) { return (c * percent + 50) / 100; };
      line[x] = qRgba(s(qRed(line[x])), s(qGreen(line[x])), s(qBlue(line[x])), s(qAlpha(line[x])));
    }
  }
}

// The text's shape in one colour at the given opacity, drawn into target at at.
void CastShadow(QImage& target, const QImage& layer, QPoint at, const QColor& color, int percent) {
  for (int y = 0; y < layer.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    QRgb* out = reinterpret_cast<QRgb*>(target.scanLine(y + at.y())) + at.x();
    for (int x = 0; x < layer.width(); ++x) {
      const int a = (qAlpha(in[x]) * percent + 50) / 100;
      out[x] = qRgba((color.red() * a + 127) / 255, (color.green() * a + 127) / 255,
                     (color.blue() * a + 127) / 255, a);
    }
  }
}

}  // namespace

TStyledText RenderStyledText(const TFontStyle& style, const QString& text, quint32 seed) {
  TStyledText result;
  if (text.isEmpty()) return result;
  const TAAEffect e = ClampEffect(style.Effect);
  const QFont font = StyleFont(style.Font);
  const QFontMetricsF metrics(font);
  const qreal em = font.pixelSize();

  const QRectF layout(0, 0, std::max<qreal>(1, metrics.horizontalAdvance(text)), metrics.height());
  const QRectF ink = metrics.boundingRect(text).translated(0, metrics.ascent());
  const QPointF centre = layout.center();
  QTransform turn;
  turn.translate(centre.x(), centre.y());
  turn.rotate(-e.Angle);
  turn.scale(e.HorzMirror ? -1 : 1, e.VertMirror ? -1 : 1);
  turn.translate(-centre.x(), -centre.y());
  const QRectF turned = turn.mapRect(layout.united(ink));

  const int outlineWidth = e.Outline ? std::max(1, qRound(em / 24)) : 0;
  const int sprayRadius = qRound(e.Spray * em / 400);
  const qreal blurSigma = e.Blur * em / 1200;
  const int pad = outlineWidth + sprayRadius + qCeil(3 * blurSigma) + 2;
  const QSize size(qCeil(turned.width()) + 1 + 2 * pad, qCeil(turned.height()) + 1 + 2 * pad);
  const QPointF shift(pad - std::floor(turned.left()), pad - std::floor(turned.top()));

  QImage glyphs(size, QImage::Format_ARGB32_Premultiplied);
  if (glyphs.isNull()) return result;  // too large to hold
  glyphs.fill(Qt::transparent);
  {
    QPainter p(&glyphs);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.setTransform(turn * QTransform::fromTranslate(shift.x(), shift.y()));
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(0, metrics.ascent()), text);
  }
  QImage mask = glyphs.convertToFormat(QImage::Format_Alpha8);
  glyphs = QImage();
  render::Spray(mask, sprayRadius, seed);

  const QRectF textBox = turn.mapRect(layout).translated(shift);
  QRect box = render::OpaqueBounds(mask);
  if (box.isEmpty()) box = textBox.toAlignedRect();  // blanks only: underline or nothing

  const QImage fill = FillImage(style, e, size, box);
  QImage outline;
  QColor edge;
  if (e.Outline) {
    outline = mask.copy();
    render::Dilate(outline, outlineWidth);
    edge = OutlineColor(e.Texture   ? AverageColor(BuiltInTexture())
                        : e.Gradual ? QColor::fromRgb(Mix(ToQColor(e.GradualStartColor).rgb(),
                                                          ToQColor(e.GradualEndColor).rgb(), 0.5))
                                    : ToQColor(style.Font.Color));
  }
  // The blur softens the letters; the outline stays crisp round them so that
  // blurred text keeps its shape.
  render::GaussianBlur(mask, blurSigma);
  QImage layer = ComposeText(fill, mask, outline, edge.rgb());
  AddNoise(layer, fill, box.adjusted(-outlineWidth, -outlineWidth, outlineWidth, outlineWidth) & layer.rect(),
           e.Noise, std::max(1, qRound(em / 24)), seed);

  const QPoint offset = e.Shadow ? QPoint(e.ShadowOffsetX, e.ShadowOffsetY) : QPoint();
  const qreal shadowSigma = e.Shadow ? e.ShadowBlur * em / 800 : 0;
  const int shadowPad = e.Shadow ? qCeil(3 * shadowSigma) + 1 : 0;
  QImage picture(size + QSize(std::abs(offset.x()) + 2 * shadowPad, std::abs(offset.y()) + 2 * shadowPad),
                 QImage::Format_ARGB32_Premultiplied);
  if (picture.isNull()) return result;
  picture.fill(Qt::transparent);
  const QPoint at(shadowPad + std::max(0, -offset.x()), shadowPad + std::max(0, -offset.y()));
  if (e.Shadow) {
    CastShadow(picture, layer, at + offset, ToQColor(e.ShadowColor), e.ShadowAlpha);
    render::GaussianBlur(picture, shadowSigma);
  }
  ScaleOpacity(layer, e.Alpha);
  {
    QPainter p(&picture);
    p.drawImage(at, layer);
  }
  result.Image = picture;
  result.TextBox = textBox.translated(at);
  return result;
}

QPoint StyledTextPosition(const TStyledText& text, const QRectF& rect, TLineAlign align) {
  const QRectF& box = text.TextBox;
  qreal x = 0;
  switch (align) {
    case TLineAlign::Left:
      x = rect.left() - box.left();
      break;
    case TLineAlign::Center:
      x = rect.center().x() - box.center().x();
      break;
    case TLineAlign::Right:
      x = rect.right() - box.right();
      break;
  }
  const qreal y = rect.center().y() - box.center().y();
  return QPoint(static_cast<int>(std::floor(x + 0.5)), static_cast<int>(std::floor(y + 0.5)));
}

void DrawStyledText(QPainter& painter, const QRectF& rect, const TStyledText& text, TLineAlign align,
                    qreal opacity) {
  if (text.IsNull() || opacity <= 0) return;
  const qreal was = painter.opacity();
  painter.setOpacity(was * std::min<qreal>(opacity, 1));
  painter.drawImage(StyledTextPosition(text, rect, align), text.Image);
  painter.setOpacity(was);
}

QImage RenderStyledLine(const QSize& size, const QColor& background, const TFontStyle& style,
                        const QString& text, TLineAlign align, quint32 seed) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(background);
  QPainter p(&image);
  DrawStyledText(p, QRectF(image.rect()), RenderStyledText(style, text, seed), align);
  return image;
}
