#include "PackageFormat.h"

#include "GbkText.h"

namespace package {

QByteArray EncodeName(const QString& name, qsizetype maxBytes) {
  const QByteArray bytes = gbk::Encode(name);
  if (bytes.contains('\0')) {
    throw EPackageError(
        QStringLiteral("The name \"%1\" holds a zero character, which would end it early.").arg(name));
  }
  if (bytes.size() > maxBytes) {
    throw EPackageError(QStringLiteral("The name \"%1\" takes %2 bytes; a saver package holds at most %3.")
                            .arg(name)
                            .arg(bytes.size())
                            .arg(maxBytes));
  }
  return bytes;
}

}  // namespace package
