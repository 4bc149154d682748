#include <gtest/gtest.h>

#include <QFile>

#include "PavonaError.h"
#include "SwfGen.h"
#include "SwfHeader.h"
#include "TestUtil.h"

namespace {

struct RoundTripCase {
  const char* name;
  TSwfCompression compression;
  int version;
  bool as3;
  const char* text;
  int width, height;
  double rate;
  int frames;
};

class SwfHeaderRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TSwfGenOptions OptionsOf(const RoundTripCase& c) {
  TSwfGenOptions o;
  o.Compression = c.compression;
  o.Version = c.version;
  o.ActionScript3 = c.as3;
  o.Text = QString::fromUtf8(c.text);
  o.Width = c.width;
  o.Height = c.height;
  o.FrameRate = c.rate;
  o.FrameCount = c.frames;
  o.ShapeCount = 3;
  o.ShapeSize = std::min({40, c.width, c.height});
  return o;
}

const char* SignatureOf(TSwfCompression c) {
  return c == TSwfCompression::None ? "FWS" : c == TSwfCompression::Zlib ? "CWS" : "ZWS";
}

TEST_P(SwfHeaderRoundTrip, ReadsBackWhatTheGeneratorWasGiven) {
  const RoundTripCase& c = GetParam();
  const QByteArray movie = GenerateSwf(OptionsOf(c));
  TempFolder dir;
  dir.Write("m.swf", movie);

  for (const TSwfHeaderResult& r : {ParseSwfHeader(movie), ReadSwfHeader(dir.Path("m.swf"))}) {
    ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
    EXPECT_TRUE(r.Message.isEmpty());
    const TSwfHeader& h = r.Header;
    EXPECT_EQ(h.Signature, QByteArray(SignatureOf(c.compression)));
    EXPECT_EQ(h.Compression, c.compression);
    EXPECT_EQ(h.Version, c.version);
    EXPECT_EQ(h.Width(), c.width);
    EXPECT_EQ(h.Height(), c.height);
    EXPECT_DOUBLE_EQ(h.FrameRate(), c.rate);
    EXPECT_EQ(h.FrameCount, c.frames);
    EXPECT_EQ(h.ActionScript3, c.as3);
    EXPECT_EQ(h.HasFileAttributes, c.version >= 8);
  }

  // The uncompressed copy is the same movie as the generator's FWS file.
  TSwfGenOptions plain = OptionsOf(c);
  plain.Compression = TSwfCompression::None;
  const TSwfMovieResult u = UncompressSwf(movie);
  ASSERT_TRUE(u.Ok()) << u.Message.toStdString();
  EXPECT_EQ(u.Movie, GenerateSwf(plain));
  EXPECT_EQ(u.Header.Signature, QByteArray(SignatureOf(c.compression)));
  const TSwfMovieResult fromFile = ReadUncompressedSwf(dir.Path("m.swf"));
  ASSERT_TRUE(fromFile.Ok());
  EXPECT_EQ(fromFile.Movie, u.Movie);
  EXPECT_EQ(ParseSwfHeader(u.Movie).Header.FileLength, quint32(u.Movie.size()));
}

const RoundTripCase kRoundTrips[] = {
    {"Plain", TSwfCompression::None, 10, false, "", 550, 400, 24, 100},
    {"PlainAs3", TSwfCompression::None, 10, true, "", 800, 600, 30, 1},
    {"Version6NoFileAttributes", TSwfCompression::None, 6, false, "", 320, 240, 12, 10},
    {"Version3", TSwfCompression::None, 3, false, "", 2, 2, 1, 2},
    {"Zlib", TSwfCompression::Zlib, 9, false, "", 550, 400, 24, 50},
    {"ZlibAs3", TSwfCompression::Zlib, 15, true, "", 1024, 768, 60, 200},
    {"ZlibText", TSwfCompression::Zlib, 6, false, "新年快乐 Happy New Year", 640, 480, 29.96875, 20},
    {"PlainTextAs3", TSwfCompression::None, 9, true, "屏保", 2880, 2880, 0.5, 65535},
    {"Lzma", TSwfCompression::Lzma, 13, false, "", 550, 400, 24, 30},
    {"LzmaAs3Text", TSwfCompression::Lzma, 43, true, "星光", 8191, 100, 255.99609375, 5},
};
INSTANTIATE_TEST_SUITE_P(Generated, SwfHeaderRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const testing::TestParamInfo<RoundTripCase>& i) { return i.param.name; });

// Bytes of a movie assembled by hand, for headers the generator never writes.
QByteArray HandMovie(const QByteArray& afterHeader, const char* signature = "FWS", int extraLength = 0) {
  QByteArray m(signature, 3);
  m.append(char(10));
  const quint32 length = quint32(8 + afterHeader.size() + extraLength);
  for (int i = 0; i < 4; ++i) m.append(char(length >> (8 * i)));
  return m + afterHeader;
}

// RECT of 31-bit fields (the widest), rate 12.5, 7 frames.
QByteArray WideHeader() {
  QByteArray b;
  // 5 bits of 31, then four fields: 0, 0x3FFFFFFF, -20, 20 (twips); packed by hand.
  quint64 bits[4] = {0, 0x3FFFFFFF, quint64(-20) & 0x7FFFFFFF, 20};
  QList<int> stream;
  for (int i = 4; i >= 0; --i) stream.append((31 >> i) & 1);
  for (quint64 v : bits) {
    for (int i = 30; i >= 0; --i) stream.append(int((v >> i) & 1));
  }
  while (stream.size() % 8) stream.append(0);
  for (int i = 0; i < stream.size(); i += 8) {
    int byte = 0;
    for (int k = 0; k < 8; ++k) byte = (byte << 1) | stream[i + k];
    b.append(char(byte));
  }
  b.append(char(0x80));  // 12.5 = 12 + 128/256
  b.append(char(12));
  b.append(char(7));
  b.append(char(0));
  return b;
}

TEST(SwfHeader, ReadsWideRectanglesAndLongTagHeaders) {
  // FileAttributes in the long record form, AS3 flag set.
  QByteArray tags;
  tags.append(char(0x3F | (69 << 6)));
  tags.append(char(69 >> 2));
  tags.append(QByteArray("\x04\x00\x00\x00", 4));
  tags.append(QByteArray("\x08\x00\x00\x00", 4));
  tags.append(QByteArray("\x00\x00", 2));
  const QByteArray movie = HandMovie(WideHeader() + tags);
  const TSwfHeaderResult r = ParseSwfHeader(movie);
  ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
  EXPECT_EQ(r.Header.XMin, 0);
  EXPECT_EQ(r.Header.XMax, 0x3FFFFFFF);
  EXPECT_EQ(r.Header.YMin, -20);
  EXPECT_EQ(r.Header.YMax, 20);
  EXPECT_DOUBLE_EQ(r.Header.Height(), 2.0);
  EXPECT_DOUBLE_EQ(r.Header.FrameRate(), 12.5);
  EXPECT_EQ(r.Header.FrameCount, 7);
  EXPECT_EQ(r.Header.HeaderLength, 8 + 17 + 4);
  EXPECT_TRUE(r.Header.ActionScript3);

  QList<TSwfTag> list;
  ASSERT_TRUE(ListSwfTags(movie, list));
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list[0].Code, 69);
  EXPECT_EQ(list[0].BodyOffset, 8 + 17 + 4 + 6);
  EXPECT_EQ(list[0].BodyLength, 4);
  EXPECT_EQ(list[1].Code, 0);
}

TEST(SwfHeader, As3OnlyFromAFirstFileAttributesTag) {
  const QByteArray header = WideHeader();
  struct Case {
    const char* name;
    QByteArray tags;
    bool as3;
    bool hasAttributes;
  } cases[] = {
      {"flag set", QByteArray("\x44\x11\x08\x00\x00\x00\x00\x00", 8), true, true},
      {"other flags only", QByteArray("\x44\x11\x71\x00\x00\x00\x00\x00", 8), false, true},
      {"one flag byte", QByteArray("\x41\x11\x08\x00\x00", 5), true, true},
      {"empty attributes", QByteArray("\x40\x11\x00\x00", 4), false, true},
      // SetBackgroundColor first: a later FileAttributes does not count.
      {"not first", QByteArray("\x43\x02\xFF\xFF\xFF\x44\x11\x08\x00\x00\x00\x00\x00", 13), false, false},
  };
  for (const Case& c : cases) {
    const TSwfHeaderResult r = ParseSwfHeader(HandMovie(header + c.tags));
    ASSERT_TRUE(r.Ok()) << c.name;
    EXPECT_EQ(r.Header.ActionScript3, c.as3) << c.name;
    EXPECT_EQ(r.Header.HasFileAttributes, c.hasAttributes) << c.name;
  }
}

TEST(SwfHeader, RefusesWhatIsNoSwf) {
  const QByteArray notSwf[] = {QByteArray(),
                               QByteArray("F"),
                               QByteArray("FW"),
                               QByteArray("MZ\x90\x00 0123456789"),
                               QByteArray("fws\x0a\x20\x00\x00\x00 lower case"),
                               QByteArray("GWS\x0a\x20\x00\x00\x00 other letter")};
  for (const QByteArray& bytes : notSwf) {
    const TSwfHeaderResult r = ParseSwfHeader(bytes);
    EXPECT_EQ(r.Error, TSwfError::NotSwf) << bytes.toHex().toStdString();
    EXPECT_TRUE(r.Message.contains("SWF")) << r.Message.toStdString();
  }
}

// Every cut of a movie fails cleanly until the header and first tag are in;
// from then on the header reads the same as from the whole file.
TEST(SwfHeader, CutFilesAreTruncatedNeverMisread) {
  for (TSwfCompression c : {TSwfCompression::None, TSwfCompression::Zlib, TSwfCompression::Lzma}) {
    TSwfGenOptions o;
    o.Compression = c;
    o.Version = 13;
    o.ActionScript3 = true;
    o.FrameCount = 40;
    const QByteArray movie = GenerateSwf(o);
    const TSwfHeader whole = ParseSwfHeader(movie).Header;
    bool readable = false;
    for (qsizetype cut = 0; cut < movie.size(); ++cut) {
      const TSwfHeaderResult r = ParseSwfHeader(movie.left(cut));
      if (cut < 3) {
        EXPECT_EQ(r.Error, TSwfError::NotSwf) << cut;
      } else if (c == TSwfCompression::None) {
        // An uncompressed file shorter than its length field is cut.
        EXPECT_EQ(r.Error, TSwfError::Truncated) << cut;
      } else if (r.Ok()) {
        readable = true;
        EXPECT_EQ(r.Header.FrameCount, whole.FrameCount);
        EXPECT_EQ(r.Header.XMax, whole.XMax);
        EXPECT_TRUE(r.Header.ActionScript3);
      } else {
        EXPECT_FALSE(readable) << "readable before, refused at " << cut;
        EXPECT_EQ(r.Error, TSwfError::Truncated) << cut;
      }
      const TSwfMovieResult u = UncompressSwf(movie.left(cut));
      // An LZMA movie may lose its end marker and still be whole.
      if (u.Ok()) {
        EXPECT_EQ(u.Movie, UncompressSwf(movie).Movie) << cut;
      }
      if (c == TSwfCompression::Zlib) {
        EXPECT_FALSE(u.Ok()) << cut;
      }
    }
    if (c != TSwfCompression::None) {
      EXPECT_TRUE(readable);
    }
  }
}

// The header reader decompresses only the start: damage further on is found by
// the full decompression alone.
TEST(SwfHeader, HeaderNeedsOnlyTheStartOfACompressedMovie) {
  for (TSwfCompression c : {TSwfCompression::Zlib, TSwfCompression::Lzma}) {
    TSwfGenOptions o;
    o.Compression = c;
    o.Version = 13;
    o.ShapeCount = 50;
    o.FrameCount = 300;
    o.Motion = TSwfGenMotion::Orbit;
    QByteArray movie = GenerateSwf(o);
    ASSERT_GT(movie.size(), 20000);
    for (qsizetype i = movie.size() / 2; i < movie.size(); ++i) movie[i] = char(movie[i] ^ 0x5A);
    const TSwfHeaderResult r = ParseSwfHeader(movie);
    ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
    EXPECT_EQ(r.Header.FrameCount, 300);
    const TSwfMovieResult u = UncompressSwf(movie);
    // zlib's checksum always finds the damage (if nothing else does first);
    // LZMA data has none and may decode to garbage.
    if (c == TSwfCompression::Zlib) {
      EXPECT_FALSE(u.Ok());
    }
    TSwfGenOptions plain = o;
    plain.Compression = TSwfCompression::None;
    if (u.Ok()) {
      EXPECT_NE(u.Movie, GenerateSwf(plain));
    }
  }
}

TEST(SwfHeader, CorruptCompressedStartIsReported) {
  struct Case {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"zlib header garbage", QByteArray("CWS\x0a\x40\x00\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 16)},
      {"zlib preset dictionary", QByteArray("CWS\x0a\x40\x00\x00\x00\x78\xBB\x00\x00\x00\x01\x00\x00", 16)},
      {"lzma bad properties",
       QByteArray("ZWS\x0d\x40\x00\x00\x00\x10\x00\x00\x00\xFF\x00\x00\x10\x00\x00\x00", 19)},
      {"lzma length below header",
       QByteArray("ZWS\x0d\x04\x00\x00\x00\x10\x00\x00\x00\x5D\x00\x00\x10\x00", 17)},
  };
  for (const Case& c : cases) {
    const TSwfHeaderResult r = ParseSwfHeader(c.bytes);
    EXPECT_EQ(r.Error, TSwfError::Corrupt) << c.name;
    EXPECT_FALSE(r.Message.isEmpty()) << c.name;
    EXPECT_EQ(UncompressSwf(c.bytes).Error, TSwfError::Corrupt) << c.name;
  }
}

TEST(SwfHeader, UncompressRespectsItsCap) {
  TSwfGenOptions o;
  o.FrameCount = 500;
  o.ShapeCount = 4;
  for (TSwfCompression c : {TSwfCompression::None, TSwfCompression::Zlib, TSwfCompression::Lzma}) {
    o.Compression = c;
    o.Version = 13;
    const QByteArray movie = GenerateSwf(o);
    const qint64 size = UncompressSwf(movie).Movie.size();
    ASSERT_GT(size, 1000);
    EXPECT_TRUE(UncompressSwf(movie, size).Ok());
    const TSwfMovieResult over = UncompressSwf(movie, size - 1);
    EXPECT_EQ(over.Error, TSwfError::TooLarge);
    EXPECT_TRUE(over.Movie.isEmpty());
  }
  // The cap holds against the decoded bytes, not only the length field.
  o.Compression = TSwfCompression::Zlib;
  QByteArray understated = GenerateSwf(o);
  const qint64 size = UncompressSwf(understated).Movie.size();
  understated[4] = char(100), understated[5] = 0, understated[6] = 0, understated[7] = 0;
  EXPECT_EQ(UncompressSwf(understated, size - 1).Error, TSwfError::TooLarge);
  EXPECT_TRUE(UncompressSwf(understated, size).Ok());
  // A length field that claims more than the cap is refused without decoding.
  QByteArray forged = GenerateSwf(o);
  forged[4] = char(0xFF), forged[5] = char(0xFF), forged[6] = char(0xFF), forged[7] = char(0x7F);
  EXPECT_EQ(UncompressSwf(forged).Error, TSwfError::TooLarge);
}

// A zlib movie whose length field lies is taken as long as its stream.
TEST(SwfHeader, ZlibMovieLengthComesFromTheStream) {
  TSwfGenOptions o;
  o.Compression = TSwfCompression::Zlib;
  QByteArray movie = GenerateSwf(o);
  const TSwfMovieResult honest = UncompressSwf(movie);
  movie[4] = char(movie[4] + 7);
  const TSwfMovieResult u = UncompressSwf(movie + "trailing bytes");
  ASSERT_TRUE(u.Ok());
  EXPECT_EQ(u.Movie, honest.Movie);
}

TEST(SwfHeader, ListTagsStopsAtOverrunsAndMissingEnd) {
  const QByteArray movie = GenerateSwf(TSwfGenOptions{});
  QList<TSwfTag> tags;
  ASSERT_TRUE(ListSwfTags(movie, tags));
  EXPECT_EQ(tags.back().Code, kSwfTagEnd);
  EXPECT_EQ(tags.back().BodyOffset, movie.size());
  EXPECT_FALSE(ListSwfTags(movie.left(movie.size() - 2), tags));
  EXPECT_FALSE(ListSwfTags(movie.left(movie.size() - 5), tags));
  EXPECT_FALSE(ListSwfTags(movie.left(5), tags));
  // A long tag header claiming more bytes than there are.
  QByteArray overrun = HandMovie(WideHeader() + QByteArray("\xFF\x00\xFF\xFF\xFF\x7F", 6));
  EXPECT_FALSE(ListSwfTags(overrun, tags));
  EXPECT_TRUE(tags.isEmpty());
}

TEST(SwfHeader, FileErrorsAreExceptions) {
  TempFolder dir;
  EXPECT_THROW(ReadSwfHeader(dir.Path("missing.swf")), EInOutError);
  EXPECT_THROW(ReadUncompressedSwf(dir.Path("missing.swf")), EInOutError);
  try {
    ReadSwfHeader(dir.Path("missing.swf"));
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.Message().contains(dir.Path("missing.swf")));
  }
  // A folder opens but cannot be read.
  EXPECT_THROW(ReadSwfHeader(dir.Path()), EInOutError);
}

}  // namespace
