// The MD5 digest as text.
#include "common/Md5.h"

#include <QCryptographicHash>

QString Md5Hex(const QString& text) {
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}
