#pragma once

#include <QString>
#include <QStringList>

// The saver's options, kept in Config.ini and packed into every package, where
// the saver engine reads them. The section names, key names and encodings are
// read by other programs: keep them as they are.
class TIniConfig {
 public:
  TIniConfig() = default;

  // Reads Config.ini into the fields; a missing file or key gives the defaults.
  void Load();
  // Writes the fields into Config.ini, keeping keys the tool does not know.
  void Save();

  QString FileName;
  QStringList FlashFiles;  // key names of [FlashFiles], carried through as found
  int DisplayMode = 0;
  int PlayConfine = 0;
  int Width = 0;
  int Height = 0;
  int PlayQuality = 0;
  int PlayOrder = 0;
  int Background = 0;
  int BlessingRepeatNumber = 0;
  int BlessingLineDelay = 0;
  bool ShowMouse = false;
  bool SaverPlaySequence = false;
  bool BlessingEnabled = false;
  QString BlessingDisplayAlign;
  bool MouseMove = false;
  bool MouseDown = false;
  bool KeyDown = false;
  bool KeyEsc = false;
};

// The tool's own settings (Setting.ini beside the executable): the output folder.
class TIniSetting {
 public:
  TIniSetting();
  void Load();
  void Save();

  QString FileName;
  QString BuildPath;
};

// Preview.ini beside the executable: the SWF list handed to the preview module.
class TIniPreview {
 public:
  TIniPreview();
  void SetFlashFiles(const QStringList& files);
  // Replaces [Preview] with one key per file, in list order; other sections stay.
  void Save();

  QString FileName;
  QStringList FlashFiles;
};

// One entry of the fixed background colour list: an RGB colour or a system colour.
struct TBackgroundColor {
  const char* Name;
  bool IsSystem;
  int Red, Green, Blue;  // when not a system colour
  int SystemIndex;       // GetSysColor index, when a system colour
};

// The 50 background colours that Config.ini's Background indexes, in list order.
const TBackgroundColor* BackgroundColors();
constexpr int BackgroundColorCount = 50;
