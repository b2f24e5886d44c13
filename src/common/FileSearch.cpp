// Listing the files below a folder.
#include "common/FileSearch.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool MatchesAllNames(const QString& mask) {
    return mask.isEmpty() || mask == QLatin1String("*") || mask == QLatin1String("*.*");
}
} // namespace

void FindFilesRecursive(const QString& folder, const QString& mask, QStringList* list) {
    if (!list)
        return;
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QDir dir(base);
    // "*" and "*.*" match every name, as the callers' masks expect.
    if (!MatchesAllNames(mask))
        dir.setNameFilters({mask});
    // Without QDir::CaseSensitive the mask ignores letter case.
    dir.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Unsorted);
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            // A linked folder is not followed: it may lead back to one of its parents.
            if (!entry.isSymLink())
                FindFilesRecursive(base + entry.fileName(), mask, list);
        } else {
            list->append(base + entry.fileName());
        }
    }
}
