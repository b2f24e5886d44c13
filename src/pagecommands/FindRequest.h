// What the find window asks the main window to search for: the text, the letter case rule and the
// direction. Travels by value inside a posted WM_FIND_IN_PAGE message.
#pragma once

#include <QString>

struct TFindRequest final {
    static constexpr int MaxText = 260; // the record's limit; the find window allows 128
    static constexpr int MaxInput = 128;

    QString Text;
    bool MatchCase = false;
    bool Forward = true;

    // A request with the text cut to MaxText characters.
    static TFindRequest Make(const QString& text, bool matchCase, bool forward);
    // The same search in the other direction, or forward again (F3 / Shift+F3).
    TFindRequest Repeated(bool forward) const;
};
