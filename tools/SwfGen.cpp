#include "SwfGen.h"

#include <lzma.h>
#include <zlib.h>

#include <QtMath>
#include <algorithm>
#include <cmath>

#include "PavonaError.h"

namespace {

constexpr int kTagShowFrame = 1;
constexpr int kTagDefineShape = 2;
constexpr int kTagSetBackgroundColor = 9;
constexpr int kTagPlaceObject2 = 26;
constexpr int kTagDefineEditText = 37;
constexpr int kTagDefineFont2 = 48;
constexpr int kTagFileAttributes = 69;
constexpr int kTwips = 20;

// Bits needed to store v as a signed field.
int SignedBits(qint64 v) {
  if (v == 0) return 0;
  int n = 1;
  while (v < -(qint64(1) << (n - 1)) || v > (qint64(1) << (n - 1)) - 1) ++n;
  return n;
}

// Writes bit fields most significant bit first, as SWF stores them.
class BitWriter {
 public:
  void Unsigned(quint32 value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc_ = uchar((acc_ << 1) | ((value >> i) & 1));
      if (++used_ == 8) Flush();
    }
  }
  void Signed(qint32 value, int bits) { Unsigned(quint32(value), bits); }
  // Pads the last byte with zero bits.
  QByteArray Take() {
    if (used_ > 0) {
      acc_ = uchar(acc_ << (8 - used_));
      Flush();
    }
    QByteArray b = bytes_;
    bytes_.clear();
    return b;
  }

 private:
  void Flush() {
    bytes_.append(char(acc_));
    acc_ = 0;
    used_ = 0;
  }
  QByteArray bytes_;
  uchar acc_ = 0;
  int used_ = 0;
};

void U8(QByteArray& b, int v) {
  b.append(char(v & 0xFF));
}
void U16(QByteArray& b, quint32 v) {
  U8(b, int(v));
  U8(b, int(v >> 8));
}
void U32(QByteArray& b, quint32 v) {
  U16(b, v & 0xFFFF);
  U16(b, v >> 16);
}
void Rgb(QByteArray& b, quint32 rgb) {
  U8(b, int(rgb >> 16));
  U8(b, int(rgb >> 8));
  U8(b, int(rgb));
}

QByteArray Rect(qint32 xMin, qint32 xMax, qint32 yMin, qint32 yMax) {
  const int bits = std::max({SignedBits(xMin), SignedBits(xMax), SignedBits(yMin), SignedBits(yMax)});
  BitWriter w;
  w.Unsigned(quint32(bits), 5);
  for (qint32 v : {xMin, xMax, yMin, yMax}) w.Signed(v, bits);
  return w.Take();
}

void Tag(QByteArray& out, int code, const QByteArray& body) {
  // The long form is used for bodies of 63 bytes and more.
  if (body.size() < 0x3F) {
    U16(out, quint32(code << 6) | quint32(body.size()));
  } else {
    U16(out, quint32(code << 6) | 0x3F);
    U32(out, quint32(body.size()));
  }
  out.append(body);
}

struct Point {
  qint32 x, y;
};

// A closed outline: straight edges between the points, or (curved) quadratic
// curves whose control points sit between consecutive anchors.
struct Outline {
  QList<Point> points;  // for curves: anchor, control, anchor, control, ...
  bool curved = false;
};

Outline MakeOutline(TSwfGenShape shape, int sizePx) {
  const double r = sizePx * kTwips / 2.0;
  Outline o;
  // Points run clockwise on screen (y grows downwards), so the fill lies to the
  // right of each edge: fill style 1.
  switch (shape) {
    case TSwfGenShape::Square: {
      const qint32 h = qRound(r);
      o.points = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
      break;
    }
    case TSwfGenShape::Circle: {
      o.curved = true;
      const double controlRadius = r / std::cos(M_PI / 8);
      for (int k = 0; k < 8; ++k) {
        const double a = k * M_PI / 4, c = a + M_PI / 8;
        o.points.append({qint32(qRound(r * std::cos(a))), qint32(qRound(r * std::sin(a)))});
        o.points.append(
            {qint32(qRound(controlRadius * std::cos(c))), qint32(qRound(controlRadius * std::sin(c)))});
      }
      break;
    }
    case TSwfGenShape::Star: {
      for (int k = 0; k < 10; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 5;
        const double radius = k % 2 == 0 ? r : r * 0.45;
        o.points.append({qint32(qRound(radius * std::cos(a))), qint32(qRound(radius * std::sin(a)))});
      }
      break;
    }
  }
  return o;
}

void Edge(BitWriter& w, const QList<qint32>& deltas, bool straight) {
  int bits = 2;
  for (qint32 d : deltas) bits = std::max(bits, SignedBits(d));
  w.Unsigned(1, 1);  // edge record
  w.Unsigned(straight ? 1 : 0, 1);
  w.Unsigned(quint32(bits - 2), 4);
  if (straight) w.Unsigned(1, 1);  // general line: both deltas
  for (qint32 d : deltas) w.Signed(d, bits);
}

QByteArray DefineShape(int id, TSwfGenShape shape, int sizePx, quint32 colour) {
  const qint32 r = qRound(sizePx * kTwips / 2.0);
  QByteArray b;
  U16(b, quint32(id));
  b.append(Rect(-r, r, -r, r));
  U8(b, 1);  // one fill style: solid
  U8(b, 0x00);
  Rgb(b, colour);
  U8(b, 0);  // no line styles
  BitWriter w;
  w.Unsigned(1, 4);  // fill index bits
  w.Unsigned(0, 4);  // line index bits

  const Outline o = MakeOutline(shape, sizePx);
  const Point start = o.points.front();
  const int moveBits = std::max(SignedBits(start.x), SignedBits(start.y));
  // Style change: no new styles, no line style, fill style 1, move to the start.
  w.Unsigned(0, 1);
  w.Unsigned(0b00101, 5);
  w.Unsigned(quint32(moveBits), 5);
  w.Signed(start.x, moveBits);
  w.Signed(start.y, moveBits);
  w.Unsigned(1, 1);  // fill style 1 = the first fill style

  // Deltas between absolute points, so the outline closes exactly.
  const int step = o.curved ? 2 : 1;
  for (int k = 0; k < o.points.size(); k += step) {
    const Point a = o.points[k];
    if (o.curved) {
      const Point c = o.points[k + 1];
      const Point next = o.points[(k + 2) % o.points.size()];
      Edge(w, {c.x - a.x, c.y - a.y, next.x - c.x, next.y - c.y}, false);
    } else {
      const Point next = o.points[(k + 1) % o.points.size()];
      Edge(w, {next.x - a.x, next.y - a.y}, true);
    }
  }
  w.Unsigned(0, 6);  // end of shape
  b.append(w.Take());
  return b;
}

QByteArray Matrix(const TSwfGenPlacement& p) {
  BitWriter w;
  const qint32 tx = qint32(qRound(p.X * kTwips)), ty = qint32(qRound(p.Y * kTwips));
  if (p.Angle != 0) {
    const qint32 c = qint32(qRound(std::cos(p.Angle) * 65536)), s = qint32(qRound(std::sin(p.Angle) * 65536));
    const int bits = std::max({SignedBits(c), SignedBits(s), SignedBits(-s)});
    w.Unsigned(1, 1);  // scale: cos on the diagonal
    w.Unsigned(quint32(bits), 5);
    w.Signed(c, bits);
    w.Signed(c, bits);
    w.Unsigned(1, 1);  // rotate/skew: sin, -sin
    w.Unsigned(quint32(bits), 5);
    w.Signed(s, bits);
    w.Signed(-s, bits);
  } else {
    w.Unsigned(0, 1);
    w.Unsigned(0, 1);
  }
  const int bits = std::max(SignedBits(tx), SignedBits(ty));
  w.Unsigned(quint32(bits), 5);
  w.Signed(tx, bits);
  w.Signed(ty, bits);
  return w.Take();
}

QByteArray PlaceObject2(int depth, int characterId, const QByteArray& matrix) {
  QByteArray b;
  // 0x04 has a matrix; 0x02 has a character (first placement); 0x01 moves an existing one.
  U8(b, characterId > 0 ? 0x06 : 0x05);
  U16(b, quint32(depth));
  if (characterId > 0) U16(b, quint32(characterId));
  b.append(matrix);
  return b;
}

QByteArray DefineDeviceFont(int id) {
  QByteArray b;
  U16(b, quint32(id));
  U8(b, 0x04);  // wide codes, as SWF 6 and later require
  U8(b, 0);     // no language
  const QByteArray name = "_sans";
  U8(b, int(name.size()));
  b.append(name);
  U16(b, 0);  // no glyphs: the player uses its own font
  U16(b, 2);  // code table offset, just past this field
  return b;
}

QByteArray DefineEditText(int id, int fontId, const TSwfGenOptions& o) {
  QByteArray b;
  U16(b, quint32(id));
  const qint32 margin = 10 * kTwips;
  b.append(
      Rect(margin, o.Width * kTwips - margin, o.Height * kTwips - 50 * kTwips, o.Height * kTwips - margin));
  U8(b, 0x80 | 0x40 | 0x08 | 0x04 | 0x01);  // text, word wrap, read-only, colour, font
  U8(b, 0x20 | 0x10);                       // layout, not selectable
  U16(b, quint32(fontId));
  U16(b, 24 * kTwips);  // font height
  Rgb(b, o.TextColor);
  U8(b, 0xFF);  // opaque
  U8(b, 2);     // centred
  U16(b, 0);    // left margin
  U16(b, 0);    // right margin
  U16(b, 0);    // indent
  U16(b, 0);    // leading
  U8(b, 0);     // no variable name
  b.append(o.Text.toUtf8());
  U8(b, 0);
  return b;
}

QByteArray ZlibCompress(const QByteArray& data) {
  uLongf size = compressBound(uLong(data.size()));
  QByteArray out(qsizetype(size), Qt::Uninitialized);
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                uLong(data.size()), 9) != Z_OK) {
    throw EPavonaError(QStringLiteral("zlib compression failed"));
  }
  out.resize(qsizetype(size));
  return out;
}

// The .lzma ("alone") format: 5 bytes of properties, 8 of size, then the data.
QByteArray LzmaAloneCompress(const QByteArray& data) {
  lzma_options_lzma options;
  lzma_lzma_preset(&options, 6);
  lzma_stream s = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&s, &options) != LZMA_OK) throw EPavonaError(QStringLiteral("LZMA set-up failed"));
  QByteArray out(qsizetype(lzma_stream_buffer_bound(size_t(data.size())) + 64), Qt::Uninitialized);
  s.next_in = reinterpret_cast<const uint8_t*>(data.constData());
  s.avail_in = size_t(data.size());
  s.next_out = reinterpret_cast<uint8_t*>(out.data());
  s.avail_out = size_t(out.size());
  const lzma_ret rc = lzma_code(&s, LZMA_FINISH);
  const size_t written = size_t(out.size()) - s.avail_out;
  lzma_end(&s);
  if (rc != LZMA_STREAM_END) throw EPavonaError(QStringLiteral("LZMA compression failed"));
  out.resize(qsizetype(written));
  return out;
}

}  // namespace

TSwfGenPlacement SwfGenShapePlacement(const TSwfGenOptions& o, int shape, int frame) {
  const double n = std::max(o.ShapeCount, 1), frames = std::max(o.FrameCount, 1);
  const double w = o.Width, h = o.Height, s = o.ShapeSize;
  TSwfGenPlacement p;
  switch (o.Motion) {
    case TSwfGenMotion::Linear:
      p.X = s / 2 + (o.FrameCount > 1 ? (w - s) * frame / (frames - 1) : 0);
      p.Y = h * (shape + 1) / (n + 1);
      break;
    case TSwfGenMotion::Bounce:
      p.X = w * (shape + 1) / (n + 1);
      p.Y = (h - s / 2) - (h - s) * std::fabs(std::sin(2 * M_PI * frame / frames + M_PI * shape / n));
      break;
    case TSwfGenMotion::Orbit: {
      const double sign = shape % 2 == 0 ? 1 : -1;
      const double a = 2 * M_PI * (sign * frame / frames + shape / n);
      const double r = std::min(w, h) * (0.38 - 0.16 * (shape % 2));
      p.X = w / 2 + r * std::cos(a);
      p.Y = h / 2 + r * std::sin(a);
      p.Angle = 2 * a;
      break;
    }
  }
  return p;
}

QString CheckSwfGenOptions(const TSwfGenOptions& o) {
  if (o.Width < 1 || o.Width > 8191 || o.Height < 1 || o.Height > 8191) {
    return QStringLiteral("stage size must be 1 to 8191 pixels each way");
  }
  if (!(o.FrameRate > 0 && o.FrameRate < 256) || std::lround(o.FrameRate * 256) < 1 ||
      std::lround(o.FrameRate * 256) > 0xFFFF) {
    return QStringLiteral("frame rate must be more than 0 and less than 256");
  }
  if (o.FrameCount < 1 || o.FrameCount > 0xFFFF) return QStringLiteral("frame count must be 1 to 65535");
  // PlaceObject2 came with SWF 3.
  if (o.Version < 3 || o.Version > 255) return QStringLiteral("SWF version must be 3 to 255");
  if (o.Background > 0xFFFFFF || o.TextColor > 0xFFFFFF) return QStringLiteral("colours are 0xRRGGBB");
  if (o.ShapeCount < 0 || o.ShapeCount > 1000) return QStringLiteral("shape count must be 0 to 1000");
  if (o.ShapeCount > 0 && o.Colors.isEmpty()) return QStringLiteral("shapes need at least one colour");
  for (quint32 c : o.Colors) {
    if (c > 0xFFFFFF) return QStringLiteral("colours are 0xRRGGBB");
  }
  // Edge records hold at most 17-bit deltas.
  if (o.ShapeSize < 2 || o.ShapeSize > 1600) return QStringLiteral("shape size must be 2 to 1600 pixels");
  if (o.Compression == TSwfCompression::Zlib && o.Version < 6) {
    return QStringLiteral("zlib compression needs SWF version 6 or later");
  }
  if (o.Compression == TSwfCompression::Lzma && o.Version < 13) {
    return QStringLiteral("LZMA compression needs SWF version 13 or later");
  }
  if (o.ActionScript3 && o.Version < 9) return QStringLiteral("ActionScript 3 needs SWF version 9 or later");
  if (!o.Text.isEmpty()) {
    // Strings are UTF-8 from SWF 6 on.
    if (o.Version < 6) return QStringLiteral("text needs SWF version 6 or later");
    if (o.Text.contains(QChar(0))) return QStringLiteral("text must not hold a NUL character");
  }
  return QString();
}

QByteArray GenerateSwf(const TSwfGenOptions& o) {
  const QString problem = CheckSwfGenOptions(o);
  if (!problem.isEmpty()) throw EPavonaError(problem);

  QByteArray body = Rect(0, o.Width * kTwips, 0, o.Height * kTwips);
  U16(body, quint32(std::lround(o.FrameRate * 256)));
  U16(body, quint32(o.FrameCount));

  // FileAttributes came with SWF 8 and must be the first tag.
  if (o.Version >= 8) {
    QByteArray flags;
    U32(flags, o.ActionScript3 ? kSwfFileAttributesAs3 : 0);
    Tag(body, kTagFileAttributes, flags);
  }
  QByteArray background;
  Rgb(background, o.Background);
  Tag(body, kTagSetBackgroundColor, background);
  for (int i = 0; i < o.ShapeCount; ++i) {
    Tag(body, kTagDefineShape, DefineShape(i + 1, o.Shape, o.ShapeSize, o.Colors[i % o.Colors.size()]));
  }
  const int fontId = o.ShapeCount + 1, textId = o.ShapeCount + 2;
  if (!o.Text.isEmpty()) {
    Tag(body, kTagDefineFont2, DefineDeviceFont(fontId));
    Tag(body, kTagDefineEditText, DefineEditText(textId, fontId, o));
  }
  for (int f = 0; f < o.FrameCount; ++f) {
    for (int i = 0; i < o.ShapeCount; ++i) {
      Tag(body, kTagPlaceObject2,
          PlaceObject2(i + 1, f == 0 ? i + 1 : 0, Matrix(SwfGenShapePlacement(o, i, f))));
    }
    if (f == 0 && !o.Text.isEmpty())
      Tag(body, kTagPlaceObject2, PlaceObject2(o.ShapeCount + 1, textId, Matrix({})));
    Tag(body, kTagShowFrame, QByteArray());
  }
  Tag(body, kSwfTagEnd, QByteArray());

  QByteArray file;
  switch (o.Compression) {
    case TSwfCompression::None:
      file = "FWS";
      break;
    case TSwfCompression::Zlib:
      file = "CWS";
      break;
    case TSwfCompression::Lzma:
      file = "ZWS";
      break;
  }
  U8(file, o.Version);
  U32(file, quint32(body.size() + 8));
  switch (o.Compression) {
    case TSwfCompression::None:
      file.append(body);
      break;
    case TSwfCompression::Zlib:
      file.append(ZlibCompress(body));
      break;
    case TSwfCompression::Lzma: {
      const QByteArray alone = LzmaAloneCompress(body);
      // ZWS keeps the 5 property bytes but not the 8-byte size of the .lzma header.
      U32(file, quint32(alone.size() - 13));
      file.append(alone.left(5));
      file.append(alone.mid(13));
      break;
    }
  }
  return file;
}

QByteArray ProjectorPlayerPart(const TProjectorOptions& o) {
  QByteArray b("MZ");
  const QByteArray filler = "This stands in for a Flash player; nothing here is executable. ";
  while (b.size() < o.PlayerSize) b.append(filler);
  b.truncate(qsizetype(o.PlayerSize));
  return b;
}

QByteArray ProjectorTrailer(qint32 movieLength, const TProjectorOptions& o) {
  QByteArray b = o.Marker.leftJustified(3, '\0', true);
  U8(b, 0xFA);
  U32(b, quint32(movieLength));
  return b;
}

QByteArray MakeProjector(const QByteArray& movie, const TProjectorOptions& o) {
  return ProjectorPlayerPart(o) + movie + ProjectorTrailer(qint32(movie.size()), o);
}
