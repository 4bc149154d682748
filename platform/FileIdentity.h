#pragma once

#include <QString>

namespace platform {

// True when both paths name one existing file, whatever the spelling (".."
// parts, another letter case where the file system ignores it, a link).
bool SameFile(const QString& a, const QString& b);

}  // namespace platform
