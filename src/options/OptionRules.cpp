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
void ApplyToField(TConfig& config, int key, const QString& text) {
    switch (key) {
    case okStartMode:
        config.StartMode = quint8(text.toUInt());
        break;
    case okHomePage:
        config.HomePage = text;
        break;
    case okFilterPopups:
        config.FilterPopups = IsOn(text);
        break;
    case okBossKeyEnabled:
        config.BossKeyEnabled = IsOn(text);
        break;
    case okBossKey:
        config.BossKey = quint16(text.toUInt());
        break;
    case okDownloadFolderMode:
        config.DownloadFolderMode = quint8(text.toUInt());
        break;
    case okDownloadFolder:
        config.DownloadFolder = text;
        break;
    case okPlaySound:
        config.PlayFinishedSound = IsOn(text);
        break;
    case okConfirmDelete:
        config.ConfirmDeleteDownload = IsOn(text);
        break;
    case okDisableShortcuts:
        config.DisableShortcuts = IsOn(text);
        break;
    case okDefaultBrowser:
        config.MakeDefaultBrowser = IsOn(text);
        break;
    case okClearAtExit:
        config.ClearTracesOnExit = IsOn(text);
        break;
    default:
        break;
    }
}

} // namespace

bool StoreOption(TConfig& config, int key, const QString& text) {
    ApplyToField(config, key, text);
    return config.SetValue(key, text);
}

bool StoreFlag(TConfig& config, int key, bool on) {
    return StoreOption(config, key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool FlagOption(const TConfig& config, int key) {
    switch (key) {
    case okFilterPopups:
        return config.FilterPopups;
    case okBossKeyEnabled:
        return config.BossKeyEnabled;
    case okPlaySound:
        return config.PlayFinishedSound;
    case okConfirmDelete:
        return config.ConfirmDeleteDownload;
    case okDisableShortcuts:
        return config.DisableShortcuts;
    case okDefaultBrowser:
        return config.MakeDefaultBrowser;
    case okClearAtExit:
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
