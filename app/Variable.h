#pragma once

#include <QString>
#include <memory>

#include "Blessing.h"
#include "Options.h"

// The process-wide objects every part of the tool reaches: made once by
// InitApplicationContext and kept until the process ends.
extern QString AppPath;  // the executable's folder, ending in the path separator
extern std::unique_ptr<TIniConfig> IniConfig;
extern std::unique_ptr<TIniSetting> IniSetting;
extern std::unique_ptr<TBlessing> Blessings;

class TBuildSaver;
// The running build's writer; null except while a package is being written.
extern TBuildSaver* BuildingSaver;

// Fixes AppPath from the executable's folder, makes IniConfig, IniSetting and
// Blessings and sets their file paths. Reads no file.
void InitApplicationContext();
