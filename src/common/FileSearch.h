// Listing the files below a folder.
#pragma once

#include <QString>
#include <QStringList>

// Appends every matching file below the folder (subfolders searched with the same mask; "*" and
// "*.*" match every name, other masks ignore letter case).
void FindFilesRecursive(const QString& folder, const QString& mask, QStringList* list);
