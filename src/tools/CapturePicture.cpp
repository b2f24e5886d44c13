// The capture's frozen picture on screen (see CapturePicture.h).
#include "tools/CapturePicture.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

TCapturePicture::TCapturePicture(const QImage* picture, QWidget* parent)
    : QWidget(parent), m_picture(picture) {
    setObjectName(QStringLiteral("ImageScreen"));
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel comes from the picture
    setCursor(Qt::CrossCursor);
}

void TCapturePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), *m_picture, area);
    // Beyond an empty or smaller picture.
    const QRegion beyond = QRegion(area).subtracted(QRegion(m_picture->rect()));
    for (const QRect& rect : beyond)
        painter.fillRect(rect, Qt::black);
}
