// The favorites an import has taken, written to the store in batches of one transaction each.
#pragma once

#include "favorites/Favorites.h"

#include <QSet>

class TBookmarkImportBatch {
public:
    explicit TBookmarkImportBatch(TFavorites& favorites) : m_favorites(favorites) {}

    // True when the address is stored already or was taken earlier by this import.
    bool Known(const QString& url);
    // Takes the favorite; writes the batch when it is full. False when the store did not take a
    // written batch completely (a read-only or full data file).
    bool Add(const QString& name, const QString& url, const QString& ranking);
    // Writes what is taken and not written yet; false as for Add.
    bool Flush();

private:
    static constexpr int kSize = 1000;
    TFavorites& m_favorites;
    TFavInfoList m_batch;
    QSet<QString> m_seen;
};
