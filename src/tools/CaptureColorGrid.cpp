// The capture's colour grid (see CaptureColorGrid.h).
#include "tools/CaptureColorGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kColumns = 8;
constexpr int kRows = 2;
} // namespace

TCaptureColorGrid::TCaptureColorGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ColorGrid"));
    setFixedSize(160, 36);
    setCursor(Qt::PointingHandCursor);
}

QColor TCaptureColorGrid::StandardColor(int index) {
    static const QRgb kColors[ColorCount] = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return index >= 0 && index < ColorCount ? QColor(kColors[index]) : QColor();
}

QRect TCaptureColorGrid::CellRect(int index) const {
    const int cellWidth = width() / kColumns;
    const int cellHeight = height() / kRows;
    return QRect((index % kColumns) * cellWidth, (index / kColumns) * cellHeight, cellWidth, cellHeight);
}

int TCaptureColorGrid::IndexAt(const QPoint& pos) const {
    for (int index = 0; index < ColorCount; ++index)
        if (CellRect(index).contains(pos))
            return index;
    return -1;
}

void TCaptureColorGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int index = 0; index < ColorCount; ++index) {
        const QRect cell = CellRect(index).adjusted(1, 1, -1, -1);
        painter.fillRect(cell, StandardColor(index));
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    // The foreground colour's cell is framed twice, black inside white.
    const QRect chosen = CellRect(m_index).adjusted(0, 0, -1, -1);
    painter.setPen(Qt::black);
    painter.drawRect(chosen);
    painter.setPen(Qt::white);
    painter.drawRect(chosen.adjusted(1, 1, -1, -1));
}

void TCaptureColorGrid::mousePressEvent(QMouseEvent* event) {
    const int index = IndexAt(event->pos());
    if (event->button() != Qt::LeftButton || index < 0)
        return;
    m_index = index;
    update();
    emit clicked();
}
