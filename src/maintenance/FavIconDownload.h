// Site icons: a worker thread that finds a page's icon on the web and saves it under the page's
// icon file name, then tells the requesting window with WM_FAVICON_READY (WParam = purpose).
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

// Who asks: 1 an icon for the tab strip, 0 one for the favorites bar.
enum TFavIconPurpose : quint8 { fpFavoritesBar = 0, fpTabStrip = 1 };

class TFavIconDownload final : public QThread {
    Q_OBJECT
public:
    // Not started; deletes itself once its run ends.
    TFavIconDownload(QString pageUrl, QString iconFile, quint8 purpose);

    const QString PageUrl;
    const QString IconFile;
    const quint8 Purpose;

    // The fixed candidates tried after the page's own icon link, in order: the site root's
    // favicon.ico, the page folder's favicon.ico and the main domain's www host's favicon.ico.
    static QStringList FixedCandidates(const QString& pageUrl);

signals:
    // Emitted from the worker when a candidate was saved as the icon file.
    void IconReady(int purpose);

protected:
    void run() override;

private:
    bool TryCandidate(const QString& url) const;
};

enum class TFavIconRequest { Ignored, ReportedAtOnce, Started };

// Asks for the page's icon: nothing for "about:blank" (or an empty address); an icon file that
// exists already is reported at once without any network access; otherwise a fetcher starts.
// The report is a TMessageEvent(WM_FAVICON_READY, purpose) posted to receiver, and only while
// receiver exists.
TFavIconRequest RequestFavIcon(QObject* receiver, const QString& pageUrl, const QString& iconFile,
                               quint8 purpose);
