// The options page's rules that need no widget.
#include "options/OptionRules.h"

#include "storage/Config.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

bool IsOn(const QString& text) {
    return text == QLatin1String("1");
}

// The typed field of the key takes the text as the configuration store reads it at start-up.
void ApplyToField(TConfig& config, TConfigKey key, const QString& text) {
    switch (key) {
    case TConfigKey::StartMode:
        config.StartMode = quint8(text.toUInt());
        break;
    case TConfigKey::HomePage:
        config.HomePage = text;
        break;
    case TConfigKey::FilterPopups:
        config.FilterPopups = IsOn(text);
        break;
    case TConfigKey::BossKeyEnabled:
        config.BossKeyEnabled = IsOn(text);
        break;
    case TConfigKey::BossKey:
        config.BossKey = quint16(text.toUInt());
        break;
    case TConfigKey::DownloadFolderMode:
        config.DownloadFolderMode = quint8(text.toUInt());
        break;
    case TConfigKey::DownloadFolder:
        config.DownloadFolder = text;
        break;
    case TConfigKey::PlayFinishedSound:
        config.PlayFinishedSound = IsOn(text);
        break;
    case TConfigKey::ConfirmDeleteDownload:
        config.ConfirmDeleteDownload = IsOn(text);
        break;
    case TConfigKey::DisableShortcuts:
        config.DisableShortcuts = IsOn(text);
        break;
    case TConfigKey::MakeDefaultBrowser:
        config.MakeDefaultBrowser = IsOn(text);
        break;
    case TConfigKey::ClearTracesOnExit:
        config.ClearTracesOnExit = IsOn(text);
        break;
    default:
        break;
    }
}

} // namespace

bool StoreOption(TConfig& config, TConfigKey key, const QString& text) {
    ApplyToField(config, key, text);
    return config.SetValue(key, text);
}

bool StoreFlag(TConfig& config, TConfigKey key, bool on) {
    return StoreOption(config, key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool FlagOption(const TConfig& config, TConfigKey key) {
    switch (key) {
    case TConfigKey::FilterPopups:
        return config.FilterPopups;
    case TConfigKey::BossKeyEnabled:
        return config.BossKeyEnabled;
    case TConfigKey::PlayFinishedSound:
        return config.PlayFinishedSound;
    case TConfigKey::ConfirmDeleteDownload:
        return config.ConfirmDeleteDownload;
    case TConfigKey::DisableShortcuts:
        return config.DisableShortcuts;
    case TConfigKey::MakeDefaultBrowser:
        return config.MakeDefaultBrowser;
    case TConfigKey::ClearTracesOnExit:
        return config.ClearTracesOnExit;
    default:
        return false;
    }
}

QString ShownHomePage(const TConfig& config, const QString& navigationPage) {
    return config.HomePage.isEmpty() ? navigationPage : config.HomePage;
}

QString ShownDownloadFolder(const TConfig& config, const QString& defaultFolder) {
    return config.DownloadFolder.isEmpty() ? defaultFolder : config.DownloadFolder;
}

bool IsWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quellon-probe-XXXXXX")));
    return probe.open(); // removed again when the probe goes
}
