#include "Markup.h"

#include "UserInfo.h"

QList<TMarkupPiece> SplitMarkup(const QString& line) {
  QList<TMarkupPiece> pieces;
  auto addText = [&](const QString& text) {
    if (text.isEmpty()) return;
    if (!pieces.isEmpty() && !pieces.back().IsTag) {
      pieces.back().Text += text;
    } else {
      pieces.append({false, text});
    }
  };
  const qsizetype n = line.size();
  qsizetype i = 0;
  while (i < n) {
    const qsizetype open = line.indexOf(u'<', i);
    if (open < 0) {
      addText(line.mid(i));
      break;
    }
    addText(line.mid(i, open - i));
    // The tag closes at the next '>' unless another '<' comes first, in which
    // case this '<' is plain text and the next one may open a tag.
    qsizetype j = open + 1;
    while (j < n && line[j] != u'>' && line[j] != u'<') ++j;
    if (j < n && line[j] == u'>' && j > open + 1) {
      pieces.append({true, line.mid(open + 1, j - open - 1)});
      i = j + 1;
    } else {
      addText(line.mid(open, j - open));
      i = j;
    }
  }
  return pieces;
}

TMarkupContext TMarkupContext::Current() {
  TMarkupContext context;
  context.Owner = platform::UserFullName();
  context.Organization = platform::UserOrganization();
  context.Now = QDateTime::currentDateTime();
  context.Locale = QLocale::system();
  return context;
}

namespace {

bool Is(const QString& name, const char* label) {
  return name.compare(QLatin1String(label), Qt::CaseInsensitive) == 0;
}

}  // namespace

TMarkupLine ReadMarkup(const QString& line, const TFontStyles& styles, const TMarkupContext& context) {
  TMarkupLine result;
  for (const TMarkupPiece& piece : SplitMarkup(line)) {
    if (!piece.IsTag) {
      result.Text += piece.Text;
      continue;
    }
    const QString& name = piece.Text;
    if (Is(name, "Left")) {
      result.Align = TLineAlign::Left;
    } else if (Is(name, "Center")) {
      result.Align = TLineAlign::Center;
    } else if (Is(name, "Right")) {
      result.Align = TLineAlign::Right;
    } else if (Is(name, "Owner")) {
      result.Text += context.Owner;
    } else if (Is(name, "Organization")) {
      result.Text += context.Organization;
    } else if (Is(name, "AppTitle")) {
      result.Text += context.AppTitle;
    } else if (Is(name, "Date")) {
      result.Text += context.Locale.toString(context.Now.date(), QLocale::ShortFormat);
    } else if (Is(name, "Time")) {
      result.Text += context.Locale.toString(context.Now.time(), QLocale::ShortFormat);
    } else if (const int index = styles.IndexOf(name); index >= 0) {
      result.StyleIndex = index;
    } else {
      result.Text += u'<' + name + u'>';
    }
  }
  return result;
}
