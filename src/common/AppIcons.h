// The program's drawn icons (res/icons/*.svg, compiled in as resources), by name.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The icon ":/icons/<name>.svg"; a null icon for an unknown name.
QIcon AppIcon(const QString& name);
// The icon drawn at the size (device pixel ratio of the primary screen respected).
QPixmap IconPixmap(const QString& name, const QSize& size);
