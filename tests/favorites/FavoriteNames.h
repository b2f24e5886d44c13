// The names of a list of favorites, in order: what the favorites tests compare.
#pragma once

#include "favorites/Favorites.h"

#include <QStringList>

inline QStringList Names(const TFavInfoList& items) {
    QStringList names;
    for (const TFavInfo& item : items)
        names.append(item.FavName);
    return names;
}
