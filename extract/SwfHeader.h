#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// What a SWF movie says about itself in its header and first tag, read without
// decompressing more of the movie than that.

enum class TSwfCompression { None, Zlib, Lzma };  // FWS, CWS, ZWS

enum class TSwfError {
  None,
  NotSwf,     // no FWS, CWS or ZWS signature
  Truncated,  // the file ends inside the header, its first tag or (FWS) before its length field says
  Corrupt,    // the compressed data cannot be decoded
  TooLarge,   // the uncompressed movie exceeds the caller's cap
};

// The FileAttributes flag that marks an ActionScript 3 movie.
constexpr quint32 kSwfFileAttributesAs3 = 0x08;
constexpr int kSwfTagEnd = 0;
constexpr int kSwfTagShowFrame = 1;
constexpr int kSwfTagFileAttributes = 69;

struct TSwfHeader {
  QByteArray Signature;  // "FWS", "CWS" or "ZWS"
  TSwfCompression Compression = TSwfCompression::None;
  int Version = 0;
  quint32 FileLength = 0;  // the length field: bytes of the whole movie once uncompressed
  // The stage rectangle in twips (1/20 pixel).
  qint32 XMin = 0, XMax = 0, YMin = 0, YMax = 0;
  quint16 FrameRateFixed = 0;  // 8.8 fixed point as stored
  quint16 FrameCount = 0;
  int HeaderLength = 0;  // offset of the first tag in the uncompressed movie
  int FirstTagCode = -1;
  bool HasFileAttributes = false;  // the first tag is FileAttributes
  quint32 FileAttributesFlags = 0;
  bool ActionScript3 = false;

  double Width() const { return (double(XMax) - double(XMin)) / 20.0; }  // pixels
  double Height() const { return (double(YMax) - double(YMin)) / 20.0; }
  double FrameRate() const { return FrameRateFixed / 256.0; }  // frames per second
};

struct TSwfHeaderResult {
  TSwfError Error = TSwfError::None;
  QString Message;  // Chinese and English; empty on success
  TSwfHeader Header;
  bool Ok() const { return Error == TSwfError::None; }
};

// Reads the header of the movie at path; only the first bytes of the file are
// read and only the header and first tag are decompressed. Throws EInOutError
// when the file cannot be opened or read.
TSwfHeaderResult ReadSwfHeader(const QString& path);
// The same for a movie held in memory (the whole file).
TSwfHeaderResult ParseSwfHeader(const QByteArray& file);

// Uncompressed movies are held in memory whole, so their size is capped.
constexpr qint64 kSwfMovieSizeCap = qint64(256) * 1024 * 1024;

struct TSwfMovieResult {
  TSwfError Error = TSwfError::None;
  QString Message;
  TSwfHeader Header;  // as read from the original file
  // The whole movie uncompressed: signature "FWS", the original version, a
  // length field equal to Movie.size(), then the header and tags.
  QByteArray Movie;
  bool Ok() const { return Error == TSwfError::None; }
};

// Decompresses a whole movie (for callers that change an in-memory copy). A zlib
// movie ends where its stream ends, an LZMA movie after its length field's
// bytes, an uncompressed one at the end of the file. Fails with TooLarge when
// the uncompressed movie would exceed cap bytes.
TSwfMovieResult UncompressSwf(const QByteArray& file, qint64 cap = kSwfMovieSizeCap);
// Throws EInOutError when the file cannot be read. An uncompressed file larger
// than the cap is refused before it is read, a compressed one as soon as its
// output passes the cap.
TSwfMovieResult ReadUncompressedSwf(const QString& path, qint64 cap = kSwfMovieSizeCap);

struct TSwfTag {
  int Code = 0;
  qint64 Offset = 0;      // of the tag's record header
  qint64 BodyOffset = 0;  // of its body
  qint64 BodyLength = 0;
};

// The tags of an uncompressed movie (Movie of TSwfMovieResult), up to and
// including the End tag. Returns false when a tag runs past the end of the data
// or the End tag is missing; tags holds what was read before.
bool ListSwfTags(const QByteArray& movie, QList<TSwfTag>& tags);

// The text of an error kind, Chinese then English.
QString SwfErrorText(TSwfError error, qint64 cap = kSwfMovieSizeCap);
