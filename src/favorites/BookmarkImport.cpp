// The bookmark file reader over the QtWebKit document tree.
#include "favorites/BookmarkImport.h"

#include "common/CommonFunc.h"
#include "favorites/Favorites.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>

namespace {

// The parser closes whatever a cut-off file leaves open, so a file that ends inside its list is
// recognised from its bytes: it must not be empty or binary, and after its last link the link
// and the list must be closed.
bool SourceLooksComplete(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteLog(QStringLiteral("Import favorites: cannot read ") + fileName);
        return false;
    }
    const QByteArray bytes = file.readAll().toLower();
    if (bytes.trimmed().isEmpty() || bytes.contains('\0')) {
        WriteLog(QStringLiteral("Import favorites: not a bookmark file: ") + fileName);
        return false;
    }
    // Tags are matched by their whole name: "<a" alone would also find <abbr>, <address>, <area>,
    // <aside> and <audio>, and "</a" would find </abbr>.
    static const QRegularExpression linkStart(QStringLiteral("<a(?:[\\s>/]|$)"));
    static const QRegularExpression linkClose(QStringLiteral("</a\\s*>"));
    static const QRegularExpression listClose(QStringLiteral("</dl\\s*>"));
    const QString text = QString::fromLatin1(bytes);
    const int lastLink = text.lastIndexOf(linkStart);
    if (lastLink >= 0) {
        const int linkEnd = text.indexOf(linkClose, lastLink);
        if (linkEnd < 0 || text.indexOf(listClose, linkEnd) < 0) {
            WriteLog(QStringLiteral("Import favorites: the file ends inside its list: ") + fileName);
            return false;
        }
    }
    return true;
}

} // namespace

void LoadBookmarkFile(QWebFrame* frame, const QString& fileName) {
    frame->page()->settings()->setDefaultTextEncoding(QStringLiteral("GB18030"));
    frame->load(QUrl::fromLocalFile(fileName));
}

bool ImportFavorites(TFavorites& favorites, QWebFrame* frame) {
    if (!frame)
        return false;
    if (frame->url().isLocalFile() && !SourceLooksComplete(frame->url().toLocalFile()))
        return false;
    const QWebElement document = frame->documentElement();
    const QWebElementCollection links = document.findAll(QStringLiteral("a"));
    if (document.isNull() || (links.count() == 0 && document.findFirst(QStringLiteral("dl")).isNull())) {
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
    for (const QWebElement& link : links) {
        // The address as the file spells it, so that a file written from this store names the
        // stored addresses exactly and importing it again finds every one of them.
        const QString url = link.attribute(QStringLiteral("href"));
        if (seen.contains(url) || favorites.FavoriteExists(url))
            continue;
        if (!link.hasAttribute(QStringLiteral("FAV_POS"))) {
            WriteLog(QStringLiteral("Import favorites: a link without FAV_POS ends the import: ") + url);
            flush();
            return false;
        }
        TFavInfo item;
        item.FavName = link.toPlainText();
        item.FavUrl = url;
        item.Ranking = link.attribute(QStringLiteral("FAV_POS"));
        // A ranking that is not a number cannot be stored: that link is left out, the walk goes on.
        if (!TFavorites::IsRanking(item.Ranking)) {
            WriteLog(QStringLiteral("Import favorites: not a ranking, link left out: ") + url);
            continue;
        }
        batch.append(item);
        seen.insert(url);
        if (batch.size() == kBatch && !flush())
            return false;
    }
    return flush();
}
