// The capture's frozen picture on screen (see CapturePicture.h).
#include "tools/CapturePicture.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

TCapturePicture::TCapturePicture(const QImage* picture, QWidget* parent)
    : QWidget(parent), m_picture(picture) {
    setObjectName(QStringLiteral("ImageScreen"));
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel comes from the picture
    setCursor(Qt::CrossCursor);
}

void TCapturePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::black); // beyond an empty or smaller picture
    painter.drawImage(area.topLeft(), *m_picture, area);
}
