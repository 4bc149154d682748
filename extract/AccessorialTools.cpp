#include "AccessorialTools.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include "FileIdentity.h"
#include "PavonaError.h"

namespace {

constexpr qint64 kCopyChunk = 1024 * 1024;

[[noreturn]] void ThrowFileError(const char16_t* zh, const char* en, const QFile& file) {
  throw EInOutError(
      QStringLiteral("%1“%2”：%3 (%4 \"%2\": %3)")
          .arg(QString::fromUtf16(zh), file.fileName(), file.errorString(), QString::fromLatin1(en)));
}

// Reads exactly n bytes or throws: a projector that ends early while we copy
// (it shrank, or the disk failed) must not pass for a complete movie.
void ReadExactly(QFile& in, char* buffer, qint64 n) {
  qint64 got = 0;
  while (got < n) {
    const qint64 r = in.read(buffer + got, n - got);
    if (r < 0) ThrowFileError(u"无法读取文件", "Cannot read file", in);
    if (r == 0) {
      throw EInOutError(
          QStringLiteral("文件“%1”意外结束。(File \"%1\" ended unexpectedly.)").arg(in.fileName()));
    }
    got += r;
  }
}

void WriteAll(QFile& out, const char* data, qint64 n) {
  qint64 done = 0;
  while (done < n) {
    const qint64 w = out.write(data + done, n - done);
    if (w <= 0) ThrowFileError(u"无法写入文件", "Cannot write file", out);
    done += w;
  }
}

qint32 Le32(const uchar* p) {
  return qint32(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24));
}

}  // namespace

int TExtractFlash::ExtractSwf(const QString& ExeFile, const QString& SwfFile) {
  if (!QFileInfo(ExeFile).isFile()) return kExtractNoFile;
  // The output is emptied before the projector is read, so the same file must
  // be caught before that.
  if (platform::SameFile(ExeFile, SwfFile)) return kExtractSameFile;

  int result = kExtractOk;
  {
    QFile out(SwfFile);
    // Unbuffered, so that a failed write surfaces at the write and not in a
    // close whose result is easy to lose.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
      ThrowFileError(u"无法创建文件", "Cannot create file", out);
    }
    QFile in(ExeFile);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
      ThrowFileError(u"无法打开文件", "Cannot open file", in);

    const qint64 size = in.size();
    qint64 length = 0;
    if (size < 8) {
      result = kExtractNotProjector;
    } else {
      uchar trailer[8];
      if (!in.seek(size - 8)) ThrowFileError(u"无法读取文件", "Cannot read file", in);
      ReadExactly(in, reinterpret_cast<char*>(trailer), 8);
      length = Le32(trailer + 4);
      if (trailer[3] != 0xFA || length <= 0 || length > size - 8) result = kExtractNotProjector;
    }

    if (result == kExtractOk) {
      if (!in.seek(size - 8 - length)) ThrowFileError(u"无法读取文件", "Cannot read file", in);
      QByteArray buffer(qsizetype(qMin(length, kCopyChunk)), Qt::Uninitialized);
      for (qint64 left = length; left > 0;) {
        const qint64 n = qMin(left, kCopyChunk);
        ReadExactly(in, buffer.data(), n);
        WriteAll(out, buffer.constData(), n);
        left -= n;
      }
    }
    in.close();
    out.close();
    if (out.error() != QFileDevice::NoError) ThrowFileError(u"无法写入文件", "Cannot write file", out);
  }

  if (result == kExtractNotProjector && QFile::exists(SwfFile) && !QFile::remove(SwfFile)) {
    throw EInOutError(QStringLiteral("无法删除文件“%1”。(Cannot delete file \"%1\".)").arg(SwfFile));
  }
  return result;
}

QString ChangeFileExt(const QString& path, const QString& ext) {
  qsizetype nameStart = path.lastIndexOf(u'/') + 1;
#ifdef Q_OS_WIN
  nameStart = qMax(nameStart, path.lastIndexOf(u'\\') + 1);
#endif
  const qsizetype dot = path.lastIndexOf(u'.');
  return (dot >= nameStart ? path.left(dot) : path) + ext;
}
