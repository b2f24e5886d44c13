// The bookmark file import: the parsed links stored in batches.
#include "favorites/BookmarkImport.h"

#include "common/Logging.h"
#include "favorites/BookmarkImportBatch.h"
#include "favorites/BookmarkParser.h"
#include "favorites/Favorites.h"

#include <QFile>
#include <QThread>

namespace {

constexpr qint64 kLargestFile = 256LL * 1024 * 1024;

bool StopRequested() {
    return QThread::currentThread()->isInterruptionRequested();
}

} // namespace

bool ImportFavorites(TFavorites& favorites, const TBookmarkDocument& document, bool* withoutFavPos) {
    if (withoutFavPos)
        *withoutFavPos = false;
    if (document.Links.isEmpty() && !document.HasList) {
        WriteLog(QStringLiteral("Import favorites: the document holds no bookmark list"));
        return false;
    }
    // An address is new when it is neither stored nor met earlier in this file. A batch the store
    // does not take completely ends the import with failure instead of a success that stored
    // nothing.
    TBookmarkImportBatch batch(favorites);
    for (const TBookmarkLink& link : document.Links) {
        if (StopRequested())
            return false;
        // The address as the file spells it, so that a file written from this store names the
        // stored addresses exactly and importing it again finds every one of them.
        if (batch.Known(link.Url))
            continue;
        if (!link.HasFavPos) {
            WriteLog(QStringLiteral("Import favorites: a link without FAV_POS ends the import: ") + link.Url);
            batch.Flush();
            if (withoutFavPos)
                *withoutFavPos = true;
            return false;
        }
        // A ranking that is not a number cannot be stored: that link is left out, the walk goes on.
        if (!TFavorites::IsRanking(link.FavPos)) {
            WriteLog(QStringLiteral("Import favorites: not a ranking, link left out: ") + link.Url);
            continue;
        }
        if (!batch.Add(link.Name, link.Url, link.FavPos))
            return false;
    }
    return batch.Flush();
}

bool ReadBookmarkFile(const QString& fileName, QByteArray* bytes) {
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
    *bytes = file.readAll();
    if (!BookmarkBytesLookWhole(*bytes)) {
        WriteLog(QStringLiteral("Import favorites: not a whole bookmark file: ") + fileName);
        return false;
    }
    return true;
}

bool ImportBookmarkFile(TFavorites& favorites, const QString& fileName, bool* withoutFavPos) {
    if (withoutFavPos)
        *withoutFavPos = false;
    QByteArray bytes;
    return ReadBookmarkFile(fileName, &bytes) && ImportFavorites(favorites, ParseBookmarkHtml(bytes), withoutFavPos);
}
