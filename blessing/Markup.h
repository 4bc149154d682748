#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

#include "FontStyle.h"

// The blessing markup, read the same way by every renderer (the page's preview,
// the saver engine, the command-line tool). A tag is a name between "<" and ">".
// - A tag naming one of the fixed labels (letter case ignored) is a label: Left,
//   Center and Right set the line's alignment; Owner, Organization, AppTitle,
//   Date and Time are replaced by their text. The labels come first, so a style
//   named like a label cannot be selected by a tag.
// - Otherwise a tag naming a style of the table (letter case ignored, first
//   match) selects that style for the whole line.
// - Recognised tags are removed; when a line holds several style or alignment
//   tags, the last of each kind wins.
// - Anything else in angle brackets, an empty "<>", and a "<" without a ">"
//   before the next "<" stay in the text as typed. Replacement text is not read
//   again for tags.
// The stored lines are never changed; this only decides how they are shown.

enum class TLineAlign { Left, Center, Right };

// One piece of a line: plain text, or a tag with the name between its brackets.
struct TMarkupPiece {
  bool IsTag = false;
  QString Text;  // the text, or the tag's name
  friend bool operator==(const TMarkupPiece&, const TMarkupPiece&) = default;
};

// The line in pieces, in order; adjacent text is one piece. The pieces put back
// together (tags in their brackets) give the line again.
QList<TMarkupPiece> SplitMarkup(const QString& line);

// What the text labels stand for. Tests and the saver engine fill it in; the
// tool takes Current().
struct TMarkupContext {
  QString Owner;
  QString Organization;
  QString AppTitle = QStringLiteral("Pavona");
  QDateTime Now;
  QLocale Locale;

  // The user's full name and organisation, the title "Pavona", the present
  // moment and the system locale.
  static TMarkupContext Current();
};

struct TMarkupLine {
  QString Text;                     // what is drawn
  int StyleIndex = -1;              // the selected style's position in the table, or -1
  std::optional<TLineAlign> Align;  // unset when the line names no alignment
};

TMarkupLine ReadMarkup(const QString& line, const TFontStyles& styles, const TMarkupContext& context);
