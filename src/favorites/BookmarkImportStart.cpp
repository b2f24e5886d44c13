// Starting a bookmark import on a worker thread.
#include "favorites/BookmarkImportStart.h"

#include "favorites/BookmarkImport.h"

#include <QCoreApplication>
#include <QThread>
#include <memory>

bool StartBookmarkImport(TFavorites& favorites, const QString& fileName, TBookmarkImportKind kind,
                         QObject* owner, TBookmarkImportDone done) {
    // The worker writes its answer here before it finishes; the owner reads it after the
    // finished signal has crossed to its thread.
    auto answer = std::make_shared<TBookmarkImportAnswer>();
    answer->Kind = kind;
    QThread* worker = QThread::create([&favorites, fileName, kind, answer] {
        answer->Imported = kind == TBookmarkImportKind::OwnFile
                               ? ImportBookmarkFile(favorites, fileName, &answer->WithoutFavPos)
                               : ImportAnyBrowserBookmarkFile(favorites, fileName, &answer->Count);
    });
    if (!worker)
        return false;
    worker->setObjectName(QStringLiteral("BookmarkImport"));
    QObject::connect(worker, &QThread::finished, owner, [answer, done] {
        if (done)
            done(*answer);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    const auto stop = [worker] {
        worker->requestInterruption();
        worker->wait();
    };
    QObject::connect(owner, &QObject::destroyed, worker, stop);
    if (QCoreApplication::instance())
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, worker, stop);
    worker->start();
    return true;
}
