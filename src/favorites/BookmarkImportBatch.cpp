// Batched writing of imported favorites.
#include "favorites/BookmarkImportBatch.h"

#include "common/Logging.h"

bool TBookmarkImportBatch::Known(const QString& url) {
    return m_seen.contains(url) || m_favorites.FavoriteExists(url);
}

bool TBookmarkImportBatch::Add(const QString& name, const QString& url, const QString& ranking) {
    TFavInfo item;
    item.FavName = name;
    item.FavUrl = url;
    item.Ranking = ranking;
    m_batch.append(item);
    m_seen.insert(url);
    return m_batch.size() < kSize || Flush();
}

bool TBookmarkImportBatch::Flush() {
    const bool stored = m_favorites.AddFavorites(m_batch) == m_batch.size();
    if (!stored)
        WriteLog(QStringLiteral("Import favorites: the data file did not take the new favorites"));
    m_batch.clear();
    return stored;
}
