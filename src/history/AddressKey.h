// The text the address search index holds for an address: the address without its leading
// "http://" or "https://" and "www.", which nearly every address has (they would take a sixth of
// the index). A search still compares the whole address, so a text that includes them finds its
// rows: the index is asked only for the pieces a match must hold outside the left-out part.
#pragma once

#include <QByteArray>
#include <QString>

class TAddressKey {
public:
    TAddressKey() = delete;

    // How many leading bytes of the address (ASCII-compatible bytes) the index leaves out.
    static int LeftOut(const char* bytes, int size);
    // The FTS5 query for the rows whose indexed text holds what an address containing the LIKE
    // text "%text%" must hold there; empty when such an address need hold nothing there that the
    // trigram index can look up (then the rows are read instead).
    static QString TrigramQuery(const QString& text);
};
