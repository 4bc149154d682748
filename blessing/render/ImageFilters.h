#pragma once

#include <QImage>
#include <QRect>
#include <QtGlobal>

// The pixel operations behind the text effects. They work on premultiplied
// ARGB32 or Alpha8 images in place and treat everything beyond the edges as
// transparent, so callers leave a transparent margin for what spreads.
namespace render {

// A well-mixed 32-bit value for a pair of coordinates: the same arguments give
// the same value on every machine, so the scattered effects repeat exactly.
quint32 PixelHash(quint32 x, quint32 y, quint32 seed);

// Gaussian blur of every channel with the given standard deviation in pixels;
// nothing happens below 0.2. Large deviations run as three box blurs, so the
// cost does not grow with the radius.
void GaussianBlur(QImage& image, qreal sigma);

// Grows the covered area of an Alpha8 mask by radius pixels in every direction
// (a square maximum filter).
void Dilate(QImage& mask, int radius);

// Scatters an Alpha8 mask: every pixel takes the value of a pixel up to radius
// away in each direction, chosen by PixelHash.
void Spray(QImage& mask, int radius, quint32 seed);

// The smallest rectangle holding every pixel whose alpha is not zero; empty when
// there is none.
QRect OpaqueBounds(const QImage& image);

}  // namespace render
