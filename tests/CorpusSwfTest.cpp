// Real movies made by Flash authoring tools, from the shared corpus beside the
// source tree: the header reader must agree with the corpus index, and every
// movie must come out of a projector byte for byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTextStream>

#include "AccessorialTools.h"
#include "BuildSaver.h"
#include "PackageReader.h"
#include "SwfGen.h"
#include "SwfHeader.h"
#include "TestUtil.h"

namespace {

struct IndexRow {
  QString file, signature;
  int version = 0, frames = 0;
  double frameRate = 0;
  bool as3 = false;
};

QString CorpusDir() {
  return QStringLiteral(PAVONA_SWF_CORPUS);
}

// The rows of index.tsv; empty when the corpus is not there.
QList<IndexRow> ReadIndex() {
  QList<IndexRow> rows;
  QFile f(CorpusDir() + "/index.tsv");
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return rows;
  QTextStream in(&f);
  const QStringList header = in.readLine().split('\t');
  const auto col = [&](const char* name) { return header.indexOf(QString::fromLatin1(name)); };
  const int file = col("file"), signature = col("signature"), version = col("version"),
            frames = col("frames"), rate = col("frame_rate"), as3 = col("actionscript3");
  if (std::min({file, signature, version, frames, rate, as3}) < 0) return rows;
  while (!in.atEnd()) {
    const QStringList cells = in.readLine().split('\t');
    if (cells.size() < header.size()) continue;
    IndexRow r;
    r.file = cells[file];
    r.signature = cells[signature];
    r.version = cells[version].toInt();
    r.frames = cells[frames].toInt();
    r.frameRate = cells[rate].toDouble();
    r.as3 = cells[as3] == "yes";
    rows.append(r);
  }
  return rows;
}

class CorpusSwf : public testing::Test {
 protected:
  void SetUp() override {
    rows_ = ReadIndex();
    if (rows_.isEmpty()) GTEST_SKIP() << "SWF corpus not found at " << CorpusDir().toStdString();
  }
  QString PathOf(const IndexRow& r) const { return CorpusDir() + "/" + r.file; }
  QList<IndexRow> rows_;
};

TEST_F(CorpusSwf, HeaderAgreesWithTheIndex) {
  EXPECT_GE(rows_.size(), 100);
  int as3 = 0, zlib = 0;
  for (const IndexRow& row : rows_) {
    SCOPED_TRACE(row.file.toStdString());
    const TSwfHeaderResult r = ReadSwfHeader(PathOf(row));
    ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
    EXPECT_EQ(QString::fromLatin1(r.Header.Signature), row.signature);
    EXPECT_EQ(r.Header.Version, row.version);
    EXPECT_EQ(r.Header.FrameCount, row.frames);
    EXPECT_DOUBLE_EQ(r.Header.FrameRate(), row.frameRate);
    EXPECT_EQ(r.Header.ActionScript3, row.as3);
    EXPECT_GT(r.Header.Width(), 0);
    EXPECT_GT(r.Header.Height(), 0);
    as3 += row.as3;
    zlib += row.signature == "CWS";
  }
  // The corpus exercises both kinds of movie and both signatures.
  EXPECT_GT(as3, 0);
  EXPECT_GT(zlib, 0);
  EXPECT_LT(zlib, rows_.size());
}

// The whole movie decompresses, reads back with the same header, and its tags
// run to an End tag.
TEST_F(CorpusSwf, MoviesDecompressWhole) {
  for (const IndexRow& row : rows_) {
    SCOPED_TRACE(row.file.toStdString());
    const TSwfMovieResult u = ReadUncompressedSwf(PathOf(row));
    ASSERT_TRUE(u.Ok()) << u.Message.toStdString();
    const TSwfHeaderResult again = ParseSwfHeader(u.Movie);
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(again.Header.Signature, QByteArray("FWS"));
    EXPECT_EQ(again.Header.FrameCount, u.Header.FrameCount);
    EXPECT_EQ(again.Header.ActionScript3, u.Header.ActionScript3);
    EXPECT_EQ(again.Header.FileLength, u.Header.FileLength);
    // (Frame counts are not compared with ShowFrame tags: real movies do not
    // always agree with themselves there.)
    QList<TSwfTag> tags;
    EXPECT_TRUE(ListSwfTags(u.Movie, tags));
  }
}

TEST_F(CorpusSwf, ProjectorRoundTrip) {
  TempFolder dir;
  TProjectorOptions options;
  options.PlayerSize = 64 * 1024;
  for (const IndexRow& row : rows_) {
    SCOPED_TRACE(row.file.toStdString());
    QFile f(PathOf(row));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray movie = f.readAll();
    dir.Write("projector.exe", MakeProjector(movie, options));
    const QString out = ChangeFileExt(dir.Path("projector.exe"), ".swf");
    ASSERT_EQ(TExtractFlash().ExtractSwf(dir.Path("projector.exe"), out), kExtractOk);
    EXPECT_TRUE(dir.Read("projector.swf") == movie);
  }
}

// Every movie goes into one saver package and comes back byte for byte.
TEST_F(CorpusSwf, PackageRoundTrip) {
  TempFolder dir;
  AppFolderOverride app(dir.Path());
  for (const char* stub : {"Install.dll", "Glimmora.dll", "Uninstall.dll"}) dir.Write(stub, QByteArray(4096, 'S'));
  QStringList files;
  for (const IndexRow& row : rows_) files << PathOf(row);
  TBuildSaver builder;
  builder.SetFiles(files);
  ASSERT_TRUE(builder.Build(dir.Path("Corpus.exe")));

  TPackageReader reader;
  ASSERT_TRUE(reader.Open(dir.Path("Corpus.exe"))) << reader.ErrorText().toStdString();
  ASSERT_EQ(reader.Entries().size(), rows_.size() + 2);
  for (int i = 0; i < rows_.size(); ++i) {
    const TPackageItem& entry = reader.Entries()[i + 2];
    SCOPED_TRACE(rows_[i].file.toStdString());
    EXPECT_EQ(QString::fromLatin1(entry.EntryName), rows_[i].file);
    QFile original(PathOf(rows_[i]));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_TRUE(reader.ReadEntry(entry) == original.readAll());
  }
}

}  // namespace
