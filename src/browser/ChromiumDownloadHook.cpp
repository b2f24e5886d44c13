// TChromiumDownloadHook: every Chromium download goes to the browser's own downloader, with the
// size the server announced.
#include "browser/ChromiumDownloadHook.h"

#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineDownloadItem>
#include <QWebEngineProfile>
#include <memory>

TChromiumDownloadHook::TChromiumDownloadHook(QWebEngineProfile* profile, QObject* parent) : QObject(parent) {
    connect(profile, &QWebEngineProfile::downloadRequested, this, &TChromiumDownloadHook::Take);
}

void TChromiumDownloadHook::Take(QWebEngineDownloadItem* item) {
    const QString url = item->url().toString();
    const QString name = item->downloadFileName();
    if (!m_folder.isValid()) {
        item->cancel();
        emit downloadRequested(url, name, -1);
        return;
    }
    // A requested item does not know its size yet: it learns it from its first progress report,
    // which comes only once it runs.
    item->setDownloadDirectory(m_folder.path());
    item->setDownloadFileName(QString::number(item->id()));
    QPointer<QWebEngineDownloadItem> running(item);
    auto reported = std::make_shared<bool>(false);
    auto report = [this, running, url, name, reported] {
        if (*reported)
            return;
        *reported = true;
        const qint64 size = running && running->totalBytes() > 0 ? running->totalBytes() : -1;
        if (running) {
            running->cancel();
            // A small file may have arrived whole already; cancelling leaves it.
            QFile::remove(m_folder.filePath(running->downloadFileName()));
            running->deleteLater();
        }
        emit downloadRequested(url, name, size);
    };
    // Queued: the item is not cancelled inside the engine's own progress and finish events.
    connect(item, &QWebEngineDownloadItem::downloadProgress, this, report, Qt::QueuedConnection);
    connect(item, &QWebEngineDownloadItem::finished, this, report, Qt::QueuedConnection);
    QTimer::singleShot(SizeWaitMs, this, report);
    item->accept();
}
