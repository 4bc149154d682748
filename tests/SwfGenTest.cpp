#include <gtest/gtest.h>

#include <QMap>
#include <cmath>

#include "PavonaError.h"
#include "SwfGen.h"
#include "SwfHeader.h"

namespace {

// Reads SWF bit fields back, most significant bit first, independently of the
// generator's writer.
class Bits {
 public:
  Bits(const QByteArray& data, qint64 byteOffset) : data_(data), bit_(byteOffset * 8) {}
  quint32 U(int n) {
    quint32 v = 0;
    for (int i = 0; i < n; ++i, ++bit_) {
      if (bit_ >= data_.size() * 8) throw std::out_of_range("read past the tag");
      v = (v << 1) | ((uchar(data_[bit_ / 8]) >> (7 - bit_ % 8)) & 1);
    }
    return v;
  }
  qint32 S(int n) {
    const quint32 v = U(n);
    return n > 0 && (v >> (n - 1)) ? qint32(v | ~((quint64(1) << n) - 1)) : qint32(v);
  }
  void Align() { bit_ = (bit_ + 7) / 8 * 8; }
  qint64 Byte() const { return bit_ / 8; }
  quint32 U8() { return U(8); }
  quint32 U16() { return U8() | (U8() << 8); }

 private:
  const QByteArray& data_;
  qint64 bit_;
};

struct Rect {
  qint32 xMin, xMax, yMin, yMax;
};

Rect ReadRect(Bits& b) {
  const int n = int(b.U(5));
  Rect r{b.S(n), b.S(n), b.S(n), b.S(n)};
  b.Align();
  return r;
}

struct Matrix {
  double scaleX = 1, scaleY = 1, skew0 = 0, skew1 = 0;
  qint32 tx = 0, ty = 0;
};

Matrix ReadMatrix(Bits& b) {
  Matrix m;
  if (b.U(1)) {
    const int n = int(b.U(5));
    m.scaleX = b.S(n) / 65536.0;
    m.scaleY = b.S(n) / 65536.0;
  }
  if (b.U(1)) {
    const int n = int(b.U(5));
    m.skew0 = b.S(n) / 65536.0;
    m.skew1 = b.S(n) / 65536.0;
  }
  const int n = int(b.U(5));
  m.tx = b.S(n);
  m.ty = b.S(n);
  b.Align();
  return m;
}

struct Shape {
  quint32 colour = 0;
  Rect bounds{};
  int straightEdges = 0, curvedEdges = 0;
  qint32 startX = 0, startY = 0, endX = 0, endY = 0;
  bool withinBounds = true;
};

Shape ReadDefineShape(const QByteArray& movie, const TSwfTag& tag, int& id) {
  Bits b(movie, tag.BodyOffset);
  Shape s;
  id = int(b.U16());
  s.bounds = ReadRect(b);
  EXPECT_EQ(b.U8(), 1u) << "fill styles";
  EXPECT_EQ(b.U8(), 0u) << "solid fill";
  s.colour = (b.U8() << 16) | (b.U8() << 8) | b.U8();
  EXPECT_EQ(b.U8(), 0u) << "line styles";
  const int fillBits = int(b.U(4)), lineBits = int(b.U(4));
  qint32 x = 0, y = 0;
  bool first = true;
  auto track = [&](qint32 nx, qint32 ny) {
    x = nx, y = ny;
    if (x < s.bounds.xMin || x > s.bounds.xMax || y < s.bounds.yMin || y > s.bounds.yMax)
      s.withinBounds = false;
  };
  for (;;) {
    if (b.U(1) == 0) {
      const quint32 flags = b.U(5);
      if (flags == 0) break;
      EXPECT_TRUE(first) << "one style change only";
      EXPECT_EQ(flags, 0b00101u) << "fill style 1 and a move";
      const int n = int(b.U(5));
      const qint32 mx = b.S(n), my = b.S(n);
      track(mx, my);
      s.startX = mx, s.startY = my;
      EXPECT_EQ(b.U(fillBits), 1u);
      (void)lineBits;
      first = false;
    } else if (b.U(1) == 1) {
      const int n = int(b.U(4)) + 2;
      if (b.U(1)) {
        const qint32 dx = b.S(n), dy = b.S(n);
        track(x + dx, y + dy);
      } else {
        const bool vertical = b.U(1);
        const qint32 d = b.S(n);
        track(vertical ? x : x + d, vertical ? y + d : y);
      }
      ++s.straightEdges;
    } else {
      const int n = int(b.U(4)) + 2;
      const qint32 cx = b.S(n), cy = b.S(n), ax = b.S(n), ay = b.S(n);
      track(x + cx + ax, y + cy + ay);
      ++s.curvedEdges;
    }
  }
  b.Align();
  EXPECT_EQ(b.Byte(), tag.BodyOffset + tag.BodyLength) << "shape records fill the tag exactly";
  s.endX = x, s.endY = y;
  return s;
}

struct StructureCase {
  const char* name;
  TSwfGenShape shape;
  TSwfGenMotion motion;
  int shapes;
  int frames;
  const char* text;
};

class SwfGenStructure : public testing::TestWithParam<StructureCase> {};

// Decodes every tag of the generated movie and compares it with the options
// and the documented placement formula.
TEST_P(SwfGenStructure, TagsDescribeTheRequestedMovie) {
  const StructureCase& c = GetParam();
  TSwfGenOptions o;
  o.Shape = c.shape;
  o.Motion = c.motion;
  o.ShapeCount = c.shapes;
  o.FrameCount = c.frames;
  o.Text = QString::fromUtf8(c.text);
  o.Background = 0x123456;
  o.Colors = {0xFF0000, 0x00FF00, 0x0000FF};
  const QByteArray movie = GenerateSwf(o);
  QList<TSwfTag> tags;
  ASSERT_TRUE(ListSwfTags(movie, tags));
  ASSERT_EQ(tags.back().BodyOffset + tags.back().BodyLength, movie.size()) << "nothing after the End tag";

  ASSERT_EQ(tags[0].Code, kSwfTagFileAttributes);
  ASSERT_EQ(tags[1].Code, 9);
  Bits bg(movie, tags[1].BodyOffset);
  EXPECT_EQ((bg.U8() << 16) | (bg.U8() << 8) | bg.U8(), o.Background);

  int frame = 0, shapesDefined = 0;
  QMap<int, int> placedCharacter;  // depth -> character
  QString text;
  for (const TSwfTag& tag : tags) {
    SCOPED_TRACE("tag " + std::to_string(tag.Code) + " in frame " + std::to_string(frame));
    switch (tag.Code) {
      case 2: {
        int id = 0;
        const Shape s = ReadDefineShape(movie, tag, id);
        EXPECT_EQ(id, shapesDefined + 1);
        EXPECT_EQ(s.colour, o.Colors[shapesDefined % o.Colors.size()]);
        EXPECT_EQ(s.startX, s.endX);
        EXPECT_EQ(s.startY, s.endY);
        EXPECT_TRUE(s.withinBounds);
        const int r = o.ShapeSize * 10;
        EXPECT_EQ(s.bounds.xMin, -r);
        EXPECT_EQ(s.bounds.yMax, r);
        const int straight = c.shape == TSwfGenShape::Square ? 4 : c.shape == TSwfGenShape::Star ? 10 : 0;
        EXPECT_EQ(s.straightEdges, straight);
        EXPECT_EQ(s.curvedEdges, c.shape == TSwfGenShape::Circle ? 8 : 0);
        ++shapesDefined;
        break;
      }
      case 26: {
        Bits b(movie, tag.BodyOffset);
        const quint32 flags = b.U8();
        const int depth = int(b.U16());
        if (flags & 0x02) {
          EXPECT_EQ(frame, 0) << "characters are placed in the first frame";
          placedCharacter[depth] = int(b.U16());
        } else {
          EXPECT_EQ(flags, 0x05u) << "later frames move";
        }
        ASSERT_TRUE(flags & 0x04);
        const Matrix m = ReadMatrix(b);
        EXPECT_EQ(b.Byte(), tag.BodyOffset + tag.BodyLength);
        if (depth > o.ShapeCount) {
          EXPECT_EQ(m.tx, 0);
          EXPECT_EQ(m.ty, 0);
          break;
        }
        const TSwfGenPlacement p = SwfGenShapePlacement(o, depth - 1, frame);
        EXPECT_EQ(m.tx, std::lround(p.X * 20)) << "depth " << depth;
        EXPECT_EQ(m.ty, std::lround(p.Y * 20)) << "depth " << depth;
        EXPECT_NEAR(m.scaleX, std::cos(p.Angle), 1e-4);
        EXPECT_NEAR(m.scaleY, std::cos(p.Angle), 1e-4);
        EXPECT_NEAR(m.skew0, std::sin(p.Angle), 1e-4);
        EXPECT_NEAR(m.skew1, -std::sin(p.Angle), 1e-4);
        break;
      }
      case 37: {
        const QByteArray body = movie.mid(tag.BodyOffset, tag.BodyLength);
        ASSERT_TRUE(body.endsWith('\0'));
        text = QString::fromUtf8(body.left(body.size() - 1).split('\0').last());
        break;
      }
      case 48:
        EXPECT_TRUE(movie.mid(tag.BodyOffset, tag.BodyLength).contains("_sans"));
        break;
      case kSwfTagShowFrame:
        ++frame;
        break;
    }
  }
  EXPECT_EQ(frame, o.FrameCount);
  EXPECT_EQ(shapesDefined, o.ShapeCount);
  EXPECT_EQ(text, o.Text);
  for (int i = 0; i < o.ShapeCount; ++i) {
    EXPECT_EQ(placedCharacter.value(i + 1), i + 1);
  }
  if (!o.Text.isEmpty()) {
    EXPECT_EQ(placedCharacter.value(o.ShapeCount + 1), o.ShapeCount + 2);
  }
}

const StructureCase kStructures[] = {
    {"LinearSquare", TSwfGenShape::Square, TSwfGenMotion::Linear, 1, 100, ""},
    {"SingleFrame", TSwfGenShape::Square, TSwfGenMotion::Linear, 2, 1, ""},
    {"BouncingCircles", TSwfGenShape::Circle, TSwfGenMotion::Bounce, 5, 60, ""},
    {"OrbitingStars", TSwfGenShape::Star, TSwfGenMotion::Orbit, 8, 48, "星光灿烂"},
    {"TextOnly", TSwfGenShape::Square, TSwfGenMotion::Linear, 0, 3,
     "新年快乐, long enough to need the long tag form"},
};
INSTANTIATE_TEST_SUITE_P(Kinds, SwfGenStructure, testing::ValuesIn(kStructures),
                         [](const testing::TestParamInfo<StructureCase>& i) { return i.param.name; });

// The example in SwfGen.h, which the player's picture test relies on.
TEST(SwfGen, DocumentedExamplePosition) {
  TSwfGenOptions o;
  o.ShapeSize = 50;
  const TSwfGenPlacement first = SwfGenShapePlacement(o, 0, 0), mid = SwfGenShapePlacement(o, 0, 50),
                         last = SwfGenShapePlacement(o, 0, 99);
  EXPECT_DOUBLE_EQ(first.X, 25);
  EXPECT_NEAR(mid.X, 277.53, 0.005);
  EXPECT_DOUBLE_EQ(mid.Y, 200);
  EXPECT_DOUBLE_EQ(last.X, 525);
  EXPECT_EQ(mid.Angle, 0);
}

TEST(SwfGen, LinearAndBouncingShapesStayOnTheStage) {
  for (TSwfGenMotion motion : {TSwfGenMotion::Linear, TSwfGenMotion::Bounce}) {
    TSwfGenOptions o;
    o.Motion = motion;
    o.ShapeCount = 7;
    o.FrameCount = 90;
    o.ShapeSize = 44;
    for (int i = 0; i < o.ShapeCount; ++i) {
      for (int f = 0; f < o.FrameCount; ++f) {
        const TSwfGenPlacement p = SwfGenShapePlacement(o, i, f);
        EXPECT_GE(p.X - 22, -1e-9) << i << ' ' << f;
        EXPECT_LE(p.X + 22, o.Width + 1e-9) << i << ' ' << f;
        EXPECT_GE(p.Y - 22, -1e-9) << i << ' ' << f;
        EXPECT_LE(p.Y + 22, o.Height + 1e-9) << i << ' ' << f;
      }
    }
  }
}

TEST(SwfGen, RefusesOptionsThatMakeNoValidMovie) {
  struct Case {
    const char* name;
    void (*change)(TSwfGenOptions&);
    bool valid;
  } cases[] = {
      {"defaults", [](TSwfGenOptions&) {}, true},
      {"zero width", [](TSwfGenOptions& o) { o.Width = 0; }, false},
      {"huge height", [](TSwfGenOptions& o) { o.Height = 8192; }, false},
      {"zero rate", [](TSwfGenOptions& o) { o.FrameRate = 0; }, false},
      {"rate 256", [](TSwfGenOptions& o) { o.FrameRate = 256; }, false},
      {"rate NaN", [](TSwfGenOptions& o) { o.FrameRate = std::nan(""); }, false},
      {"smallest rate", [](TSwfGenOptions& o) { o.FrameRate = 1.0 / 256; }, true},
      {"no frames", [](TSwfGenOptions& o) { o.FrameCount = 0; }, false},
      {"too many frames", [](TSwfGenOptions& o) { o.FrameCount = 65536; }, false},
      {"version 2", [](TSwfGenOptions& o) { o.Version = 2; }, false},
      {"colour out of range", [](TSwfGenOptions& o) { o.Colors = {0x1000000}; }, false},
      {"no colours", [](TSwfGenOptions& o) { o.Colors.clear(); }, false},
      {"no colours, no shapes", [](TSwfGenOptions& o) { o.Colors.clear(), o.ShapeCount = 0; }, true},
      {"shape too big", [](TSwfGenOptions& o) { o.ShapeSize = 1601; }, false},
      {"biggest shape", [](TSwfGenOptions& o) { o.Width = o.Height = 1600, o.ShapeSize = 1600; }, true},
      {"zlib on 5", [](TSwfGenOptions& o) { o.Version = 5, o.Compression = TSwfCompression::Zlib; }, false},
      {"zlib on 6", [](TSwfGenOptions& o) { o.Version = 6, o.Compression = TSwfCompression::Zlib; }, true},
      {"lzma on 12", [](TSwfGenOptions& o) { o.Version = 12, o.Compression = TSwfCompression::Lzma; }, false},
      {"as3 on 8", [](TSwfGenOptions& o) { o.Version = 8, o.ActionScript3 = true; }, false},
      {"text on 5", [](TSwfGenOptions& o) { o.Version = 5, o.Text = "x"; }, false},
      {"text with NUL", [](TSwfGenOptions& o) { o.Text = QString("a") + QChar(0) + "b"; }, false},
  };
  for (const Case& c : cases) {
    TSwfGenOptions o;
    c.change(o);
    EXPECT_EQ(CheckSwfGenOptions(o).isEmpty(), c.valid) << c.name;
    if (c.valid) {
      EXPECT_TRUE(ParseSwfHeader(GenerateSwf(o)).Ok()) << c.name;
    } else {
      EXPECT_THROW(GenerateSwf(o), EPavonaError) << c.name;
    }
  }
}

}  // namespace
