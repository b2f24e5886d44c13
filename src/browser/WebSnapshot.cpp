// The compatibility engine's whole-document picture.
#include "browser/Snapshot.h"
#include "browser/WebControl.h"

#include <QImage>
#include <QPainter>
#include <QWebFrame>

bool SaveWebBrowserSnapshot(TWebControl* control, const QString& fileName) {
    if (!control)
        return false;
    QWebFrame* frame = control->WebPage()->mainFrame();
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
    const QSize viewport = control->WebPage()->viewportSize();
    control->WebPage()->setViewportSize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        frame->render(&painter, QWebFrame::ContentsLayer);
    }
    control->WebPage()->setViewportSize(viewport);
    return SaveJpegPicture(image, fileName);
}
