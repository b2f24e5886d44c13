// The developer tools' settings file.
#include "pagecommands/DevToolsPrefs.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
// The tools store each setting as the JSON text of its value.
const char* const kScreencastKey = "screencastEnabled";
const char* const kOff = "false";
// Settings files are small; anything larger is not one and is not read.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
} // namespace

QString TDevToolsPrefs::FileName(const QString& profileFolder) {
    return QDir(profileFolder).filePath(QStringLiteral("devtoolsprefs.json"));
}

bool TDevToolsPrefs::OpenWithoutScreencast(const QString& profileFolder) {
    const QString fileName = FileName(profileFolder);
    QJsonObject settings;
    QFile existing(fileName);
    if (existing.size() <= kMaxFileSize && existing.open(QIODevice::ReadOnly))
        settings = QJsonDocument::fromJson(existing.readAll()).object();
    existing.close();
    if (settings.value(QLatin1String(kScreencastKey)).toString() == QLatin1String(kOff))
        return true;
    settings.insert(QLatin1String(kScreencastKey), QLatin1String(kOff));
    QDir().mkpath(profileFolder);
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(settings).toJson()) >= 0 && file.commit();
}
