// Starting another browser process.
#include "common/WindowLauncher.h"

#include "common/AppPaths.h"
#include "common/Logging.h"

#include <QCoreApplication>
#include <QProcess>

const QLatin1String AddressesFollow("--");

QStringList BrowserWindowArguments(const QString& url) {
    return url.isEmpty() ? QStringList() : QStringList{AddressesFollow, url};
}

bool StartBrowserWindow(const QString& url) {
    const bool started =
        QProcess::startDetached(QCoreApplication::applicationFilePath(), BrowserWindowArguments(url), AppDir());
    if (!started)
        WriteLog(QStringLiteral("a new window's process did not start"));
    return started;
}
