// Small square pictures made from image files.
#include "common/Thumbnails.h"

#include <QFileInfo>
#include <QPainter>

QImage MakeThumbnail(const QString& imageFile, const QString& targetFile, int size, bool save) {
    if (!targetFile.isEmpty() && QFileInfo::exists(targetFile))
        return QImage();
    const QImage source(imageFile);
    if (source.isNull() || size < 3)
        return QImage();
    // The picture fills the square inside a one-pixel margin, keeping its aspect ratio.
    const int inner = size - 2;
    const QSize scaled = source.size().scaled(inner, inner, Qt::KeepAspectRatio).expandedTo({1, 1});
    QImage thumbnail(size, size, QImage::Format_RGB888);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled.width(),
                       scaled.height());
    painter.drawImage(target, source);
    painter.end();
    if (save && !targetFile.isEmpty())
        thumbnail.save(targetFile);
    return thumbnail;
}
