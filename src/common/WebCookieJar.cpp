// The compatibility engine's persistent cookie jar (see WebCookieJar.h).
#include "common/WebCookieJar.h"

#include "common/AppPaths.h"
#include "common/Logging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QNetworkCookie>
#include <QSaveFile>

namespace {
// The open jars by file, so that a removal reaches the live jar instead of a file it overwrites.
QMutex g_registryLock;
QHash<QString, TWebCookieJar*>& Registry() {
    static QHash<QString, TWebCookieJar*> registry;
    return registry;
}

QString RegistryKey(const QString& file) {
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

bool IsLasting(const QNetworkCookie& cookie, const QDateTime& now) {
    return !cookie.isSessionCookie() && cookie.expirationDate() > now;
}
} // namespace

QString TWebCookieJar::DefaultFile() {
    return CacheDir() + QLatin1String("webcontrol/cookies.txt");
}

TWebCookieJar::TWebCookieJar(const QString& file, QObject* parent) : QNetworkCookieJar(parent), m_file(file) {
    Load();
    QMutexLocker registryLocker(&g_registryLock);
    Registry().insert(RegistryKey(m_file), this);
}

TWebCookieJar::~TWebCookieJar() {
    {
        QMutexLocker registryLocker(&g_registryLock);
        const QString key = RegistryKey(m_file);
        if (Registry().value(key) == this)
            Registry().remove(key);
    }
    QMutexLocker locker(&m_lock);
    if (m_dirty)
        Save();
}

void TWebCookieJar::Load() {
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return; // no cookies stored yet
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> cookies;
    int rejected = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty())
            continue;
        const QList<QNetworkCookie> parsed = QNetworkCookie::parseCookies(line);
        if (parsed.size() != 1 || parsed.first().domain().isEmpty()) {
            ++rejected;
            continue;
        }
        if (IsLasting(parsed.first(), now))
            cookies.append(parsed.first());
    }
    if (rejected > 0)
        WriteLog(QStringLiteral("Cookie file %1: %2 unreadable lines skipped").arg(m_file).arg(rejected));
    QMutexLocker locker(&m_lock);
    setAllCookies(cookies);
}

bool TWebCookieJar::Save() {
    QMutexLocker locker(&m_lock);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QByteArray text;
    for (const QNetworkCookie& cookie : allCookies()) {
        if (IsLasting(cookie, now))
            text += cookie.toRawForm(QNetworkCookie::Full) + '\n';
    }
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        WriteLog(QStringLiteral("Cookie file %1 not saved: %2").arg(m_file, file.errorString()));
        return false;
    }
    m_dirty = false;
    return true;
}

void TWebCookieJar::ScheduleSave() {
    QMutexLocker locker(&m_lock);
    m_dirty = true;
    if (m_savePending)
        return;
    m_savePending = true;
    QMetaObject::invokeMethod(this, "SavePending", Qt::QueuedConnection);
}

void TWebCookieJar::SavePending() {
    QMutexLocker locker(&m_lock);
    m_savePending = false;
    if (m_dirty)
        Save();
}

QList<QNetworkCookie> TWebCookieJar::Cookies() const {
    QMutexLocker locker(&m_lock);
    return allCookies();
}

int TWebCookieJar::RemoveCookies(const QString& domainFilter) {
    QMutexLocker locker(&m_lock);
    QList<QNetworkCookie> kept;
    const QList<QNetworkCookie> cookies = allCookies();
    for (const QNetworkCookie& cookie : cookies) {
        if (!domainFilter.isEmpty() && !cookie.domain().contains(domainFilter, Qt::CaseInsensitive))
            kept.append(cookie);
    }
    const int removed = cookies.size() - kept.size();
    if (removed > 0) {
        setAllCookies(kept);
        Save();
    }
    return removed;
}

int TWebCookieJar::RemoveCookiesOfFile(const QString& file, const QString& domainFilter) {
    {
        QMutexLocker registryLocker(&g_registryLock);
        if (TWebCookieJar* live = Registry().value(RegistryKey(file)))
            return live->RemoveCookies(domainFilter);
    }
    if (!QFileInfo::exists(file))
        return 0;
    TWebCookieJar stored(file);
    return stored.RemoveCookies(domainFilter);
}

QList<QNetworkCookie> TWebCookieJar::cookiesForUrl(const QUrl& url) const {
    QMutexLocker locker(&m_lock);
    return QNetworkCookieJar::cookiesForUrl(url);
}

bool TWebCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookieList, const QUrl& url) {
    QMutexLocker locker(&m_lock);
    return QNetworkCookieJar::setCookiesFromUrl(cookieList, url);
}

bool TWebCookieJar::SaveIfChanged(bool changed) {
    if (changed)
        ScheduleSave();
    return changed;
}

bool TWebCookieJar::insertCookie(const QNetworkCookie& cookie) {
    QMutexLocker locker(&m_lock);
    // A new session cookie changes nothing on disk.
    const bool changed = QNetworkCookieJar::insertCookie(cookie);
    return cookie.isSessionCookie() ? changed : SaveIfChanged(changed);
}

bool TWebCookieJar::updateCookie(const QNetworkCookie& cookie) {
    QMutexLocker locker(&m_lock);
    return SaveIfChanged(QNetworkCookieJar::updateCookie(cookie));
}

bool TWebCookieJar::deleteCookie(const QNetworkCookie& cookie) {
    QMutexLocker locker(&m_lock);
    return SaveIfChanged(QNetworkCookieJar::deleteCookie(cookie));
}
