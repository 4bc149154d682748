// Feeds arbitrary text to the markup reader and checks what must always hold:
// the pieces put together give the line back, a selected style exists, text
// without any "<" is shown as it is, and the shown text never grows beyond the
// line plus the label texts put in.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "FontStyle.h"
#include "Markup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

  const QList<TMarkupPiece> pieces = SplitMarkup(line);
  QString joined;
  int tags = 0;
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    const TMarkupPiece& p = pieces[i];
    if (p.Text.isEmpty()) abort();
    if (p.IsTag) {
      ++tags;
      if (p.Text.contains(u'<') || p.Text.contains(u'>')) abort();
      joined += u'<' + p.Text + u'>';
    } else {
      if (i > 0 && !pieces[i - 1].IsTag) abort();  // adjacent text is one piece
      joined += p.Text;
    }
  }
  if (joined != line) abort();

  // A few styles named by the input itself, so that tags can find them.
  TFontStyles styles = DefaultFontStyles();
  for (const TMarkupPiece& p : pieces) {
    if (p.IsTag && p.Text.size() % 2 == 0) {
      TFontStyle s;
      s.Name = p.Text;
      styles.Add(s);
    }
  }
  TMarkupContext context;
  context.Owner = QStringLiteral("Owner Name");
  context.Organization = QStringLiteral("Org");
  context.Now = QDateTime(QDate(2006, 8, 18), QTime(12, 36));
  context.Locale = QLocale::c();
  const TMarkupLine shown = ReadMarkup(line, styles, context);
  if (shown.StyleIndex < -1 || shown.StyleIndex >= styles.Count()) abort();
  if (!line.contains(u'<') && (shown.Text != line || shown.StyleIndex != -1 || shown.Align)) abort();
  if (shown.Text.size() > line.size() + tags * 32) abort();
  return 0;
}
