#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

class ProfileDocument;

// Colours are kept as the 32-bit Windows value that FontStyle.ini stores: red in
// the lowest byte, then green, then blue. A high byte of 255 marks a system
// colour whose GetSysColor index is the lowest byte; such a value is negative.
using TColorValue = qint32;

constexpr TColorValue RgbColor(int red, int green, int blue) {
  return static_cast<TColorValue>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr TColorValue SystemColor(int index) {
  return static_cast<TColorValue>(0xFF000000u | static_cast<quint32>(index & 0xFF));
}
constexpr bool IsSystemColor(TColorValue color) {
  return (static_cast<quint32>(color) >> 24) == 0xFF;
}

struct TRgb {
  int Red = 0, Green = 0, Blue = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

// The colour as it is drawn. A system colour takes the classic Windows scheme's
// value for its GetSysColor index (platform::SystemColorRgb: indexes 0 to 30,
// black for any other). Any other value is its three low bytes.
TRgb ColorToRgb(TColorValue color);

// MulDiv as Windows does it: a * b / c rounded half away from zero, worked out
// in 64 bits; a result beyond the int range is held at its edge (+-INT_MAX, so
// that it can be negated), and c == 0 gives 0.
int MulDiv(int a, int b, int c);

// A font's size in points and its height in pixels are two views of one value;
// the height (negative for the character height) is the one kept.
int FontHeightFromSize(int size, int pixelsPerInch);
int FontSizeFromHeight(int height, int pixelsPerInch);

enum TFontStyleBit : quint8 { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

enum class TGradualStyle : quint8 {
  gsLeftToRight = 0,
  gsRightToLeft = 1,
  gsTopToBottom = 2,
  gsBottomToTop = 3,
  gsCenterToLR = 4,
  gsCenterToTB = 5,
};

enum class TTextureMode : quint8 { tmTiled = 0, tmStretched = 1, tmCenter = 2, tmNormal = 3 };

// The font half of a style.
struct TFontSpec {
  QString Name = QStringLiteral("Tahoma");  // face name
  quint8 Charset = 1;                       // 0 ANSI, 1 default, 134 GB2312
  TColorValue Color = 0;
  int Height = -16;  // pixels; 12 points at 96 pixels per inch
  quint8 Style = 0;  // TFontStyleBit flags

  int Size(int pixelsPerInch) const { return FontSizeFromHeight(Height, pixelsPerInch); }
  void SetSize(int size, int pixelsPerInch) { Height = FontHeightFromSize(size, pixelsPerInch); }

  friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

// The anti-aliased effect half of a style: the twenty values that FontStyle.ini
// keeps, each in the width of its field, with the effect's defaults. The value
// ranges (0 to 100 for the percentages, -360 to 360 for the angle, -20 to 20 for
// the offsets) are not enforced: a file may hold any value the width allows, so
// drawing code clamps.
struct TAAEffect {
  quint8 Alpha = 100;
  quint8 Blur = 0;
  quint8 Noise = 0;
  quint8 Spray = 0;
  qint16 Angle = 0;
  bool Outline = false;
  bool HorzMirror = false;
  bool VertMirror = false;
  bool Shadow = false;
  quint8 ShadowAlpha = 70;
  quint8 ShadowBlur = 80;
  TColorValue ShadowColor = RgbColor(68, 68, 68);
  qint8 ShadowOffsetX = 2;
  qint8 ShadowOffsetY = 2;
  bool Gradual = false;
  TColorValue GradualStartColor = RgbColor(255, 255, 255);
  TColorValue GradualEndColor = RgbColor(0, 0, 0);
  TGradualStyle GradualStyle = TGradualStyle::gsLeftToRight;
  bool Texture = false;
  TTextureMode TextureMode = TTextureMode::tmTiled;

  friend bool operator==(const TAAEffect&, const TAAEffect&) = default;
};

struct TFontStyle {
  QString Name;
  TFontSpec Font;
  TAAEffect Effect;

  friend bool operator==(const TFontStyle&, const TFontStyle&) = default;
};

// The table of named font styles. Names are unique without regard to letter
// case: the table refuses a second style with a name it holds already, so the
// name of a style is changed only through Rename.
class TFontStyles {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  const TFontStyle& At(int index) const { return items_.at(static_cast<size_t>(index)); }
  const TFontStyle& operator[](int index) const { return At(index); }
  std::vector<TFontStyle>::const_iterator begin() const { return items_.begin(); }
  std::vector<TFontStyle>::const_iterator end() const { return items_.end(); }

  // Position of the first style whose name equals the given one without regard
  // to letter case, or -1.
  int IndexOf(const QString& name) const;
  const TFontStyle* Find(const QString& name) const;
  bool Contains(const QString& name) const { return IndexOf(name) >= 0; }

  // Appends the style; false, and nothing changes, when its name is taken.
  bool Add(const TFontStyle& style);
  // False, and nothing changes, when another style holds the name.
  bool Rename(int index, const QString& name);
  void SetFont(int index, const TFontSpec& font) { items_.at(static_cast<size_t>(index)).Font = font; }
  void SetEffect(int index, const TAAEffect& effect) {
    items_.at(static_cast<size_t>(index)).Effect = effect;
  }
  void Delete(int index) { items_.erase(items_.begin() + index); }
  // Removes the style found by name; false when there is none.
  bool Remove(const QString& name);
  void Clear() { items_.clear(); }

  QStringList Names() const;

  friend bool operator==(const TFontStyles&, const TFontStyles&) = default;

 private:
  std::vector<TFontStyle> items_;
};

// The seven styles the blessing page carries before any FontStyle.ini is read:
// Title1, Title2, Title3, Text1, Text2, Title4, Text3.
TFontStyles DefaultFontStyles();

// FontStyle.ini as the tool and the saver engine read it. Sections are taken in
// file order whatever their names. A missing font key takes its fixed default; a
// missing effect key keeps the value the previous section left (one effect is
// carried through the load, starting from the defaults). FontSize decides the
// height at the given pixels per inch. A section whose StyleName the table holds
// already (letter case ignored) is passed over as a whole, its effect keys
// included, so what the next section carries is what the last loaded one left.
TFontStyles ReadFontStyles(const ProfileDocument& doc, int pixelsPerInch);

// Erases every section of the document, then writes one section per style,
// named by its position ("0", "1", ...), with the seven font keys and the
// twenty effect keys in their fixed order. Throws EEncodingError (and leaves the
// document as it was) when a name cannot be held in GBK.
void WriteFontStyles(ProfileDocument& doc, const TFontStyles& styles, int pixelsPerInch);
