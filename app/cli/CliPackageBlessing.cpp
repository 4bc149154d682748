#include <QFileInfo>

#include "CliPackage.h"
#include "Variable.h"

// The blessing half of a headless build's payload: the application folder's
// Blessing.dat and FontStyle.ini, as the wizard packs them. FontStyle.ini is
// written from the default table when it is missing, so a package never names a
// file that is not there.
void AppendBlessingPayload(QStringList& payload) {
  static TBlessingModel model;
  Blessings->FadeText = &model;
  Blessings->LoadFontStyles();
  Blessings->LoadText();
  if (!IniConfig->BlessingEnabled || !Blessings->HasText()) return;
  if (!QFileInfo(Blessings->FontStyleFile).isFile()) Blessings->SaveFontStyles();
  payload << Blessings->BlessingFile << Blessings->FontStyleFile;
}
