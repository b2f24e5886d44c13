// The program's log line.
#pragma once

#include <QString>

// "[Brisvane 1.0.0.0]: text" on the program's log (standard error, category "quellon").
void WriteLog(const QString& text);
