// The module side of a bookmark import: a hidden QWebPage that parses the file, then the walk of
// its document (BookmarkImport.cpp). StartBookmarkImport finds this function in the module.
#include "favorites/BookmarkImportStart.h"

#include "favorites/BookmarkImport.h"

#include <QPointer>
#include <QWebFrame>
#include <QWebPage>

extern "C" Q_DECL_EXPORT void QuellonImportBookmarks(TFavorites& favorites, const QString& fileName,
                                                     QObject* owner, const TBookmarkImportDone& done) {
    auto* page = new QWebPage(owner);
    QObject::connect(
        page, &QWebPage::loadFinished, owner,
        [&favorites, page, done](bool) {
            const bool imported = ImportFavorites(favorites, page->mainFrame());
            page->deleteLater();
            if (done)
                done(imported);
        },
        Qt::QueuedConnection);
    LoadBookmarkFile(page->mainFrame(), fileName);
}
