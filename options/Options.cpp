#include "Options.h"

#include "ExecutablePath.h"
#include "IniFiles.h"

namespace {
const QString kSetInfo = QStringLiteral("SetInfo");
const QString kCloseEvent = QStringLiteral("CloseEvent");
const QString kFlashFiles = QStringLiteral("FlashFiles");
const QString kSetting = QStringLiteral("Setting");
const QString kPreview = QStringLiteral("Preview");

QString NormalisedAlign(QString align) {
  for (QChar& c : align) {
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
  }
  qsizetype b = 0, e = align.size();
  while (b < e && align[b].unicode() <= 32) ++b;
  while (e > b && align[e - 1].unicode() <= 32) --e;
  return align.mid(b, e - b) == u"bottom" ? QStringLiteral("bottom") : QStringLiteral("top");
}
}  // namespace

void TIniConfig::Load() {
  TMemIniFile ini(FileName);
  DisplayMode = ini.ReadInteger(kSetInfo, "DisplayMode", 0);
  PlayConfine = ini.ReadInteger(kSetInfo, "PlayConfine", 0);
  Width = ini.ReadInteger(kSetInfo, "Width", 800);
  Height = ini.ReadInteger(kSetInfo, "Height", 600);
  PlayQuality = ini.ReadInteger(kSetInfo, "PlayQuality", 1);
  PlayOrder = ini.ReadInteger(kSetInfo, "PlayOrder", 0);
  Background = ini.ReadInteger(kSetInfo, "Background", 0);
  BlessingRepeatNumber = ini.ReadInteger(kSetInfo, "BlessingRepeatNumber", 0);
  BlessingLineDelay = ini.ReadInteger(kSetInfo, "BlessingLineDelay", 3000);
  ShowMouse = ini.ReadBool(kSetInfo, "ShowMouse", false);
  SaverPlaySequence = ini.ReadBool(kSetInfo, "SaverPlaySequence", true);
  BlessingEnabled = ini.ReadBool(kSetInfo, "BlessingEnabled", true);
  BlessingDisplayAlign = NormalisedAlign(ini.ReadString(kSetInfo, "BlessingDisplayAlign", "top"));
  MouseMove = ini.ReadBool(kCloseEvent, "MouseMove", true);
  MouseDown = ini.ReadBool(kCloseEvent, "MouseDown", true);
  KeyDown = ini.ReadBool(kCloseEvent, "KeyDown", true);
  KeyEsc = ini.ReadBool(kCloseEvent, "KeyEsc", true);
  const QStringList names = ini.ReadSection(kFlashFiles);
  if (!names.isEmpty()) FlashFiles = names;
}

void TIniConfig::Save() {
  // All keys go to disk in one atomic step: a refused write leaves the old file whole.
  TMemIniFile ini(FileName);
  ini.WriteInteger(kSetInfo, "DisplayMode", DisplayMode);
  ini.WriteInteger(kSetInfo, "PlayConfine", PlayConfine);
  ini.WriteInteger(kSetInfo, "Width", Width);
  ini.WriteInteger(kSetInfo, "Height", Height);
  ini.WriteInteger(kSetInfo, "PlayQuality", PlayQuality);
  ini.WriteInteger(kSetInfo, "PlayOrder", PlayOrder);
  ini.WriteInteger(kSetInfo, "Background", Background);
  ini.WriteInteger(kSetInfo, "BlessingRepeatNumber", BlessingRepeatNumber);
  ini.WriteInteger(kSetInfo, "BlessingLineDelay", BlessingLineDelay);
  ini.WriteBool(kSetInfo, "ShowMouse", ShowMouse);
  ini.WriteBool(kSetInfo, "SaverPlaySequence", SaverPlaySequence);
  ini.WriteBool(kSetInfo, "BlessingEnabled", BlessingEnabled);
  ini.WriteString(kSetInfo, "BlessingDisplayAlign", BlessingDisplayAlign);
  ini.WriteBool(kCloseEvent, "MouseMove", MouseMove);
  ini.WriteBool(kCloseEvent, "MouseDown", MouseDown);
  ini.WriteBool(kCloseEvent, "KeyDown", KeyDown);
  ini.WriteBool(kCloseEvent, "KeyEsc", KeyEsc);
  if (!ini.ReadSection(kFlashFiles).isEmpty()) {
    ini.EraseSection(kFlashFiles);
    for (const QString& name : FlashFiles) ini.WriteString(kFlashFiles, name, QString());
  }
  ini.UpdateFile();
}

TIniSetting::TIniSetting() : FileName(platform::ExecutableFolder() + "Setting.ini") {}

void TIniSetting::Load() {
  TMemIniFile ini(FileName);
  BuildPath = ini.ReadString(kSetting, "BuildPath", platform::ExecutableFolder());
}

void TIniSetting::Save() {
  TMemIniFile ini(FileName);
  ini.WriteString(kSetting, "BuildPath", BuildPath);
  ini.UpdateFile();
}

TIniPreview::TIniPreview() : FileName(platform::ExecutableFolder() + "Preview.ini") {}

void TIniPreview::SetFlashFiles(const QStringList& files) { FlashFiles = files; }

void TIniPreview::Save() {
  TMemIniFile ini(FileName);
  ini.EraseSection(kPreview);
  for (const QString& path : FlashFiles) ini.WriteString(kPreview, path, QString());
  ini.UpdateFile();
}

const TBackgroundColor* BackgroundColors() {
  static const TBackgroundColor kColors[BackgroundColorCount] = {
      {"clBlack", false, 0, 0, 0, 0},
      {"clMaroon", false, 128, 0, 0, 0},
      {"clGreen", false, 0, 128, 0, 0},
      {"clOlive", false, 128, 128, 0, 0},
      {"clNavy", false, 0, 0, 128, 0},
      {"clPurple", false, 128, 0, 128, 0},
      {"clTeal", false, 0, 128, 128, 0},
      {"clGray", false, 128, 128, 128, 0},
      {"clSilver", false, 192, 192, 192, 0},
      {"clRed", false, 255, 0, 0, 0},
      {"clLime", false, 0, 255, 0, 0},
      {"clYellow", false, 255, 255, 0, 0},
      {"clBlue", false, 0, 0, 255, 0},
      {"clFuchsia", false, 255, 0, 255, 0},
      {"clAqua", false, 0, 255, 255, 0},
      {"clWhite", false, 255, 255, 255, 0},
      {"clMoneyGreen", false, 192, 220, 192, 0},
      {"clSkyBlue", false, 166, 202, 240, 0},
      {"clCream", false, 255, 251, 240, 0},
      {"clMedGray", false, 160, 160, 164, 0},
      {"clActiveBorder", true, 0, 0, 0, 10},
      {"clActiveCaption", true, 0, 0, 0, 2},
      {"clAppWorkSpace", true, 0, 0, 0, 12},
      {"clBackground", true, 0, 0, 0, 1},
      {"clBtnFace", true, 0, 0, 0, 15},
      {"clBtnHighlight", true, 0, 0, 0, 20},
      {"clBtnShadow", true, 0, 0, 0, 16},
      {"clBtnText", true, 0, 0, 0, 18},
      {"clCaptionText", true, 0, 0, 0, 9},
      {"clGradientActiveCaption", true, 0, 0, 0, 27},
      {"clGradientInactiveCaption", true, 0, 0, 0, 28},
      {"clGrayText", true, 0, 0, 0, 17},
      {"clHighlight", true, 0, 0, 0, 13},
      {"clHighlightText", true, 0, 0, 0, 14},
      {"clHotLight", true, 0, 0, 0, 26},
      {"clInactiveBorder", true, 0, 0, 0, 11},
      {"clInactiveCaption", true, 0, 0, 0, 3},
      {"clInactiveCaptionText", true, 0, 0, 0, 19},
      {"clInfoBk", true, 0, 0, 0, 24},
      {"clInfoText", true, 0, 0, 0, 23},
      {"clMenu", true, 0, 0, 0, 4},
      {"clMenuBar", true, 0, 0, 0, 30},
      {"clMenuHighlight", true, 0, 0, 0, 29},
      {"clMenuText", true, 0, 0, 0, 7},
      {"clScrollBar", true, 0, 0, 0, 0},
      {"cl3DDkShadow", true, 0, 0, 0, 21},
      {"cl3DLight", true, 0, 0, 0, 22},
      {"clWindow", true, 0, 0, 0, 5},
      {"clWindowFrame", true, 0, 0, 0, 6},
      {"clWindowText", true, 0, 0, 0, 8},
  };
  return kColors;
}
