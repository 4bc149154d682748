#include "Variable.h"

#include "Constant.h"
#include "ExecutablePath.h"

QString AppPath;
std::unique_ptr<TIniConfig> IniConfig;
std::unique_ptr<TIniSetting> IniSetting;

void InitApplicationContext() {
  AppPath = platform::ExecutableFolder();
  IniConfig = std::make_unique<TIniConfig>();
  IniConfig->FileName = AppPath + constant::ConfigFileName;
  IniSetting = std::make_unique<TIniSetting>();
}
