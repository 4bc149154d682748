#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The boundary between the program's Unicode text and the GBK bytes of the data
// files, package names and file contents that the saver and other programs read.
namespace gbk {

// GBK bytes for the text, or nothing when some character has no GBK form.
std::optional<QByteArray> TryEncode(const QString& text);

// GBK bytes for the text; throws EEncodingError naming the first character that
// GBK cannot hold. Nothing is ever replaced by '?'.
QByteArray Encode(const QString& text);

bool CanEncode(const QString& text);

// Text of GBK bytes. Bytes that are no valid GBK become U+FFFD, so reading never fails.
QString Decode(const QByteArray& bytes);

// True when the bytes decode as GBK without any invalid sequence.
bool IsValid(const QByteArray& bytes);

// The user's message for text that cannot be stored, naming the offending character.
QString UnencodableMessage(const QString& text);

}  // namespace gbk
