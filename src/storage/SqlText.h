// Building and reading SQL text: every text value goes through SqlQuote, never by hand.
#pragma once

#include <QString>

// The text in single quotes with every single quote inside doubled: O'Neil -> 'O''Neil'.
QString SqlQuote(const QString& text);
// The text without spaces and control characters (every character up to U+0020) at either end.
QString TrimText(const QString& text);
// True for a row id as the tables assign them (one to nineteen decimal digits): such text may be
// written into a statement unquoted.
bool IsRowId(const QString& id);
