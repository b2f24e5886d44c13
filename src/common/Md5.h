// The MD5 digest as text: the key of the download maps, favicon files and per-domain settings.
#pragma once

#include <QString>

// 32 lower-case hex digits of the MD5 of the text's UTF-8 bytes.
QString Md5Hex(const QString& text);
