#include "Variable.h"

#include "Constant.h"
#include "ExecutablePath.h"

QString AppPath;
std::unique_ptr<TIniConfig> IniConfig;
std::unique_ptr<TIniSetting> IniSetting;
std::unique_ptr<TBlessing> Blessings;
TBuildSaver* BuildingSaver = nullptr;

void InitApplicationContext() {
  AppPath = platform::ExecutableFolder();
  IniConfig = std::make_unique<TIniConfig>();
  IniConfig->FileName = AppPath + constant::ConfigFileName;
  IniSetting = std::make_unique<TIniSetting>();
  Blessings = std::make_unique<TBlessing>();
  Blessings->FontStyleFile = AppPath + constant::FontStyleFileName;
  Blessings->BlessingFile = AppPath + constant::BlessingFileName;
}
