// Small square pictures made from image files (the icons of the favorites bar and the history list).
#pragma once

#include <QImage>
#include <QString>

// The image scaled into a size x size square with a one-pixel margin; a null image on failure or
// when the target file already exists.
QImage MakeThumbnail(const QString& imageFile, const QString& targetFile, int size, bool save);
