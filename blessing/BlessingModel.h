#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "FontStyle.h"

// What the blessing preview shows and what the saver draws: the style table, the
// fixed labels and the blessing lines. Plain data without any widget; the
// fade-text widget keeps a pointer to one and redraws from it, and headless code
// (the command-line tool, the saver engine) loads and saves one through TBlessing.
class TBlessingModel {
 public:
  // Starts with the seven default styles and no lines.
  TBlessingModel() : Fonts(DefaultFontStyles()) {}

  TFontStyles Fonts;
  QStringList Lines;

  // The eight fixed labels: the alignment labels Left, Center and Right, then
  // the text labels Owner, Organization, AppTitle, Date and Time. They are
  // stored in no file.
  static const QStringList& Labels();
};

// Blessing.dat: the lines in GBK, each followed by CR LF, the last one included;
// no lines give no bytes. Throws EEncodingError for a line GBK cannot hold.
QByteArray BlessingFileBytes(const QStringList& lines);
// Lines end at CR LF, a lone CR or a lone LF; a last line without an end counts.
// Bytes that are no valid GBK become U+FFFD.
QStringList ReadBlessingLines(const QByteArray& bytes);
