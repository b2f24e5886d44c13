// Proposes a name for a new download's file that overwrites nothing.
#pragma once

#include <QString>
#include <QStringList>

// path itself when nothing is there and no listed path names it; otherwise the first of
// "name (1).ext", "name (2).ext", ... that is free. The number goes before the last extension,
// or before a compressed tar's two ("src (1).tar.gz"); a name without extension (or a hidden
// name such as ".config") gets it at the end.
QString FreeFileName(const QString& path, const QStringList& listed = QStringList());
