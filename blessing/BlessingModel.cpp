#include "BlessingModel.h"

#include "GbkText.h"

const QStringList& TBlessingModel::Labels() {
  static const QStringList labels = {
      QStringLiteral("Left"),  QStringLiteral("Center"),       QStringLiteral("Right"),
      QStringLiteral("Owner"), QStringLiteral("Organization"), QStringLiteral("AppTitle"),
      QStringLiteral("Date"),  QStringLiteral("Time"),
  };
  return labels;
}

QByteArray BlessingFileBytes(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) {
    text += line;
    text += QLatin1String("\r\n");
  }
  return gbk::Encode(text);
}

QStringList ReadBlessingLines(const QByteArray& bytes) {
  QStringList lines;
  const qsizetype n = bytes.size();
  qsizetype start = 0;
  // CR and LF never occur inside a GBK character (trail bytes are 0x40 and up),
  // so the bytes can be split before decoding.
  while (start < n) {
    qsizetype end = start;
    while (end < n && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    lines << gbk::Decode(bytes.mid(start, end - start));
    if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}
