// Byte counts as the download and cache windows show them.
#include "common/SizeText.h"

QString FormatSize(qint64 bytes) {
    if (bytes < 1024)
        return QString::number(bytes) + QLatin1Char('B');
    if (bytes < 1048576)
        return QString::asprintf("%.2fK", bytes / 1024.0);
    if (bytes < 1073741824)
        return QString::asprintf("%.2fM", bytes / 1048576.0);
    return QString::asprintf("%.2fG", bytes / 1073741824.0);
}
