#pragma once

#include <QString>

// Results of TExtractFlash::ExtractSwf; apart from 0 they are message codes.
constexpr int kExtractOk = 0;
constexpr int kExtractNoFile = 301;        // the projector does not exist
constexpr int kExtractNotProjector = 311;  // no valid trailer
constexpr int kExtractSameFile = 316;      // the output would overwrite the projector

// Recovers the SWF movie from a Flash projector: the player, then the movie,
// then 3 bytes, the byte 0xFA and the movie's length (int32, little-endian).
class TExtractFlash {
 public:
  // Writes the movie of ExeFile to SwfFile. The output is created before the
  // projector is examined and deleted again when the result is 311; when the
  // stored length cannot describe a movie inside the file (zero, negative or
  // longer than the file) the result is 311 too. Refuses an output that is the
  // projector itself (through any spelling or link) with 316 before anything is
  // written. Throws EInOutError when a file cannot be created, opened, read or
  // written; the output then stays as far as it was written.
  int ExtractSwf(const QString& ExeFile, const QString& SwfFile);
};

// The path with the extension of its file name replaced by ext (which holds its
// dot), or ext appended when the name has none: "D:/a/fish.exe" -> "D:/a/fish.swf".
QString ChangeFileExt(const QString& path, const QString& ext);
