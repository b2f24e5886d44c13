// The order of the address-bar suggestions.
#pragma once

#include "history/History.h"

#include <QHash>

// How a row matches the typed text, best first.
enum class TSuggestionMatch {
    AddressPrefix, // the address starts with the text (also after the scheme and after "www.")
    Title,         // the title contains the text (letter case ignored)
    Pinyin,        // the title's pinyin or pinyin initials contain it
    Address,       // the address contains it elsewhere
    None,
};

TSuggestionMatch SuggestionMatch(const QString& text, const THistoryInfo& row);

// One row per address, at most limit of them: best match first, then more visits (visits holds
// each address's row count; an address missing from it counts once), then the newer visit.
THistoryInfoList RankSuggestions(const QString& text, const THistoryInfoList& rows,
                                 const QHash<QString, qint64>& visits, int limit);
