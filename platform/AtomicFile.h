#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

// Replaces the file at path with the bytes: a temporary file in the same folder is
// written and flushed, then renamed over the old one, so a crash or a full disk
// never leaves a half-written file. Returns false (and leaves any old file as it
// was) when the folder is missing, a folder stands where the file should be, or
// any write fails; error receives the system's reason.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Reads the whole file. A missing file gives an empty array and false.
bool ReadWholeFile(const QString& path, QByteArray& bytes, QString* error = nullptr);

// Tests inject write failures through this hook (they run as root, where
// permission bits do not refuse writes). The hook is asked before each piece is
// written to the temporary file, with the number of bytes written so far; when
// it returns false the write fails as a full disk would.
using WriteFaultHook = std::function<bool(const QString& path, qint64 writtenSoFar)>;
void SetWriteFaultHookForTesting(WriteFaultHook hook);

}  // namespace platform
