// Site icons: a worker thread that finds a page's icon on the web and saves it under the page's
// icon file name, then tells the requesting window with WM_FAVICON_READY (WParam = purpose), or
// with WM_FAVICON_FAILED when no candidate gave an icon.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>

// Who asks: 1 an icon for the tab strip, 0 one for the favorites bar.
enum TFavIconPurpose : quint8 { fpFavoritesBar = 0, fpTabStrip = 1 };

class TFavIconDownload final : public QThread {
    Q_OBJECT
public:
    // Not started; deletes itself once its run ends. pageIconUrl is the icon address the engine
    // reported for the page, empty when it reported none.
    TFavIconDownload(QString pageUrl, QString iconFile, quint8 purpose, QString pageIconUrl = QString());

    const QString PageUrl;
    const QString IconFile;
    const quint8 Purpose;
    const QString PageIconUrl;

    // The site's own favicon.ico: the page's scheme, host and port with the path /favicon.ico;
    // empty when the page is no web address.
    static QString SiteIconUrl(const QString& pageUrl);
    // True when the file holds an icon: it can be read, is not empty and is binary. Anything else
    // (a 0-byte file left by a failed fetch, an error page) counts as missing.
    static bool IconFileUsable(const QString& iconFile);

signals:
    // Emitted from the worker when a candidate was saved as the icon file.
    void IconReady(int purpose);
    // Emitted from the worker when its run ends without an icon: every candidate failed (no
    // answer, an error, no icon in the answer, too large, not saved) or there was none.
    void IconFailed(int purpose);

protected:
    void run() override;

private:
    // Every candidate in order, without repeats: the engine's icon address (unless it would take
    // an https page to plain http), then the site's own favicon.ico. The page itself is never
    // fetched again: a one-time link or an action link must not run twice.
    QStringList Candidates() const;
    bool TryCandidate(const QString& url) const;
    bool SaveIcon(const QByteArray& icon) const;
};

enum class TFavIconRequest { Ignored, ReportedAtOnce, Started, Joined };

// Asks for the page's icon: nothing for "about:blank" (or an empty address); a usable icon file
// is reported at once without any network access; a request for an icon file that a fetcher is
// already working on joins it; otherwise a fetcher starts. The report is a
// TMessageEvent(WM_FAVICON_READY, purpose), or WM_FAVICON_FAILED when the fetch found no icon,
// posted to receiver, and only while receiver exists.
// pageIconUrl: the icon address the engine reported for the page, empty when it reported none.
TFavIconRequest RequestFavIcon(QObject* receiver, const QString& pageUrl, const QString& iconFile,
                               quint8 purpose, const QString& pageIconUrl = QString());
