#pragma once

#include <ostream>

#include "FontStyle.h"

// Readable styles in failure messages.
inline void PrintTo(const TFontStyle& s, std::ostream* os) {
  const TAAEffect& e = s.Effect;
  *os << s.Name.toStdString() << " {" << s.Font.Name.toStdString() << " cs" << int(s.Font.Charset) << " c"
      << s.Font.Color << " h" << s.Font.Height << " st" << int(s.Font.Style) << "} {a" << int(e.Alpha) << " b"
      << int(e.Blur) << " n" << int(e.Noise) << " sp" << int(e.Spray) << " an" << e.Angle << " o" << e.Outline
      << " hm" << e.HorzMirror << " vm" << e.VertMirror << " sh" << e.Shadow << " sa" << int(e.ShadowAlpha)
      << " sb" << int(e.ShadowBlur) << " sc" << e.ShadowColor << " sx" << int(e.ShadowOffsetX) << " sy"
      << int(e.ShadowOffsetY) << " g" << e.Gradual << " gs" << e.GradualStartColor << " ge"
      << e.GradualEndColor << " gst" << int(e.GradualStyle) << " t" << e.Texture << " tm"
      << int(e.TextureMode) << "}";
}
