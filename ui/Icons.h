#pragma once

#include <QIcon>

// The tool's own artwork, painted at run time so it scales and needs no image files.
namespace icons {

// The image list's entries by index (0 document with disk, 1 with magic wand,
// 2 monitor, 3 with red down arrow, 4 with globe, 6 book with question mark,
// 8 with information sign, 9 with pencil, 10 with right arrow, 11 red exit button).
QIcon ImageListIcon(int index);

enum class Glyph { Add, Delete, MoveUp, MoveDown, Play, Pause, Stop, StyleModify, StyleAdd, StyleDelete };
QIcon GlyphIcon(Glyph glyph);

// The window icon, painted at the sizes the desktop asks for (16, 32, 48).
QIcon AppIcon();

// A swatch of the colour with a grey border, for colour lists.
QIcon ColorSwatch(const QColor& color);

}  // namespace icons
