// The data file's text codec: GB18030, a superset of the Chinese ANSI code page (936) that keeps
// every character (emoji, rare ideographs) instead of replacing it.
#pragma once

#include <QByteArray>
#include <QString>

QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);
QString FromAnsi(const char* bytes, int length);
// Kept though nothing calls it: the public helper set includes it.
// True when the text takes a different number of bytes in the data-file codec than UTF-16 units.
bool HasMultiByteChars(const QString& text);
