// The turning busy arc.
#include "common/LoadingSpinner.h"

#include <QPainter>
#include <QTimer>

TLoadingSpinner::TLoadingSpinner(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    m_timer->setInterval(40);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void TLoadingSpinner::SetRunning(bool running) {
    if (running)
        m_timer->start();
    else
        m_timer->stop();
}

bool TLoadingSpinner::Running() const {
    return m_timer->isActive();
}

void TLoadingSpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int pen = qMax(2, width() / 8);
    painter.setPen(QPen(QColor(45, 123, 229), pen, Qt::SolidLine, Qt::RoundCap));
    const QRectF box = QRectF(rect()).adjusted(pen, pen, -pen, -pen);
    painter.drawArc(box, -m_angle * 16, 270 * 16);
}
