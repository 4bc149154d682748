#include "SwfHeader.h"

#include <lzma.h>
#include <zlib.h>

#include <QFile>
#include <algorithm>
#include <cstring>
#include <memory>

#include "PavonaError.h"

namespace {

// Header bytes after the 8-byte file header: RECT (at most 17 bytes), frame
// rate and count (4), the first tag's long record header (6) and the
// FileAttributes flags (4).
constexpr qint64 kPrefixWant = 17 + 4 + 6 + 4;
constexpr qsizetype kReadChunk = 64 * 1024;

quint32 Le32(const uchar* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24);
}
quint16 Le16(const uchar* p) {
  return quint16(p[0] | (p[1] << 8));
}

// Where the movie's bytes come from: a file read piece by piece or memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual qint64 Size() const = 0;
  // Up to max bytes; 0 at the end. Throws EInOutError when reading fails.
  virtual qsizetype Read(char* buffer, qsizetype max) = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(const QByteArray& bytes) : bytes_(bytes) {}
  qint64 Size() const override { return bytes_.size(); }
  qsizetype Read(char* buffer, qsizetype max) override {
    const qsizetype n = std::min(max, bytes_.size() - pos_);
    if (n > 0) std::memcpy(buffer, bytes_.constData() + pos_, size_t(n));
    pos_ += n;
    return n;
  }

 private:
  const QByteArray& bytes_;
  qsizetype pos_ = 0;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly)) {
      throw EInOutError(QStringLiteral("无法打开文件“%1”：%2 (Cannot open file \"%1\": %2)")
                            .arg(path, file_.errorString()));
    }
  }
  qint64 Size() const override { return file_.size(); }
  qsizetype Read(char* buffer, qsizetype max) override {
    const qint64 n = file_.read(buffer, max);
    if (n < 0) {
      throw EInOutError(QStringLiteral("无法读取文件“%1”：%2 (Cannot read file \"%1\": %2)")
                            .arg(file_.fileName(), file_.errorString()));
    }
    return qsizetype(n);
  }

 private:
  QFile file_;
};

// Reads up to n bytes, fewer only at the end of the source.
qsizetype ReadFully(ByteSource& source, char* buffer, qsizetype n) {
  qsizetype got = 0;
  while (got < n) {
    const qsizetype r = source.Read(buffer + got, n - got);
    if (r == 0) break;
    got += r;
  }
  return got;
}

// Turns the bytes after the 8-byte file header into the uncompressed movie
// body, for any of the three signatures.
class BodyDecoder {
 public:
  enum class Status { NeedInput, Enough, End, Error };

  // dictionaryCap: the most output that will ever be asked for; an LZMA
  // dictionary larger than that cannot be needed and is clamped, so a forged
  // dictionary size cannot make us allocate gigabytes.
  BodyDecoder(TSwfCompression compression, quint32 fileLength, qint64 dictionaryCap)
      : compression_(compression), fileLength_(fileLength), dictionaryCap_(dictionaryCap) {}

  ~BodyDecoder() {
    if (zlibStarted_) inflateEnd(&zs_);
    if (lzmaStarted_) lzma_end(&ls_);
  }
  BodyDecoder(const BodyDecoder&) = delete;
  BodyDecoder& operator=(const BodyDecoder&) = delete;

  // Appends output to out until it holds want bytes, the stream ends, or the
  // input is used up (then NeedInput: call again with more input).
  Status Feed(const char* in, qsizetype n, QByteArray& out, qint64 want) {
    if (out.size() >= want) return Status::Enough;
    switch (compression_) {
      case TSwfCompression::None: {
        const qsizetype take = qsizetype(std::min<qint64>(n, want - out.size()));
        out.append(in, take);
        return out.size() >= want ? Status::Enough : Status::NeedInput;
      }
      case TSwfCompression::Zlib:
        return FeedZlib(in, n, out, want);
      case TSwfCompression::Lzma:
        return FeedLzma(in, n, out, want);
    }
    return Status::Error;
  }

 private:
  // Grows out in steps so that a forged length field is never trusted for an
  // allocation.
  static uchar* Room(QByteArray& out, qint64 want, size_t& avail) {
    const qint64 step = std::min<qint64>(want - out.size(), 256 * 1024);
    const qsizetype old = out.size();
    out.resize(old + qsizetype(step));
    avail = size_t(step);
    return reinterpret_cast<uchar*>(out.data()) + old;
  }

  Status FeedZlib(const char* in, qsizetype n, QByteArray& out, qint64 want) {
    if (!zlibStarted_) {
      std::memset(&zs_, 0, sizeof zs_);
      if (inflateInit(&zs_) != Z_OK) return Status::Error;
      zlibStarted_ = true;
    }
    zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
    zs_.avail_in = uInt(n);
    for (;;) {
      size_t avail = 0;
      const qsizetype before = out.size();
      zs_.next_out = Room(out, want, avail);
      zs_.avail_out = uInt(avail);
      const int rc = inflate(&zs_, Z_NO_FLUSH);
      out.resize(before + qsizetype(avail - zs_.avail_out));
      if (rc == Z_STREAM_END) return Status::End;
      if (rc != Z_OK && rc != Z_BUF_ERROR) return Status::Error;
      if (out.size() >= want) return Status::Enough;
      if (zs_.avail_in == 0) return Status::NeedInput;
      if (rc == Z_BUF_ERROR) return Status::Error;  // no progress with input and room left
    }
  }

  Status FeedLzma(const char* in, qsizetype n, QByteArray& out, qint64 want) {
    // ZWS: 4 bytes of compressed length, 5 bytes of LZMA properties, raw data.
    while (!lzmaStarted_ && n > 0) {
      lzmaHead_.append(*in++);
      --n;
      if (lzmaHead_.size() == 9 && !StartLzma()) return Status::Error;
    }
    if (!lzmaStarted_) return Status::NeedInput;
    ls_.next_in = reinterpret_cast<const uint8_t*>(in);
    ls_.avail_in = size_t(n);
    for (;;) {
      size_t avail = 0;
      const qsizetype before = out.size();
      ls_.next_out = Room(out, want, avail);
      ls_.avail_out = avail;
      const lzma_ret rc = lzma_code(&ls_, LZMA_RUN);
      out.resize(before + qsizetype(avail - ls_.avail_out));
      if (rc == LZMA_STREAM_END) return Status::End;
      if (rc != LZMA_OK && rc != LZMA_BUF_ERROR) return Status::Error;
      if (out.size() >= want) return Status::Enough;
      if (ls_.avail_in == 0) return Status::NeedInput;
      if (rc == LZMA_BUF_ERROR) return Status::Error;
    }
  }

  bool StartLzma() {
    if (fileLength_ < 8) return false;
    // liblzma's .lzma ("alone") header: properties, then the uncompressed size.
    uchar head[13];
    std::memcpy(head, lzmaHead_.constData() + 4, 5);
    const quint32 dict = Le32(head + 1);
    const quint64 clamped = std::min<quint64>(dict, quint64(std::max<qint64>(dictionaryCap_, 4096)));
    const quint32 d = quint32(std::max<quint64>(clamped, 4096));
    head[1] = uchar(d), head[2] = uchar(d >> 8), head[3] = uchar(d >> 16), head[4] = uchar(d >> 24);
    const quint64 size = fileLength_ - 8;
    for (int i = 0; i < 8; ++i) head[5 + i] = uchar(size >> (8 * i));
    ls_ = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&ls_, UINT64_MAX) != LZMA_OK) return false;
    lzmaStarted_ = true;
    // liblzma takes no input while it has no room for output; the header alone
    // cannot produce a byte, so one byte of room is never used.
    uchar sink[1];
    ls_.next_in = head;
    ls_.avail_in = sizeof head;
    ls_.next_out = sink;
    ls_.avail_out = sizeof sink;
    const lzma_ret rc = lzma_code(&ls_, LZMA_RUN);
    return rc == LZMA_OK && ls_.avail_in == 0 && ls_.avail_out == sizeof sink;
  }

  TSwfCompression compression_;
  quint32 fileLength_;
  qint64 dictionaryCap_;
  z_stream zs_{};
  bool zlibStarted_ = false;
  lzma_stream ls_ = LZMA_STREAM_INIT;
  bool lzmaStarted_ = false;
  QByteArray lzmaHead_;
};

// Reads bits most significant first, as SWF's bit fields are stored.
class BitReader {
 public:
  BitReader(const uchar* data, qsizetype size) : data_(data), size_(size) {}
  bool Unsigned(int n, quint32& value) {
    value = 0;
    for (int i = 0; i < n; ++i) {
      if (bit_ >= size_ * 8) return false;
      value = (value << 1) | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1);
      ++bit_;
    }
    return true;
  }
  bool Signed(int n, qint32& value) {
    quint32 u = 0;
    if (!Unsigned(n, u)) return false;
    if (n > 0 && n < 32 && (u & (1u << (n - 1)))) u |= ~((1u << n) - 1);
    value = qint32(u);
    return true;
  }

 private:
  const uchar* data_;
  qsizetype size_;
  qint64 bit_ = 0;
};

TSwfHeaderResult Failure(TSwfError error) {
  TSwfHeaderResult r;
  r.Error = error;
  r.Message = SwfErrorText(error);
  return r;
}

// Fills the fields that follow the 8-byte file header from the uncompressed
// bytes after it.
TSwfError ParseAfterFileHeader(const QByteArray& prefix, TSwfHeader& h) {
  const auto* p = reinterpret_cast<const uchar*>(prefix.constData());
  const qsizetype n = prefix.size();
  if (n < 1) return TSwfError::Truncated;
  const int bits = p[0] >> 3;
  const qsizetype rectBytes = (5 + 4 * bits + 7) / 8;
  if (n < rectBytes + 4) return TSwfError::Truncated;
  BitReader br(p, rectBytes);
  quint32 skip = 0;
  br.Unsigned(5, skip);
  br.Signed(bits, h.XMin);
  br.Signed(bits, h.XMax);
  br.Signed(bits, h.YMin);
  br.Signed(bits, h.YMax);
  h.FrameRateFixed = Le16(p + rectBytes);
  h.FrameCount = Le16(p + rectBytes + 2);
  h.HeaderLength = int(8 + rectBytes + 4);

  // Every movie has at least its End tag, so a missing first tag means a cut file.
  qsizetype at = rectBytes + 4;
  if (n < at + 2) return TSwfError::Truncated;
  const quint16 codeAndLength = Le16(p + at);
  at += 2;
  h.FirstTagCode = codeAndLength >> 6;
  qint64 length = codeAndLength & 0x3f;
  if (length == 0x3f) {
    if (n < at + 4) return TSwfError::Truncated;
    length = Le32(p + at);
    at += 4;
  }
  if (h.FirstTagCode == kSwfTagFileAttributes) {
    const qsizetype flagBytes = qsizetype(std::min<qint64>(length, 4));
    if (n < at + flagBytes) return TSwfError::Truncated;
    h.HasFileAttributes = true;
    for (qsizetype i = 0; i < flagBytes; ++i) h.FileAttributesFlags |= quint32(p[at + i]) << (8 * i);
    h.ActionScript3 = (h.FileAttributesFlags & kSwfFileAttributesAs3) != 0;
  }
  return TSwfError::None;
}

struct FileHeader {
  TSwfError Error = TSwfError::None;
  TSwfHeader Header;
};

FileHeader ReadFileHeader(ByteSource& source) {
  FileHeader f;
  char head[8];
  const qsizetype got = ReadFully(source, head, 8);
  if (got < 3) {
    f.Error = TSwfError::NotSwf;
    return f;
  }
  f.Header.Signature = QByteArray(head, 3);
  if (f.Header.Signature == "FWS") {
    f.Header.Compression = TSwfCompression::None;
  } else if (f.Header.Signature == "CWS") {
    f.Header.Compression = TSwfCompression::Zlib;
  } else if (f.Header.Signature == "ZWS") {
    f.Header.Compression = TSwfCompression::Lzma;
  } else {
    f.Error = TSwfError::NotSwf;
    return f;
  }
  if (got < 8) {
    f.Error = TSwfError::Truncated;
    return f;
  }
  f.Header.Version = uchar(head[3]);
  f.Header.FileLength = Le32(reinterpret_cast<const uchar*>(head + 4));
  return f;
}

TSwfHeaderResult ReadHeaderFrom(ByteSource& source) {
  FileHeader f = ReadFileHeader(source);
  if (f.Error != TSwfError::None) return Failure(f.Error);
  TSwfHeader h = f.Header;

  BodyDecoder decoder(h.Compression, h.FileLength, kPrefixWant);
  QByteArray prefix;
  QByteArray chunk(4096, Qt::Uninitialized);
  for (;;) {
    const qsizetype n = source.Read(chunk.data(), chunk.size());
    if (n == 0) break;
    const BodyDecoder::Status s = decoder.Feed(chunk.constData(), n, prefix, kPrefixWant);
    if (s == BodyDecoder::Status::Error) return Failure(TSwfError::Corrupt);
    if (s != BodyDecoder::Status::NeedInput) break;
  }
  const TSwfError e = ParseAfterFileHeader(prefix, h);
  if (e != TSwfError::None) return Failure(e);
  if (h.Compression == TSwfCompression::None && source.Size() < qint64(h.FileLength)) {
    return Failure(TSwfError::Truncated);
  }
  TSwfHeaderResult r;
  r.Header = h;
  return r;
}

TSwfMovieResult MovieFailure(TSwfError error, qint64 cap) {
  TSwfMovieResult r;
  r.Error = error;
  r.Message = SwfErrorText(error, cap);
  return r;
}

TSwfMovieResult UncompressFrom(ByteSource& source, const TSwfHeader& header, qint64 cap) {
  const qint64 bodyCap = std::max<qint64>(cap - 8, 0);
  if (qint64(header.FileLength) > cap) return MovieFailure(TSwfError::TooLarge, cap);
  if (header.Compression == TSwfCompression::None && source.Size() > cap) {
    return MovieFailure(TSwfError::TooLarge, cap);
  }
  // One byte past the cap tells a movie that exceeds it from one that fills it.
  const qint64 want =
      header.Compression == TSwfCompression::Lzma ? qint64(header.FileLength) - 8 : bodyCap + 1;
  BodyDecoder decoder(header.Compression, header.FileLength, want);
  QByteArray body;
  QByteArray chunk(kReadChunk, Qt::Uninitialized);
  bool ended = false;
  for (;;) {
    const qsizetype n = source.Read(chunk.data(), chunk.size());
    if (n == 0) break;
    const BodyDecoder::Status s = decoder.Feed(chunk.constData(), n, body, want);
    if (s == BodyDecoder::Status::Error) return MovieFailure(TSwfError::Corrupt, cap);
    if (s == BodyDecoder::Status::End) {
      ended = true;
      break;
    }
    if (s == BodyDecoder::Status::Enough) break;
  }
  if (body.size() > bodyCap) return MovieFailure(TSwfError::TooLarge, cap);
  switch (header.Compression) {
    case TSwfCompression::None:
      break;
    case TSwfCompression::Zlib:
      if (!ended) return MovieFailure(TSwfError::Truncated, cap);
      break;
    case TSwfCompression::Lzma:
      // The length field is the only end an LZMA movie is sure to have.
      if (body.size() != want) return MovieFailure(TSwfError::Truncated, cap);
      break;
  }

  TSwfMovieResult r;
  r.Header = header;
  const quint32 length = quint32(body.size() + 8);
  r.Movie.reserve(body.size() + 8);
  r.Movie.append("FWS", 3);
  r.Movie.append(char(header.Version));
  for (int i = 0; i < 4; ++i) r.Movie.append(char(length >> (8 * i)));
  r.Movie.append(body);
  return r;
}

}  // namespace

QString SwfErrorText(TSwfError error, qint64 cap) {
  switch (error) {
    case TSwfError::None:
      return QString();
    case TSwfError::NotSwf:
      return QStringLiteral(
          "不是SWF文件（文件头不是FWS、CWS或ZWS）。(Not a SWF file: the signature is not FWS, CWS or ZWS.)");
    case TSwfError::Truncated:
      return QStringLiteral("SWF文件不完整，已被截断。(The SWF file is truncated.)");
    case TSwfError::Corrupt:
      return QStringLiteral("SWF文件的压缩数据已损坏。(The compressed data of the SWF file is corrupt.)");
    case TSwfError::TooLarge:
      return QStringLiteral("SWF动画解压后超过 %1 MB。(The uncompressed movie exceeds %1 MB.)")
          .arg(cap / (1024 * 1024));
  }
  return QString();
}

TSwfHeaderResult ReadSwfHeader(const QString& path) {
  FileSource source(path);
  return ReadHeaderFrom(source);
}

TSwfHeaderResult ParseSwfHeader(const QByteArray& file) {
  MemorySource source(file);
  return ReadHeaderFrom(source);
}

TSwfMovieResult UncompressSwf(const QByteArray& file, qint64 cap) {
  const TSwfHeaderResult h = ParseSwfHeader(file);
  if (!h.Ok()) return MovieFailure(h.Error, cap);
  MemorySource source(file);
  char skip[8];
  ReadFully(source, skip, 8);
  return UncompressFrom(source, h.Header, cap);
}

TSwfMovieResult ReadUncompressedSwf(const QString& path, qint64 cap) {
  const TSwfHeaderResult h = ReadSwfHeader(path);
  if (!h.Ok()) return MovieFailure(h.Error, cap);
  FileSource source(path);
  char skip[8];
  ReadFully(source, skip, 8);
  return UncompressFrom(source, h.Header, cap);
}

bool ListSwfTags(const QByteArray& movie, QList<TSwfTag>& tags) {
  tags.clear();
  const auto* p = reinterpret_cast<const uchar*>(movie.constData());
  const qint64 n = movie.size();
  if (n < 9) return false;
  const int bits = p[8] >> 3;
  qint64 at = 8 + (5 + 4 * bits + 7) / 8 + 4;
  while (at + 2 <= n) {
    TSwfTag tag;
    tag.Offset = at;
    const quint16 codeAndLength = Le16(p + at);
    at += 2;
    tag.Code = codeAndLength >> 6;
    tag.BodyLength = codeAndLength & 0x3f;
    if (tag.BodyLength == 0x3f) {
      if (at + 4 > n) return false;
      tag.BodyLength = Le32(p + at);
      at += 4;
    }
    tag.BodyOffset = at;
    if (tag.BodyLength > n - at) return false;
    at += tag.BodyLength;
    tags.append(tag);
    if (tag.Code == kSwfTagEnd) return true;
  }
  return false;
}
