// Page pictures saved as JPEG of quality 90.
#include "browser/Snapshot.h"

#include "common/Logging.h"

#include <QImage>
#include <QImageWriter>
#include <QWidget>

namespace {
constexpr int JpegQuality = 90;
} // namespace

bool SaveJpegPicture(const QImage& image, const QString& fileName) {
    if (image.isNull())
        return false;
    QImageWriter writer(fileName, "jpeg");
    writer.setQuality(JpegQuality);
    if (writer.write(image.convertToFormat(QImage::Format_RGB888)))
        return true;
    WriteLog(QStringLiteral("picture not saved: %1 (%2)").arg(fileName, writer.errorString()));
    return false;
}

bool SaveWindowSnapshot(QWidget* view, const QString& fileName) {
    if (!view || view->width() <= 0 || view->height() <= 0)
        return false;
    return SaveJpegPicture(view->grab().toImage(), fileName);
}
