#include "ImageFilters.h"

#include <QtMath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace render {

quint32 PixelHash(quint32 x, quint32 y, quint32 seed) {
  quint32 h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

namespace {

// One image channel along one line: a row or a column of one byte lane.
struct Lane {
  uchar* first;
  qsizetype step;
  int length;
};

template <typename F>
void ForEachLane(QImage& image, bool horizontal, F&& f) {
  const int bpp = image.depth() / 8;
  const qsizetype bpl = image.bytesPerLine();
  uchar* bits = image.bits();
  if (horizontal) {
    for (int y = 0; y < image.height(); ++y) {
      for (int c = 0; c < bpp; ++c) f(Lane{bits + y * bpl + c, bpp, image.width()});
    }
  } else {
    for (int x = 0; x < image.width(); ++x) {
      for (int c = 0; c < bpp; ++c) f(Lane{bits + x * bpp + c, bpl, image.height()});
    }
  }
}

// Zero-padded moving average over 2 * radius + 1 values.
void BoxLane(const Lane& lane, int radius, std::vector<int>& in) {
  const int n = lane.length;
  in.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) in[static_cast<size_t>(i)] = lane.first[i * lane.step];
  const int width = 2 * radius + 1;
  int sum = 0;
  for (int i = 0; i < std::min(radius, n); ++i) sum += in[static_cast<size_t>(i)];
  for (int i = 0; i < n; ++i) {
    const int enter = i + radius;
    const int leave = i - radius - 1;
    if (enter < n) sum += in[static_cast<size_t>(enter)];
    if (leave >= 0) sum -= in[static_cast<size_t>(leave)];
    lane.first[i * lane.step] = static_cast<uchar>((sum + width / 2) / width);
  }
}

// Convolution with a short kernel given in 1/65536 units, centre first.
void KernelLane(const Lane& lane, const std::vector<int>& kernel, std::vector<int>& in) {
  const int n = lane.length;
  const int k = static_cast<int>(kernel.size()) - 1;
  in.assign(static_cast<size_t>(n + 2 * k), 0);
  for (int i = 0; i < n; ++i) in[static_cast<size_t>(i + k)] = lane.first[i * lane.step];
  for (int i = 0; i < n; ++i) {
    const int* c = in.data() + i + k;
    qint64 sum = static_cast<qint64>(kernel[0]) * c[0];
    for (int j = 1; j <= k; ++j) sum += static_cast<qint64>(kernel[static_cast<size_t>(j)]) * (c[j] + c[-j]);
    lane.first[i * lane.step] = static_cast<uchar>(std::min<qint64>(255, (sum + 32768) >> 16));
  }
}

// Widths of three boxes whose succession approximates a Gaussian.
std::vector<int> BoxRadii(qreal sigma) {
  const int n = 3;
  const qreal ideal = std::sqrt(12 * sigma * sigma / n + 1);
  int lower = static_cast<int>(std::floor(ideal));
  if (lower % 2 == 0) --lower;
  const int upper = lower + 2;
  const qreal mIdeal = (12 * sigma * sigma - n * lower * lower - 4 * n * lower - 3 * n) / (-4.0 * lower - 4);
  const int m = qRound(mIdeal);
  std::vector<int> radii;
  for (int i = 0; i < n; ++i) radii.push_back(((i < m ? lower : upper) - 1) / 2);
  return radii;
}

}  // namespace

void GaussianBlur(QImage& image, qreal sigma) {
  if (sigma < 0.2 || image.isNull()) return;
  Q_ASSERT(image.depth() == 8 || image.depth() == 32);
  std::vector<int> buffer;
  if (sigma >= 2) {
    for (int radius : BoxRadii(sigma)) {
      if (radius <= 0) continue;
      ForEachLane(image, true, [&](const Lane& l) { BoxLane(l, radius, buffer); });
      ForEachLane(image, false, [&](const Lane& l) { BoxLane(l, radius, buffer); });
    }
  } else {
    const int k = static_cast<int>(std::ceil(3 * sigma));
    std::vector<double> weights;
    double total = 0;
    for (int i = 0; i <= k; ++i) {
      weights.push_back(std::exp(-(i * i) / (2 * sigma * sigma)));
      total += i == 0 ? weights.back() : 2 * weights.back();
    }
    std::vector<int> kernel;
    for (double w : weights) kernel.push_back(static_cast<int>(std::lround(w / total * 65536)));
    ForEachLane(image, true, [&](const Lane& l) { KernelLane(l, kernel, buffer); });
    ForEachLane(image, false, [&](const Lane& l) { KernelLane(l, kernel, buffer); });
  }
  if (image.depth() == 32) {
    // Channels rounded one by one can end a step above their alpha, which a
    // premultiplied pixel must never do.
    for (int y = 0; y < image.height(); ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const int a = qAlpha(line[x]);
        line[x] =
            qRgba(std::min(qRed(line[x]), a), std::min(qGreen(line[x]), a), std::min(qBlue(line[x]), a), a);
      }
    }
  }
}

void Dilate(QImage& mask, int radius) {
  if (radius <= 0 || mask.isNull()) return;
  Q_ASSERT(mask.depth() == 8);
  // The van Herk / Gil-Werman maximum: per block of the window's width a
  // running maximum from each end, so the cost does not grow with the radius.
  const int width = 2 * radius + 1;
  std::vector<uchar> padded, fromStart, fromEnd;
  auto maxLane = [&](const Lane& lane) {
    const int n = lane.length;
    const int total = n + 2 * radius;
    padded.assign(static_cast<size_t>(total), 0);
    for (int i = 0; i < n; ++i) padded[static_cast<size_t>(i + radius)] = lane.first[i * lane.step];
    fromStart.resize(static_cast<size_t>(total));
    fromEnd.resize(static_cast<size_t>(total));
    for (int p = 0; p < total; ++p) {
      const auto u = static_cast<size_t>(p);
      fromStart[u] = p % width == 0 ? padded[u] : std::max(fromStart[u - 1], padded[u]);
    }
    for (int p = total - 1; p >= 0; --p) {
      const auto u = static_cast<size_t>(p);
      const bool blockEnd = p == total - 1 || (p + 1) % width == 0;
      fromEnd[u] = blockEnd ? padded[u] : std::max(fromEnd[u + 1], padded[u]);
    }
    for (int i = 0; i < n; ++i) {
      lane.first[i * lane.step] =
          std::max(fromEnd[static_cast<size_t>(i)], fromStart[static_cast<size_t>(i + 2 * radius)]);
    }
  };
  ForEachLane(mask, true, maxLane);
  ForEachLane(mask, false, maxLane);
}

void Spray(QImage& mask, int radius, quint32 seed) {
  if (radius <= 0 || mask.isNull()) return;
  Q_ASSERT(mask.depth() == 8);
  const QImage source = mask.copy();
  const quint32 span = static_cast<quint32>(2 * radius + 1);
  for (int y = 0; y < mask.height(); ++y) {
    uchar* out = mask.scanLine(y);
    for (int x = 0; x < mask.width(); ++x) {
      const quint32 h = PixelHash(static_cast<quint32>(x), static_cast<quint32>(y), seed);
      const int sx = x + static_cast<int>((h & 0xFFFF) % span) - radius;
      const int sy = y + static_cast<int>((h >> 16) % span) - radius;
      const bool inside = sx >= 0 && sy >= 0 && sx < source.width() && sy < source.height();
      out[x] = inside ? source.constScanLine(sy)[sx] : 0;
    }
  }
}

QRect OpaqueBounds(const QImage& image) {
  int left = image.width(), right = -1, top = image.height(), bottom = -1;
  const bool alpha8 = image.depth() == 8;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      const bool covered = alpha8 ? line[x] != 0 : qAlpha(reinterpret_cast<const QRgb*>(line)[x]) != 0;
      if (!covered) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return QRect();
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace render
