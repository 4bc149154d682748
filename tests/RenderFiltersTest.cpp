// The pixel operations behind the text effects.
#include <gtest/gtest.h>

#include <QSet>

#include "ImageFilters.h"

namespace {

QImage Mask(int w, int h) {
  QImage m(w, h, QImage::Format_Alpha8);
  m.fill(0);
  return m;
}

qint64 Sum(const QImage& mask) {
  qint64 s = 0;
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) s += mask.constScanLine(y)[x];
  }
  return s;
}

TEST(ImageFilters, PixelHashIsFixedAndVaried) {
  EXPECT_EQ(render::PixelHash(3, 4, 5), render::PixelHash(3, 4, 5));
  QSet<quint32> values;
  for (quint32 x = 0; x < 32; ++x) {
    for (quint32 y = 0; y < 32; ++y) values << render::PixelHash(x, y, 1);
  }
  EXPECT_EQ(values.size(), 32 * 32);
  EXPECT_NE(render::PixelHash(1, 2, 3), render::PixelHash(2, 1, 3));
  EXPECT_NE(render::PixelHash(1, 2, 3), render::PixelHash(1, 2, 4));
  // The low bits, which pick offsets, are spread too.
  int odd = 0;
  for (quint32 i = 0; i < 1000; ++i) odd += render::PixelHash(i, 0, 9) & 1;
  EXPECT_NEAR(odd, 500, 80);
}

TEST(ImageFilters, BlurSpreadsADotAndKeepsItsWeight) {
  const struct {
    double sigma;
    int reach;  // a pixel this far off still receives some of the dot
  } cases[] = {{0.5, 1}, {1.5, 3}, {4, 7}, {10, 18}};
  for (const auto& c : cases) {
    QImage m = Mask(81, 81);
    for (int y = 38; y <= 42; ++y) {
      for (int x = 38; x <= 42; ++x) m.scanLine(y)[x] = 255;
    }
    const qint64 before = Sum(m);
    render::GaussianBlur(m, c.sigma);
    EXPECT_NEAR(Sum(m), before, before * 0.04) << c.sigma;
    EXPECT_LT(m.scanLine(38)[38], 255) << c.sigma;
    EXPECT_GT(m.scanLine(40)[42 + c.reach], 0) << c.sigma;
    // Symmetric about the dot.
    for (int d = 1; d < 30; ++d) {
      EXPECT_NEAR(m.scanLine(40)[40 - d], m.scanLine(40)[40 + d], 1) << c.sigma << " " << d;
      EXPECT_NEAR(m.scanLine(40 - d)[40], m.scanLine(40 + d)[40], 1) << c.sigma << " " << d;
    }
  }
}

TEST(ImageFilters, TinyBlurChangesNothing) {
  QImage m = Mask(9, 9);
  m.scanLine(4)[4] = 255;
  const QImage before = m.copy();
  render::GaussianBlur(m, 0.1);
  EXPECT_EQ(m, before);
}

TEST(ImageFilters, BlurKeepsPremultipliedPixelsValid) {
  QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  for (int y = 10; y < 30; ++y) {
    for (int x = 10; x < 30; ++x)
      image.setPixel(x, y, qPremultiply(qRgba(250, 120, 3, (x * 13 + y * 7) % 256)));
  }
  for (double sigma : {0.8, 3.0}) {
    QImage blurred = image.copy();
    render::GaussianBlur(blurred, sigma);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const QRgb p = blurred.pixel(x, y);
        ASSERT_LE(qRed(p), qAlpha(p)) << sigma;
        ASSERT_LE(qGreen(p), qAlpha(p)) << sigma;
        ASSERT_LE(qBlue(p), qAlpha(p)) << sigma;
      }
    }
  }
}

TEST(ImageFilters, DilateGrowsBySquareRadius) {
  for (int radius : {1, 2, 5}) {
    QImage m = Mask(30, 30);
    m.scanLine(12)[15] = 200;
    render::Dilate(m, radius);
    EXPECT_EQ(render::OpaqueBounds(m), QRect(15 - radius, 12 - radius, 2 * radius + 1, 2 * radius + 1))
        << radius;
    EXPECT_EQ(Sum(m), 200 * (2 * radius + 1) * (2 * radius + 1)) << radius;
  }
  QImage edge = Mask(10, 10);
  edge.scanLine(0)[9] = 255;
  render::Dilate(edge, 3);
  EXPECT_EQ(render::OpaqueBounds(edge), QRect(QPoint(6, 0), QPoint(9, 3)));
}

TEST(ImageFilters, DilateKeepsTheLargestNeighbour) {
  QImage m = Mask(7, 1);
  const uchar values[] = {10, 0, 0, 90, 0, 40, 0};
  for (int x = 0; x < 7; ++x) m.scanLine(0)[x] = values[x];
  render::Dilate(m, 1);
  const uchar expected[] = {10, 10, 90, 90, 90, 40, 40};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(m.scanLine(0)[x], expected[x]) << x;
}

TEST(ImageFilters, SprayMovesPixelsWithinItsRadius) {
  QImage m = Mask(60, 60);
  for (int y = 20; y < 40; ++y) {
    for (int x = 20; x < 40; ++x) m.scanLine(y)[x] = 255;
  }
  QImage a = m.copy(), b = m.copy(), c = m.copy();
  render::Spray(a, 4, 1);
  render::Spray(b, 4, 1);
  render::Spray(c, 4, 2);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  const QRect bounds = render::OpaqueBounds(a);
  EXPECT_TRUE(QRect(16, 16, 28, 28).contains(bounds));
  EXPECT_TRUE(bounds.contains(QRect(18, 18, 24, 24)));
  // About as much ink as before: pixels are moved, not made.
  EXPECT_NEAR(Sum(a), Sum(m), Sum(m) * 0.1);
  QImage none = m.copy();
  render::Spray(none, 0, 1);
  EXPECT_EQ(none, m);
}

TEST(ImageFilters, OpaqueBoundsOfBothFormats) {
  EXPECT_TRUE(render::OpaqueBounds(Mask(5, 5)).isNull());
  QImage m = Mask(10, 8);
  m.scanLine(2)[3] = 1;
  m.scanLine(6)[7] = 1;
  EXPECT_EQ(render::OpaqueBounds(m), QRect(QPoint(3, 2), QPoint(7, 6)));
  QImage argb(10, 8, QImage::Format_ARGB32_Premultiplied);
  argb.fill(Qt::transparent);
  argb.setPixel(9, 0, qRgba(0, 0, 0, 1));
  EXPECT_EQ(render::OpaqueBounds(argb), QRect(9, 0, 1, 1));
}

}  // namespace
