// The new-download dialog's folder rule.
#include "downloads/DownloadFolder.h"

#include "common/AppPaths.h"
#include "storage/Config.h"

#include <QDir>
#include <QFileInfo>

QString ProposedDownloadFolder(const TConfig& config) {
    const QString folder = config.DownloadFolderMode != 0 ? config.DownloadFolder : config.LastDownloadFolder;
    if (!folder.trimmed().isEmpty() && QFileInfo(folder).isDir())
        return WithTrailingSlash(folder);
    return DefaultDownloadDir();
}

QString FolderOfPath(const QString& path) {
    return WithTrailingSlash(QFileInfo(path).path());
}

QString WithTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}
