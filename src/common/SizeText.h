// Byte counts as the download and cache windows show them.
#pragma once

#include <QString>

// 1023 -> "1023B", 1024 -> "1.00K", 1572864 -> "1.50M", 1073741824 -> "1.00G".
QString FormatSize(qint64 bytes);
