// The capture's selection frame (see CaptureFrame.h).
#include "tools/CaptureFrame.h"

#include <QPainter>

TCaptureFrame::TCaptureFrame(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ShapeRect"));
    setCursor(Qt::SizeAllCursor);
    setMouseTracking(true); // the cursor follows the chosen tool once drawing has started
}

void TCaptureFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
