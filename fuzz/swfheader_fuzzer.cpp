// Feeds arbitrary bytes to the SWF header reader and the decompressor and checks
// what must always hold: no failure without a message, a decompressed movie
// that reads back with the header it came from, and tags that stay inside it.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "SwfHeader.h"

namespace {

// Small enough that forged length fields cannot make a run slow.
constexpr qint64 kFuzzCap = 4 * 1024 * 1024;

bool SameStage(const TSwfHeader& a, const TSwfHeader& b) {
  return a.XMin == b.XMin && a.XMax == b.XMax && a.YMin == b.YMin && a.YMax == b.YMax &&
         a.FrameRateFixed == b.FrameRateFixed && a.FrameCount == b.FrameCount && a.Version == b.Version;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const TSwfHeaderResult h = ParseSwfHeader(bytes);
  if (h.Ok() != h.Message.isEmpty()) abort();
  if (h.Ok() && h.Header.Signature != "FWS" && h.Header.Signature != "CWS" && h.Header.Signature != "ZWS")
    abort();

  const TSwfMovieResult u = UncompressSwf(bytes, kFuzzCap);
  if (u.Ok() != u.Message.isEmpty()) abort();
  if (!u.Ok()) return 0;
  // A movie that decompresses whole has a readable header, the same one.
  if (!h.Ok() || !SameStage(h.Header, u.Header)) abort();
  if (u.Movie.size() > kFuzzCap) abort();
  const TSwfHeaderResult again = ParseSwfHeader(u.Movie);
  if (!again.Ok() || !SameStage(again.Header, h.Header) ||
      again.Header.ActionScript3 != h.Header.ActionScript3 ||
      again.Header.FileLength != quint32(u.Movie.size())) {
    abort();
  }
  QList<TSwfTag> tags;
  const bool complete = ListSwfTags(u.Movie, tags);
  qint64 end = again.Header.HeaderLength;
  for (const TSwfTag& t : tags) {
    if (t.Offset != end || t.BodyOffset + t.BodyLength > u.Movie.size()) abort();
    end = t.BodyOffset + t.BodyLength;
  }
  if (complete && (tags.isEmpty() || tags.back().Code != kSwfTagEnd)) abort();
  return 0;
}
