// Process-wide folders: the portable program folder and the per-user folders beside it.
#include "common/AppPaths.h"

#include "BuildConfig.h"
#include "common/Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

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

const char* const SharedInstallMarker = "per-user-data";

bool IsPortable() {
    const QString folder = AppDir();
    return access(QFile::encodeName(folder).constData(), W_OK) == 0 &&
           !QFileInfo::exists(folder + QLatin1String(SharedInstallMarker));
}

QString UserRoot() {
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
           QLatin1String("quellon/");
}

QString UserCacheRoot() {
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)) +
           QLatin1String("quellon/");
}

QString DataDir() {
    return (IsPortable() ? AppDir() : UserRoot()) + QLatin1String("dat/");
}

QString DataFilePath() {
    return DataDir() + QLatin1String("data.dat");
}

QString ShippedDataFilePath() {
    return AppDir() + QLatin1String("dat/data.dat");
}

QString CacheDir() {
    return (IsPortable() ? AppDir() : UserCacheRoot()) + QLatin1String("cache/");
}

QString ProvideDataFile() {
    const QString target = DataFilePath();
    if (!QDir().mkpath(DataDir()))
        WriteLog(QStringLiteral("Folder not created: %1").arg(DataDir()));
    const QString shipped = ShippedDataFilePath();
    if (target == shipped || QFileInfo::exists(target))
        return target;
    // Copied under a temporary name and renamed, so that a second copy of the program starting at
    // the same moment never opens a half-written file; the first rename wins.
    const QString part = target + QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid());
    if (!QFile::copy(shipped, part)) {
        WriteLog(QStringLiteral("Data file not copied from %1 to %2").arg(shipped, target));
        return target;
    }
    QFile::setPermissions(part, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!QFile::rename(part, target))
        QFile::remove(part);
    return target;
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

QString TempFolder() {
    const QString folder = QDir::tempPath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString LocalAppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/');
}

QString ShortPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return path;
    if (path.endsWith(QLatin1Char('/')) && !canonical.endsWith(QLatin1Char('/')))
        return canonical + QLatin1Char('/');
    return canonical;
}
