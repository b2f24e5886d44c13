// The developer tools' splitter bar.
#include "pagecommands/DevToolsSplitter.h"

#include <QMouseEvent>

TDevToolsSplitter::TDevToolsSplitter(QWidget* page) : QWidget(page) {
    setObjectName(QStringLiteral("DevToolsSplitter"));
    setCursor(Qt::SizeVerCursor);
    setAutoFillBackground(true);
    setFixedHeight(BarHeight);
}

void TDevToolsSplitter::mousePressEvent(QMouseEvent* event) {
    m_dragging = event->button() == Qt::LeftButton;
}

void TDevToolsSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !parentWidget())
        return;
    const int y = mapToParent(event->pos()).y();
    emit moved(qMax(0, parentWidget()->height() - y - BarHeight / 2));
}

void TDevToolsSplitter::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}
