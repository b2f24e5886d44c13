// The bookmark file import: the parsed links stored in batches.
#include "favorites/BookmarkImport.h"

#include "common/CommonFunc.h"
#include "favorites/BookmarkParser.h"
#include "favorites/Favorites.h"

#include <QFile>
#include <QSet>
#include <QThread>

namespace {

constexpr qint64 kLargestFile = 256LL * 1024 * 1024;

bool StopRequested() {
    return QThread::currentThread()->isInterruptionRequested();
}

} // namespace

bool ImportFavorites(TFavorites& favorites, const TBookmarkDocument& document) {
    if (document.Links.isEmpty() && !document.HasList) {
        WriteLog(QStringLiteral("Import favorites: the document holds no bookmark list"));
        return false;
    }
    // New favorites are written in batches, one transaction each; an address is new when it is
    // neither stored nor met earlier in this file. A batch the store does not take completely (a
    // read-only or full data file) ends the import with failure instead of a success that stored
    // nothing.
    constexpr int kBatch = 1000;
    TFavInfoList batch;
    QSet<QString> seen;
    const auto flush = [&favorites, &batch] {
        const bool stored = favorites.AddFavorites(batch) == batch.size();
        if (!stored)
            WriteLog(QStringLiteral("Import favorites: the data file did not take the new favorites"));
        batch.clear();
        return stored;
    };
    for (const TBookmarkLink& link : document.Links) {
        if (StopRequested())
            return false;
        // The address as the file spells it, so that a file written from this store names the
        // stored addresses exactly and importing it again finds every one of them.
        if (seen.contains(link.Url) || favorites.FavoriteExists(link.Url))
            continue;
        if (!link.HasFavPos) {
            WriteLog(QStringLiteral("Import favorites: a link without FAV_POS ends the import: ") + link.Url);
            flush();
            return false;
        }
        // A ranking that is not a number cannot be stored: that link is left out, the walk goes on.
        if (!TFavorites::IsRanking(link.FavPos)) {
            WriteLog(QStringLiteral("Import favorites: not a ranking, link left out: ") + link.Url);
            continue;
        }
        TFavInfo item;
        item.FavName = link.Name;
        item.FavUrl = link.Url;
        item.Ranking = link.FavPos;
        batch.append(item);
        seen.insert(link.Url);
        if (batch.size() == kBatch && !flush())
            return false;
    }
    return flush();
}

bool ImportBookmarkFile(TFavorites& favorites, const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteLog(QStringLiteral("Import favorites: cannot read ") + fileName + QStringLiteral(": ") +
                 file.errorString());
        return false;
    }
    // A device or pipe could give bytes without end.
    if (file.isSequential() || file.size() > kLargestFile) {
        WriteLog(QStringLiteral("Import favorites: not a file of a bookmark file's size: ") + fileName);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (!BookmarkBytesLookWhole(bytes)) {
        WriteLog(QStringLiteral("Import favorites: not a whole bookmark file: ") + fileName);
        return false;
    }
    return ImportFavorites(favorites, ParseBookmarkHtml(bytes));
}
