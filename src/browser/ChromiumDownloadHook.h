// TChromiumDownloadHook: the Chromium engine's before-download event for a profile. The browser
// downloads files itself, so every engine download is cancelled and reported once.
#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

class QWebEngineDownloadItem;
class QWebEngineProfile;

class TChromiumDownloadHook final : public QObject {
    Q_OBJECT
public:
    explicit TChromiumDownloadHook(QWebEngineProfile* profile, QObject* parent = nullptr);

    // How long a download may take to tell its size before it is reported without one, in ms.
    static constexpr int SizeWaitMs = 3000;

signals:
    // size: the total the server announced; -1 when unknown.
    void downloadRequested(const QString& url, const QString& suggestedName, qint64 size);

private:
    void Take(QWebEngineDownloadItem* item);

    // The engine learns the announced size only once its download runs: it runs into this folder
    // until the size is known, and is cancelled then.
    QTemporaryDir m_folder;
};
