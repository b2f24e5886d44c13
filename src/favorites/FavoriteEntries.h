// What the favorites bar and menu show and how an entry is opened: the default favorites ahead of
// the stored ones, each entry known by its index (its tag).
#pragma once

#include "favorites/Favorites.h"

#include <QString>

class QFontMetrics;
#include <QVector>

// One entry of the bar and of the menu.
struct TFavoriteEntry {
    int Index = 0;       // stored: position in Items; default: count of Items + position in the defaults
    bool Stored = false; // false for a default favorite (never dragged, edited or deleted)
    TFavInfo Info;
};

class TFavoriteEntries {
public:
    // The entries in the order the bar reads them from the left and the menu lists them: the
    // defaults in list order, then the stored favorites in Items order.
    static QVector<TFavoriteEntry> ShownOrder(const TFavInfoList& items, const TFavInfoList& defaults);
    // The address an entry's index stands for: Items[index] below the count of Items, else the
    // default favorite (index - count); empty for an index that stands for nothing.
    static QString AddressOfIndex(const TFavInfoList& items, const TFavInfoList& defaults, int index);
    // True when the current tab opens a favorite itself: its engine view exists, shows
    // "about:blank" and is not loading. Otherwise the favorite opens in a new tab.
    static bool OpensInCurrentTab(bool hasView, const QString& currentUrl, bool loading);
    // Cuts the caption, whole characters from its end, until it is at most MaxCaptionWidth pixels
    // wide in the font; nothing marks the cut. Answers the button width: text width + 30.
    static int FitCaption(QString& caption, const QFontMetrics& metrics);
    static constexpr int MaxCaptionWidth = 50;
};
