// The data file's text codec: GB18030, a superset of the Chinese ANSI code page (936) that keeps
// every character (emoji, rare ideographs) instead of replacing it.
#pragma once

#include <QByteArray>
#include <QString>

QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);
QString FromAnsi(const char* bytes, int length);
