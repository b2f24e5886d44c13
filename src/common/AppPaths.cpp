// Process-wide folders: the portable program folder and the per-user folders beside it.
#include "common/AppPaths.h"

#include "BuildConfig.h"
#include "common/CommonFunc.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QUrl>

namespace {
QString WithSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QMutex g_appDirLock;
QString g_appDir;
} // namespace

QString AppDir() {
    QMutexLocker locker(&g_appDirLock);
    if (g_appDir.isEmpty()) {
        // The kernel's link to the running executable, resolved through every symbolic link (an
        // installed bin/quellon is a link into the program folder).
        const QFileInfo executable(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
        g_appDir = WithSlash(executable.absolutePath());
    }
    return g_appDir;
}

void SetAppDir(const QString& folder) {
    QMutexLocker locker(&g_appDirLock);
    g_appDir = folder.isEmpty() ? QString() : WithSlash(QDir::cleanPath(folder));
}

QString UserDataDir() {
    return LocalAppDataFolder() + QLatin1String(BuildConfig::VendorName) + QLatin1Char('/');
}

QString DefaultDownloadDir() {
    QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (downloads.isEmpty())
        downloads = QDir::homePath();
    const QString folder = WithSlash(downloads) + QStringLiteral("Quellon下载/");
    if (!QDir().mkpath(folder))
        WriteLog(QStringLiteral("Cannot create the download folder ") + folder);
    return folder;
}

QString SiteRoot() {
    QString configured = qEnvironmentVariable("QUELLON_SITE_ROOT");
    if (configured.isEmpty())
        configured = QString::fromUtf8(BuildConfig::SiteRoot);
    if (!configured.isEmpty())
        return WithSlash(configured);
    return WithSlash(QUrl::fromLocalFile(AppDir() + QLatin1String("res/site/")).toString());
}

QString NavigationPageUrl() {
    return SiteRoot() + QLatin1String("123.html");
}
