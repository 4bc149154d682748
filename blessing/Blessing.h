#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "BlessingModel.h"

// Loads, saves and edits the blessing data: the font style table (FontStyle.ini)
// and the blessing lines (Blessing.dat). The data itself lives in the model that
// FadeText points to, the one the blessing page's fade-text widget displays; the
// owner sets FadeText and both file names before use.
//
// Everything that needs a person goes through the replaceable services below, so
// the object runs without a window: the GUI plugs in its dialogs, headless code
// and tests plug in answers. An unset service behaves as a cancelled dialog (or,
// for ShowMsg, as a message nobody sees).
class TBlessing {
 public:
  TBlessing() = default;

  QStringList StyleNames;              // the style names in table order, after RefreshStyleNames
  QString FontStyleFile;               // full path of FontStyle.ini
  QString BlessingFile;                // full path of Blessing.dat
  TBlessingModel* FadeText = nullptr;  // not owned

  // The one-line question of the add command: true and value replaced when the
  // user confirms, false and value untouched when they cancel.
  std::function<bool(const QString& caption, const QString& prompt, QString& value)> InputText;
  // Shows a catalogue message by code (304 and 305 here, both warnings).
  std::function<int(int code)> ShowMsg;
  // The font and effect dialogs of the style named: the edited value, or
  // nothing when the user cancels.
  std::function<std::optional<TFontSpec>(const QString& styleName, const TFontSpec& current)> FontDialog;
  std::function<std::optional<TAAEffect>(const QString& styleName, const TAAEffect& current)> EffectDialog;
  // The screen's pixels per inch, which turns FontSize into a height; without a
  // provider (or with a non-positive answer) 96.
  std::function<int()> ScreenPixelsPerInch;
  int PixelsPerInch() const;

  // True when there is at least one line, an empty one included.
  bool HasText() const;

  // FontStyle.ini into the table, then RefreshStyleNames. Without the file the
  // table stays as it is. Throws EInOutError when the file is there but cannot
  // be read.
  void LoadFontStyles();
  // The table into FontStyle.ini in one atomic write: every old section goes,
  // the styles are written as sections "0" to "n-1". Throws EIniFileError when
  // the file cannot be written and EEncodingError when a name cannot be held in
  // GBK; the old file stays whole either way.
  void SaveFontStyles();
  // Blessing.dat into the lines; without the file the lines are empty. Throws
  // EInOutError when the file is there but cannot be read.
  void LoadText();
  // The lines into Blessing.dat, replacing it atomically. Throws EEncodingError
  // for a line GBK cannot hold and EInOutError when the file cannot be written;
  // nothing is written then.
  void SaveText();
  void RefreshStyleNames();

  // Asks for a name and adds a style with it (Tahoma, 12 points, green, shadow
  // on), then offers the font and effect dialogs for it. Returns whether a
  // style was added. Does not refresh StyleNames.
  bool AddFontStyle();
  // Removes the style found by name (letter case ignored); nothing happens when
  // there is none. Does not refresh StyleNames.
  void DeleteFontStyle(const QString& name);
  // The font or effect dialog for the style found by name; OK copies the
  // dialog's value into the style, cancel or an unknown name changes nothing.
  void ModifyFont(const QString& name);
  void ModifyEffect(const QString& name);

 private:
  TBlessingModel& Model() const;
};

inline const QString AddFontStyleCaption = QStringLiteral("添加字体样式");
inline const QString AddFontStylePrompt =
    QStringLiteral("请输入新字体样式的名字，注意：字符内不能包含\"< >\"标记：");
