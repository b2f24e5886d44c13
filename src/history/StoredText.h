// Page text on its way into the data file. A page chooses its title and address freely: a title
// of millions of characters would grow the file by megabytes on every visit, and a NUL character
// ends the statement's text early, so that the row is silently not stored.
#pragma once

#include <QString>

class TStoredText final {
public:
    TStoredText() = delete;

    // The longest title kept, in characters.
    static constexpr int MaxTitleLength = 4096;

    // The title without NUL characters, cut to MaxTitleLength (never between the halves of a
    // surrogate pair).
    static QString Title(const QString& title);
    // The address with every NUL character written as "%00", as URL parsers write it.
    static QString Address(const QString& address);
};
