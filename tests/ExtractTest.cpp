#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>

#include "AccessorialTools.h"
#include "PavonaError.h"
#include "SwfGen.h"
#include "SwfHeader.h"
#include "TestUtil.h"

namespace {

// Deterministic bytes that look nothing like a trailer.
QByteArray Pattern(qsizetype n, int seed) {
  QByteArray b(n, Qt::Uninitialized);
  quint32 x = quint32(seed) * 2654435761u + 1;
  for (qsizetype i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    b[i] = char(x >> 23);
  }
  return b;
}

QByteArray Le32(qint32 v) {
  QByteArray b;
  for (int i = 0; i < 4; ++i) b.append(char(quint32(v) >> (8 * i)));
  return b;
}

// A projector: player bytes, the movie, 3 bytes, the signature byte, then the
// stored length.
QByteArray Projector(const QByteArray& player, const QByteArray& movie, uchar signature, qint32 stored) {
  return player + movie + QByteArray("\x11\x22\x33", 3) + char(signature) + Le32(stored);
}

struct TrailerCase {
  const char* name;
  QByteArray file;
  int result;
  QByteArray movie;  // the output on success
};

std::vector<TrailerCase> TrailerCases() {
  const QByteArray player = Pattern(300, 1), movie = Pattern(1000, 2);
  const qint32 available = qint32(player.size() + movie.size());
  return {
      {"movie after a player", Projector(player, movie, 0xFA, 1000), 0, movie},
      {"movie is the whole front", Projector(player, movie, 0xFA, available), 0, player + movie},
      {"no player part", Projector({}, movie, 0xFA, 1000), 0, movie},
      {"one-byte movie", Projector({}, "M", 0xFA, 1), 0, "M"},
      {"other signature byte", Projector(player, movie, 0xFB, 1000), 311, {}},
      {"signature byte zero", Projector(player, movie, 0x00, 1000), 311, {}},
      {"length zero", Projector(player, movie, 0xFA, 0), 311, {}},
      {"length minus one", Projector(player, movie, 0xFA, -1), 311, {}},
      {"length most negative", Projector(player, movie, 0xFA, INT_MIN), 311, {}},
      {"length one past the front", Projector(player, movie, 0xFA, available + 1), 311, {}},
      {"length largest", Projector(player, movie, 0xFA, INT_MAX), 311, {}},
      {"trailer only, length zero", Projector({}, {}, 0xFA, 0), 311, {}},
      {"trailer only, length one", Projector({}, {}, 0xFA, 1), 311, {}},
      {"seven bytes", QByteArray("\x11\x22\x33\xFA\x01\x00\x00", 7), 311, {}},
      {"four bytes", QByteArray("\xFA\x01\x00\x00", 4), 311, {}},
      {"empty file", QByteArray(), 311, {}},
  };
}

// Every trailer, with and without an older file at the output path: success
// writes exactly the movie, 311 leaves no output behind.
TEST(ExtractSwf, TrailerCases) {
  for (const TrailerCase& c : TrailerCases()) {
    for (bool outputExisted : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (outputExisted ? ", output existed" : ""));
      TempFolder dir;
      dir.Write("movie.exe", c.file);
      if (outputExisted) dir.Write("movie.swf", Pattern(5000, 3));
      TExtractFlash extractor;
      EXPECT_EQ(extractor.ExtractSwf(dir.Path("movie.exe"), dir.Path("movie.swf")), c.result);
      if (c.result == 0) {
        EXPECT_EQ(dir.Read("movie.swf"), c.movie);
      } else {
        EXPECT_FALSE(dir.Exists("movie.swf"));
      }
      EXPECT_EQ(dir.Read("movie.exe"), c.file);
    }
  }
}

// The 1000-byte example, with the output path proposed from the projector's.
TEST(ExtractSwf, ThousandByteExample) {
  TempFolder dir;
  QDir().mkpath(dir.Path("x"));
  const QByteArray movie = Pattern(1000, 7);
  const QString exe = dir.Path("x/movie.exe");
  const QString swf = ChangeFileExt(exe, ".swf");
  EXPECT_EQ(swf, dir.Path("x/movie.swf"));

  dir.Write("x/movie.exe", Pattern(4096, 8) + movie + QByteArray("abc\xFA\xE8\x03\x00\x00", 8));
  EXPECT_EQ(TExtractFlash().ExtractSwf(exe, swf), kExtractOk);
  EXPECT_EQ(dir.Read("x/movie.swf"), movie);

  // The same projector with another byte at size - 5: the earlier output goes.
  dir.Write("x/movie.exe", Pattern(4096, 8) + movie + QByteArray("abc\xFB\xE8\x03\x00\x00", 8));
  EXPECT_EQ(TExtractFlash().ExtractSwf(exe, swf), kExtractNotProjector);
  EXPECT_FALSE(dir.Exists("x/movie.swf"));
}

TEST(ExtractSwf, MissingProjectorWritesNothing) {
  TempFolder dir;
  QDir().mkpath(dir.Path("folder.exe"));
  dir.Write("out.swf", "keep me");
  for (const QString& exe : {dir.Path("missing.exe"), dir.Path("folder.exe"), QString()}) {
    EXPECT_EQ(TExtractFlash().ExtractSwf(exe, dir.Path("out.swf")), kExtractNoFile) << exe.toStdString();
    EXPECT_EQ(dir.Read("out.swf"), QByteArray("keep me"));
    EXPECT_EQ(TExtractFlash().ExtractSwf(exe, dir.Path("new.swf")), kExtractNoFile);
    EXPECT_FALSE(dir.Exists("new.swf"));
  }
}

// An output that is the projector itself, by any name, is refused before the
// projector could be emptied.
TEST(ExtractSwf, OutputNamingTheProjectorIsRefused) {
  TempFolder dir;
  QDir().mkpath(dir.Path("sub"));
  const QByteArray projector = Projector(Pattern(100, 4), Pattern(200, 5), 0xFA, 200);
  dir.Write("x.exe", projector);
  ASSERT_TRUE(QFile::link(dir.Path("x.exe"), dir.Path("link.swf")));
  ASSERT_TRUE(QFile::link(dir.Path("x.exe"), dir.Path("sub/x.exe")));
  const QString spellings[] = {dir.Path("x.exe"), dir.Path("sub/../x.exe"), dir.Path("./x.exe"),
                               dir.Path("link.swf")};
  for (const QString& out : spellings) {
    EXPECT_EQ(TExtractFlash().ExtractSwf(dir.Path("x.exe"), out), kExtractSameFile) << out.toStdString();
    EXPECT_EQ(dir.Read("x.exe"), projector);
  }
  // Reaching the projector through a link is no different.
  EXPECT_EQ(TExtractFlash().ExtractSwf(dir.Path("sub/x.exe"), dir.Path("x.exe")), kExtractSameFile);
  EXPECT_EQ(dir.Read("x.exe"), projector);
  // A link's own path as the projector works as usual.
  EXPECT_EQ(TExtractFlash().ExtractSwf(dir.Path("sub/x.exe"), dir.Path("sub/x.swf")), kExtractOk);
  EXPECT_EQ(dir.Read("sub/x.swf"), Pattern(200, 5));
}

// Large movies go through in pieces; the pieces must join without a seam.
TEST(ExtractSwf, CopiesAcrossChunkBoundaries) {
  TempFolder dir;
  for (qsizetype size :
       {qsizetype(1024 * 1024), qsizetype(1024 * 1024 + 1), qsizetype(3 * 1024 * 1024 + 123)}) {
    const QByteArray movie = Pattern(size, int(size));
    dir.Write("big.exe", Projector(Pattern(77, 9), movie, 0xFA, qint32(movie.size())));
    EXPECT_EQ(TExtractFlash().ExtractSwf(dir.Path("big.exe"), dir.Path("big.swf")), kExtractOk);
    EXPECT_TRUE(dir.Read("big.swf") == movie) << size;
  }
}

TEST(ExtractSwf, GeneratedMoviesComeBackWhole) {
  TempFolder dir;
  for (TSwfCompression c : {TSwfCompression::None, TSwfCompression::Zlib, TSwfCompression::Lzma}) {
    TSwfGenOptions o;
    o.Compression = c;
    o.Version = 13;
    o.Text = "文字";
    const QByteArray movie = GenerateSwf(o);
    dir.Write("gen.exe", MakeProjector(movie));
    ASSERT_EQ(TExtractFlash().ExtractSwf(dir.Path("gen.exe"), dir.Path("gen.swf")), kExtractOk);
    EXPECT_EQ(dir.Read("gen.swf"), movie);
    EXPECT_TRUE(ReadSwfHeader(dir.Path("gen.swf")).Ok());
  }
}

TEST(ExtractSwf, FileErrorsThrowWithThePath) {
  TempFolder dir;
  const QByteArray projector = Projector(Pattern(100, 4), Pattern(200, 5), 0xFA, 200);
  dir.Write("p.exe", projector);
  const QString out = dir.Path("no such folder/p.swf");
  try {
    TExtractFlash().ExtractSwf(dir.Path("p.exe"), out);
    ADD_FAILURE() << "no error for an output in a missing folder";
  } catch (const EInOutError& e) {
    EXPECT_TRUE(e.Message().contains(out)) << e.Message().toStdString();
  }
  // A folder at the output path cannot be created as a file.
  QDir().mkpath(dir.Path("taken.swf"));
  EXPECT_THROW(TExtractFlash().ExtractSwf(dir.Path("p.exe"), dir.Path("taken.swf")), EInOutError);
  EXPECT_EQ(dir.Read("p.exe"), projector);
}

// A failed write must never pass for a finished extraction. /dev/full accepts
// the open and refuses every write, the way a full disk does.
TEST(ExtractSwf, FailedWriteIsNoSuccess) {
  if (!QFileInfo(QStringLiteral("/dev/full")).exists()) GTEST_SKIP() << "no /dev/full on this system";
  TempFolder dir;
  for (qsizetype size : {qsizetype(10), qsizetype(3 * 1024 * 1024)}) {
    dir.Write("p.exe", Projector({}, Pattern(size, 6), 0xFA, qint32(size)));
    EXPECT_THROW(TExtractFlash().ExtractSwf(dir.Path("p.exe"), QStringLiteral("/dev/full")), EInOutError)
        << size;
  }
}

TEST(ExtractSwf, ChangeFileExt) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"/games/fish.exe", "/games/fish.swf"},
      {"clip.dat", "clip.swf"},
      {"a/b.c/movie", "a/b.c/movie.swf"},
      {"x.tar.gz", "x.tar.swf"},
      {"noext", "noext.swf"},
      {"movie.", "movie.swf"},
      {"x.swf", "x.swf"},
      {"dir/.hidden", "dir/.swf"},
      {"动画/新年.EXE", "动画/新年.swf"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChangeFileExt(QString::fromUtf8(c.in), ".swf"), QString::fromUtf8(c.out)) << c.in;
  }
}

}  // namespace
