#pragma once

#include <QString>

namespace platform {

// Full path of the running executable.
QString ExecutableFilePath();

// The folder part of an executable's path, always ending in the platform's path
// separator ("/usr/lib/pavona/" for "/usr/lib/pavona/pavona", "/" for "/pavona").
QString FolderWithSeparator(const QString& executablePath);

// FolderWithSeparator(ExecutableFilePath()): where the tool keeps all its files.
QString ExecutableFolder();

QChar PathSeparator();

// Tests point the application folder at a temporary folder through this; an empty
// path restores the real one.
void SetExecutableFilePathForTesting(const QString& path);

}  // namespace platform
