// Page pictures saved as JPEG of quality 90.
#include "browser/Snapshot.h"

#include "browser/WebControl.h"
#include "common/CommonFunc.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QWebFrame>
#include <QWidget>

namespace {
constexpr int JpegQuality = 90;

bool SaveJpeg(const QImage& image, const QString& fileName) {
    if (image.isNull())
        return false;
    QImageWriter writer(fileName, "jpeg");
    writer.setQuality(JpegQuality);
    if (writer.write(image.convertToFormat(QImage::Format_RGB888)))
        return true;
    WriteLog(QStringLiteral("picture not saved: %1 (%2)").arg(fileName, writer.errorString()));
    return false;
}
} // namespace

bool SaveWebBrowserSnapshot(TWebControl* control, const QString& fileName) {
    if (!control)
        return false;
    QWebFrame* frame = control->page()->mainFrame();
    const QVariant width =
        frame->evaluateJavaScript(QStringLiteral("document.body?document.body.parentElement.scrollWidth:0"));
    const QVariant height =
        frame->evaluateJavaScript(QStringLiteral("document.body?document.body.parentElement.scrollHeight:0"));
    QSize size(width.toInt(), height.toInt());
    if (size.width() <= 0 || size.height() <= 0)
        size = control->size() + QSize(100, 100);
    // Keep the picture within what one image can hold.
    size = size.boundedTo(QSize(16384, 32767));

    // The page is laid out at the document's size for the capture; the visible control is untouched.
    const QSize viewport = control->page()->viewportSize();
    control->page()->setViewportSize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        frame->render(&painter, QWebFrame::ContentsLayer);
    }
    control->page()->setViewportSize(viewport);
    return SaveJpeg(image, fileName);
}

bool SaveWindowSnapshot(QWidget* view, const QString& fileName) {
    if (!view || view->width() <= 0 || view->height() <= 0)
        return false;
    return SaveJpeg(view->grab().toImage(), fileName);
}
