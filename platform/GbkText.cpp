#include "GbkText.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "PavonaError.h"

namespace gbk {
namespace {

// One iconv conversion descriptor per call: iconv_t is not thread-safe, and the
// data files are small enough that opening one costs nothing that matters.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

constexpr const char kGbk[] = "GBK";

// Index of the first code point that GBK cannot hold, or -1.
qsizetype FirstUnencodable(const QString& text) {
  Converter conv(kGbk, "UTF-8");
  if (!conv.ok()) return 0;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    QByteArray utf8 = text.mid(i, len).toUtf8();
    if (text[i].isSurrogate() && len == 1) return i;  // a lone surrogate is no character
    char out[16];
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* outPtr = out;
    size_t outLeft = sizeof out;
    if (iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return i;
    i += len;
  }
  return -1;
}

}  // namespace

std::optional<QByteArray> TryEncode(const QString& text) {
  if (text.isEmpty()) return QByteArray();
  for (QChar c : text) {
    if (c.isSurrogate()) {
      // Only a pair can form a character; GBK holds none above the BMP anyway.
      return std::nullopt;
    }
  }
  Converter conv(kGbk, "UTF-8");
  if (!conv.ok()) return std::nullopt;
  QByteArray utf8 = text.toUtf8();
  QByteArray result;
  result.resize(utf8.size() * 2 + 16);
  char* in = utf8.data();
  size_t inLeft = static_cast<size_t>(utf8.size());
  char* out = result.data();
  size_t outLeft = static_cast<size_t>(result.size());
  if (iconv(conv.get(), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
    return std::nullopt;
  }
  result.resize(result.size() - static_cast<qsizetype>(outLeft));
  return result;
}

QByteArray Encode(const QString& text) {
  if (auto bytes = TryEncode(text)) return *bytes;
  throw EEncodingError(UnencodableMessage(text));
}

bool CanEncode(const QString& text) { return TryEncode(text).has_value(); }

QString UnencodableMessage(const QString& text) {
  const qsizetype at = FirstUnencodable(text);
  QString bad = at >= 0 ? text.mid(at, (text[at].isHighSurrogate() && at + 1 < text.size()) ? 2 : 1)
                        : QString();
  return QStringLiteral("文本中含有无法以 GBK 编码保存的字符“%1”，请修改后再试。"
                        "(The text contains the character \"%1\", which cannot be saved in the GBK encoding.)")
      .arg(bad);
}

namespace {

// Decodes and reports whether any byte had to be replaced.
QString DecodeImpl(const QByteArray& bytes, bool* clean) {
  if (clean) *clean = true;
  if (bytes.isEmpty()) return QString();
  // Most lines of the data files are plain ASCII, which GBK leaves as it is.
  bool ascii = true;
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return QString::fromLatin1(bytes);
  Converter conv("UTF-8", kGbk);
  if (!conv.ok()) {
    if (clean) *clean = false;
    return QString::fromLatin1(bytes);
  }
  std::vector<char> out(static_cast<size_t>(bytes.size()) * 3 + 16);
  QByteArray utf8;
  utf8.reserve(bytes.size() * 3 / 2 + 4);
  char* in = const_cast<char*>(bytes.constData());
  size_t inLeft = static_cast<size_t>(bytes.size());
  while (inLeft > 0) {
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft);
    utf8.append(out.data(), static_cast<qsizetype>(out.size() - outLeft));
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == EILSEQ || errno == EINVAL) {
      // An invalid or cut-off sequence: replace one byte and go on after it.
      utf8.append("\xEF\xBF\xBD");
      ++in;
      --inLeft;
      if (clean) *clean = false;
      iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    } else if (errno != E2BIG) {
      if (clean) *clean = false;
      break;
    }
  }
  return QString::fromUtf8(utf8);
}

}  // namespace

QString Decode(const QByteArray& bytes) { return DecodeImpl(bytes, nullptr); }

bool IsValid(const QByteArray& bytes) {
  bool clean = true;
  DecodeImpl(bytes, &clean);
  return clean;
}

}  // namespace gbk
