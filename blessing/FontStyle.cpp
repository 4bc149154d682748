#include "FontStyle.h"

#include <climits>
#include <optional>

#include "IniFiles.h"
#include "ProfileDocument.h"
#include "SystemColors.h"

TRgb ColorToRgb(TColorValue color) {
  const quint32 v = static_cast<quint32>(color);
  if (IsSystemColor(color)) {
    const quint32 rgb = platform::SystemColorRgb(static_cast<int>(v & 0xFF));
    return TRgb{static_cast<int>(rgb >> 16) & 0xFF, static_cast<int>(rgb >> 8) & 0xFF,
                static_cast<int>(rgb) & 0xFF};
  }
  return TRgb{static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
              static_cast<int>((v >> 16) & 0xFF)};
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  const qint64 num = static_cast<qint64>(a) * b;
  const qint64 absNum = num < 0 ? -num : num;
  const qint64 absDen = c < 0 ? -static_cast<qint64>(c) : c;
  qint64 q = (absNum + absDen / 2) / absDen;
  if ((num < 0) != (c < 0)) q = -q;
  if (q > INT_MAX) return INT_MAX;
  if (q < -INT_MAX) return -INT_MAX;
  return static_cast<int>(q);
}

namespace {

int SaneDpi(int pixelsPerInch) {
  return pixelsPerInch > 0 ? pixelsPerInch : 96;
}

}  // namespace

int FontHeightFromSize(int size, int pixelsPerInch) {
  return -MulDiv(size, SaneDpi(pixelsPerInch), 72);
}

int FontSizeFromHeight(int height, int pixelsPerInch) {
  return -MulDiv(height, 72, SaneDpi(pixelsPerInch));
}

int TFontStyles::IndexOf(const QString& name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].Name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  }
  return -1;
}

const TFontStyle* TFontStyles::Find(const QString& name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &items_[static_cast<size_t>(i)];
}

bool TFontStyles::Add(const TFontStyle& style) {
  if (Contains(style.Name)) return false;
  items_.push_back(style);
  return true;
}

bool TFontStyles::Rename(int index, const QString& name) {
  TFontStyle& style = items_.at(static_cast<size_t>(index));
  const int holder = IndexOf(name);
  if (holder >= 0 && holder != index) return false;
  style.Name = name;
  return true;
}

bool TFontStyles::Remove(const QString& name) {
  const int i = IndexOf(name);
  if (i < 0) return false;
  Delete(i);
  return true;
}

QStringList TFontStyles::Names() const {
  QStringList names;
  names.reserve(Count());
  for (const TFontStyle& s : items_) names << s.Name;
  return names;
}

TFontStyles DefaultFontStyles() {
  auto style = [](const char* name, const QString& face, int height, TColorValue color, quint8 bits,
                  quint8 charset) {
    TFontStyle s;
    s.Name = QString::fromLatin1(name);
    s.Font.Name = face;
    s.Font.Height = height;
    s.Font.Color = color;
    s.Font.Style = bits;
    s.Font.Charset = charset;
    return s;
  };
  const QString tahoma = QStringLiteral("Tahoma");
  const QString arial = QStringLiteral("Arial");
  TFontStyles table;

  TFontStyle s = style("Title1", tahoma, -21, RgbColor(0, 0, 0), 0, 1);
  s.Effect.Shadow = true;
  table.Add(s);

  s = style("Title2", tahoma, -21, RgbColor(0, 0, 255), fsBold, 1);
  s.Effect.Shadow = true;
  s.Effect.ShadowOffsetX = s.Effect.ShadowOffsetY = 1;
  s.Effect.Gradual = true;
  s.Effect.GradualStartColor = RgbColor(128, 0, 255);
  s.Effect.GradualEndColor = RgbColor(255, 255, 0);
  table.Add(s);

  s = style("Title3", arial, -21, RgbColor(0, 0, 255), 0, 1);
  s.Effect.Shadow = true;
  s.Effect.Gradual = true;
  s.Effect.GradualStyle = TGradualStyle::gsCenterToLR;
  s.Effect.GradualStartColor = RgbColor(0, 128, 255);
  s.Effect.GradualEndColor = RgbColor(0, 255, 0);
  table.Add(s);

  s = style("Text1", arial, -12, RgbColor(0, 0, 0), 0, 1);
  s.Effect.ShadowOffsetX = s.Effect.ShadowOffsetY = 1;
  table.Add(s);

  s = style("Text2", arial, -11, RgbColor(0, 128, 128), 0, 1);
  s.Effect.Shadow = true;
  s.Effect.ShadowOffsetX = s.Effect.ShadowOffsetY = 1;
  table.Add(s);

  s = style("Title4", tahoma, -19, RgbColor(0, 0, 0), 0, 0);
  s.Effect.Shadow = true;
  s.Effect.Gradual = true;
  s.Effect.GradualStartColor = RgbColor(0, 34, 255);
  s.Effect.GradualEndColor = RgbColor(255, 16, 34);
  s.Effect.Blur = 50;
  s.Effect.Outline = true;
  table.Add(s);

  s = style("Text3", QStringLiteral("隶书"), -15, RgbColor(0, 0, 255), 0, 1);
  s.Effect.Shadow = true;
  s.Effect.ShadowOffsetX = s.Effect.ShadowOffsetY = 1;
  s.Effect.Gradual = true;
  s.Effect.GradualStyle = TGradualStyle::gsTopToBottom;
  s.Effect.GradualStartColor = RgbColor(17, 136, 204);
  s.Effect.GradualEndColor = RgbColor(170, 34, 255);
  table.Add(s);

  return table;
}

namespace {

using KeyValues = std::vector<ProfileDocument::KeyValue>;

class SectionReader {
 public:
  SectionReader(const ProfileDocument& doc, const QString& section) : doc_(doc), section_(section) {}
  // A value ends at a NUL byte, as the Windows profile readers see it; kept, it
  // would make the table impossible to write back.
  std::optional<QString> Value(const char* key) const {
    std::optional<QString> text = doc_.Value(section_, QLatin1String(key));
    if (text) {
      const qsizetype nul = text->indexOf(QChar(0));
      if (nul >= 0) text->truncate(nul);
    }
    return text;
  }
  QString String(const char* key, const QString& def) const { return Value(key).value_or(def); }
  int Integer(const char* key, int def) const {
    const auto text = Value(key);
    return text ? ParseProfileInteger(*text).value_or(def) : def;
  }
  bool Bool(const char* key, bool def) const { return Integer(key, def ? 1 : 0) != 0; }

 private:
  const ProfileDocument& doc_;
  const QString& section_;
};

// The effect reads each key with its current value as the default and keeps the
// width of the field, as the effect's own loader does.
void ReadEffect(const SectionReader& in, TAAEffect& e) {
  e.Alpha = static_cast<quint8>(in.Integer("Alpha", e.Alpha));
  e.Blur = static_cast<quint8>(in.Integer("Blur", e.Blur));
  e.Noise = static_cast<quint8>(in.Integer("Noise", e.Noise));
  e.Spray = static_cast<quint8>(in.Integer("Spray", e.Spray));
  e.Angle = static_cast<qint16>(in.Integer("Angle", e.Angle));
  e.Outline = in.Bool("Outline", e.Outline);
  e.HorzMirror = in.Bool("HorzMirror", e.HorzMirror);
  e.VertMirror = in.Bool("VertMirror", e.VertMirror);
  e.Shadow = in.Bool("Shadow", e.Shadow);
  e.ShadowAlpha = static_cast<quint8>(in.Integer("ShadowAlpha", e.ShadowAlpha));
  e.ShadowBlur = static_cast<quint8>(in.Integer("ShadowBlur", e.ShadowBlur));
  e.ShadowColor = in.Integer("ShadowColor", e.ShadowColor);
  e.ShadowOffsetX = static_cast<qint8>(in.Integer("ShadowOffsetX", e.ShadowOffsetX));
  e.ShadowOffsetY = static_cast<qint8>(in.Integer("ShadowOffsetY", e.ShadowOffsetY));
  e.Gradual = in.Bool("Gradual", e.Gradual);
  e.GradualStartColor = in.Integer("GradualStartColor", e.GradualStartColor);
  e.GradualEndColor = in.Integer("GradualEndColor", e.GradualEndColor);
  const quint8 gradual = static_cast<quint8>(in.Integer("GradualStyle", static_cast<int>(e.GradualStyle)));
  e.GradualStyle = gradual > 5 ? TGradualStyle::gsLeftToRight : static_cast<TGradualStyle>(gradual);
  e.Texture = in.Bool("Texture", e.Texture);
  const quint8 texture = static_cast<quint8>(in.Integer("TextureMode", static_cast<int>(e.TextureMode)));
  e.TextureMode = texture > 3 ? TTextureMode::tmTiled : static_cast<TTextureMode>(texture);
}

// Profile readers strip blanks around a value and one pair of outer quotes, so a
// name such as " Title" or "'x'" would come back changed (and could then clash
// with another name). Quoting such a value keeps it as it is for every reader.
QString ProfileValue(const QString& value) {
  if (value.isEmpty()) return value;
  auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
  const bool quoted =
      value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
  if (blank(value.front()) || blank(value.back()) || quoted) return u'"' + value + u'"';
  return value;
}

QString Int(int v) {
  return QString::number(v);
}
QString Bool(bool v) {
  return v ? QStringLiteral("1") : QStringLiteral("0");
}

KeyValues StyleKeys(const TFontStyle& s, int pixelsPerInch) {
  const TAAEffect& e = s.Effect;
  return {
      {"StyleName", ProfileValue(s.Name)},
      {"Charset", Int(s.Font.Charset)},
      {"Color", Int(s.Font.Color)},
      {"Height", Int(s.Font.Height)},
      {"FontName", ProfileValue(s.Font.Name)},
      {"FontSize", Int(s.Font.Size(pixelsPerInch))},
      {"FontStyle", Int(s.Font.Style)},
      {"Alpha", Int(e.Alpha)},
      {"Blur", Int(e.Blur)},
      {"Noise", Int(e.Noise)},
      {"Spray", Int(e.Spray)},
      {"Angle", Int(e.Angle)},
      {"Outline", Bool(e.Outline)},
      {"HorzMirror", Bool(e.HorzMirror)},
      {"VertMirror", Bool(e.VertMirror)},
      {"Shadow", Bool(e.Shadow)},
      {"ShadowAlpha", Int(e.ShadowAlpha)},
      {"ShadowBlur", Int(e.ShadowBlur)},
      {"ShadowColor", Int(e.ShadowColor)},
      {"ShadowOffsetX", Int(e.ShadowOffsetX)},
      {"ShadowOffsetY", Int(e.ShadowOffsetY)},
      {"Gradual", Bool(e.Gradual)},
      {"GradualStartColor", Int(e.GradualStartColor)},
      {"GradualEndColor", Int(e.GradualEndColor)},
      {"GradualStyle", Int(static_cast<int>(e.GradualStyle))},
      {"Texture", Bool(e.Texture)},
      {"TextureMode", Int(static_cast<int>(e.TextureMode))},
  };
}

}  // namespace

TFontStyles ReadFontStyles(const ProfileDocument& doc, int pixelsPerInch) {
  TFontStyles table;
  TAAEffect effect;
  for (const QString& section : doc.SectionNames()) {
    const SectionReader in(doc, section);
    TFontStyle style;
    style.Name = in.String("StyleName", QStringLiteral("Title"));
    if (table.Contains(style.Name)) continue;
    TFontSpec& font = style.Font;
    font.Charset = static_cast<quint8>(in.Integer("Charset", 134));
    font.Color = in.Integer("Color", 0);
    font.Height = in.Integer("Height", -19);
    font.Name = in.String("FontName", QStringLiteral("Tahoma"));
    // The size is set after the height and so decides it.
    font.SetSize(in.Integer("FontSize", 14), pixelsPerInch);
    font.Style = static_cast<quint8>(in.Integer("FontStyle", 0));
    ReadEffect(in, effect);
    style.Effect = effect;
    table.Add(style);
  }
  return table;
}

void WriteFontStyles(ProfileDocument& doc, const TFontStyles& styles, int pixelsPerInch) {
  // Work on a copy so that a name GBK cannot hold leaves the document untouched.
  ProfileDocument work = doc;
  // Erasing removes the first section of a name; a file may hold the same name
  // twice, so go on until none is left.
  for (QStringList names = work.SectionNames(); !names.isEmpty(); names = work.SectionNames()) {
    bool erased = false;
    for (const QString& name : names) erased = work.EraseSection(name) || erased;
    if (!erased) break;
  }
  for (int i = 0; i < styles.Count(); ++i)
    work.ReplaceSection(QString::number(i), StyleKeys(styles[i], pixelsPerInch));
  doc = std::move(work);
}
