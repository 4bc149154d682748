#include "Blessing.h"

#include <QFileInfo>
#include <stdexcept>

#include "AtomicFile.h"
#include "GbkText.h"
#include "IniFiles.h"
#include "PavonaError.h"
#include "ProfileDocument.h"

namespace {

constexpr int kMsgNameExists = 304;
constexpr int kMsgNameEmpty = 305;

// The data files count as present only as files: a folder of that name is no
// FontStyle.ini, and reading it as an empty one would wipe the table.
bool FileExists(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isFile();
}

QByteArray ReadExisting(const QString& path) {
  QByteArray bytes;
  QString reason;
  if (!platform::ReadWholeFile(path, bytes, &reason)) {
    throw EInOutError(QStringLiteral("Unable to read %1: %2").arg(path, reason));
  }
  return bytes;
}

}  // namespace

TBlessingModel& TBlessing::Model() const {
  if (!FadeText) throw std::logic_error("TBlessing::FadeText is not set");
  return *FadeText;
}

int TBlessing::PixelsPerInch() const {
  const int dpi = ScreenPixelsPerInch ? ScreenPixelsPerInch() : 96;
  return dpi > 0 ? dpi : 96;
}

bool TBlessing::HasText() const {
  return FadeText && !FadeText->Lines.isEmpty();
}

void TBlessing::LoadFontStyles() {
  TBlessingModel& model = Model();
  if (FileExists(FontStyleFile)) {
    model.Fonts = ReadFontStyles(ProfileDocument::Parse(ReadExisting(FontStyleFile)), PixelsPerInch());
  }
  RefreshStyleNames();
}

void TBlessing::SaveFontStyles() {
  const TBlessingModel& model = Model();
  ProfileDocument doc = LoadProfile(FontStyleFile);
  WriteFontStyles(doc, model.Fonts, PixelsPerInch());
  SaveProfile(FontStyleFile, doc);
}

void TBlessing::LoadText() {
  TBlessingModel& model = Model();
  model.Lines = FileExists(BlessingFile) ? ReadBlessingLines(ReadExisting(BlessingFile)) : QStringList();
}

void TBlessing::SaveText() {
  const QByteArray bytes = BlessingFileBytes(Model().Lines);
  QString reason;
  if (!platform::WriteFileAtomically(BlessingFile, bytes, &reason)) {
    throw EInOutError(QStringLiteral("Unable to write to %1: %2").arg(BlessingFile, reason));
  }
}

void TBlessing::RefreshStyleNames() {
  StyleNames = Model().Fonts.Names();
}

bool TBlessing::AddFontStyle() {
  TFontStyles& fonts = Model().Fonts;
  QString name;
  if (!InputText || !InputText(AddFontStyleCaption, AddFontStylePrompt, name)) return false;
  // The name is taken as typed: no trimming, and "<" or ">" are not refused.
  if (name.isEmpty()) {
    if (ShowMsg) ShowMsg(kMsgNameEmpty);
    return false;
  }
  if (fonts.Contains(name)) {
    if (ShowMsg) ShowMsg(kMsgNameExists);
    return false;
  }
  // A name FontStyle.ini cannot hold would make every later save fail, at the
  // latest when the program closes; refuse it now, while the user is there.
  if (!gbk::CanEncode(name)) throw EEncodingError(gbk::UnencodableMessage(name));

  TFontStyle style;
  style.Name = name;
  style.Font.Name = QStringLiteral("Tahoma");
  style.Font.SetSize(12, PixelsPerInch());
  style.Font.Color = RgbColor(0, 128, 0);
  style.Font.Style = 0;
  style.Effect.Shadow = true;
  style.Effect.ShadowOffsetX = 2;
  style.Effect.ShadowOffsetY = 2;
  fonts.Add(style);

  ModifyFont(name);
  ModifyEffect(name);
  return true;
}

void TBlessing::DeleteFontStyle(const QString& name) {
  Model().Fonts.Remove(name);
}

void TBlessing::ModifyFont(const QString& name) {
  TFontStyles& fonts = Model().Fonts;
  const TFontStyle* found = fonts.Find(name);
  if (!found || !FontDialog) return;
  // The dialog runs its own event loop, in which the table may change: it gets
  // a copy, and the style is looked up again afterwards.
  const TFontStyle style = *found;
  const std::optional<TFontSpec> font = FontDialog(style.Name, style.Font);
  const int index = fonts.IndexOf(name);
  if (font && index >= 0) fonts.SetFont(index, *font);
}

void TBlessing::ModifyEffect(const QString& name) {
  TFontStyles& fonts = Model().Fonts;
  const TFontStyle* found = fonts.Find(name);
  if (!found || !EffectDialog) return;
  const TFontStyle style = *found;
  const std::optional<TAAEffect> effect = EffectDialog(style.Name, style.Effect);
  const int index = fonts.IndexOf(name);
  if (effect && index >= 0) fonts.SetEffect(index, *effect);
}
