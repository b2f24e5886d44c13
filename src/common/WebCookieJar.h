// The compatibility engine's persistent cookie jar: kept in a text file beside its disk cache,
// one cookie per line, saved atomically after every change; session cookies stay in memory only.
#pragma once

#include <QNetworkCookieJar>
#include <QRecursiveMutex>
#include <QString>

class TWebCookieJar final : public QNetworkCookieJar {
    Q_OBJECT
public:
    // CacheDir() + "webcontrol/cookies.txt".
    static QString DefaultFile();

    // Loads the file's cookies (expired ones are dropped).
    explicit TWebCookieJar(const QString& file = DefaultFile(), QObject* parent = nullptr);
    ~TWebCookieJar() override;

    QString File() const { return m_file; }
    // Removes the cookies whose domain contains the filter (every cookie when it is empty) and
    // saves; answers how many were removed. Any thread may call it.
    int RemoveCookies(const QString& domainFilter);
    // The same for the jar of that file: the live jar when one is open, else the file itself.
    static int RemoveCookiesOfFile(const QString& file, const QString& domainFilter);
    // Writes the persistent cookies now; false when the file could not be written.
    bool Save();
    // Every cookie held, session cookies included (a copy; any thread).
    QList<QNetworkCookie> Cookies() const;

    // The network access manager calls these on its own thread; the lock makes them safe
    // against a removal from a worker thread.
    QList<QNetworkCookie> cookiesForUrl(const QUrl& url) const override;
    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookieList, const QUrl& url) override;
    bool insertCookie(const QNetworkCookie& cookie) override;
    bool updateCookie(const QNetworkCookie& cookie) override;
    bool deleteCookie(const QNetworkCookie& cookie) override;

private:
    void Load();
    // Several changes in a row are written once, from the jar's own thread.
    void ScheduleSave();
    bool SaveIfChanged(bool changed);
    Q_INVOKABLE void SavePending();

    const QString m_file;
    // Recursive: the base class calls the overridden insert and update from setCookiesFromUrl.
    mutable QRecursiveMutex m_lock;
    bool m_dirty = false;
    bool m_savePending = false;
};
