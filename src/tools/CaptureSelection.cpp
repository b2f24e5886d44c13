// The capture's selection geometry (see CaptureSelection.h).
#include "tools/CaptureSelection.h"

#include <QtGlobal>

namespace {
constexpr int kHalf = TCaptureSelection::HandleSize / 2; // a handle's square is centred on its point
} // namespace

TCaptureSelection::TCaptureSelection(const QSize& screen) : m_screen(screen) {}

bool TCaptureSelection::Contains(const QPoint& point) const {
    return point.x() >= m_left && point.x() < m_left + m_width && point.y() >= m_top &&
           point.y() < m_top + m_height;
}

void TCaptureSelection::Start(const QPoint& point) {
    m_left = point.x();
    m_top = point.y();
    m_width = 0;
    m_height = 0;
}

void TCaptureSelection::StretchTo(const QPoint& point) {
    m_width = point.x() - m_left;
    m_height = point.y() - m_top;
}

void TCaptureSelection::Normalize() {
    if (m_width < 0) {
        m_left += m_width;
        m_width = -m_width;
    }
    if (m_height < 0) {
        m_top += m_height;
        m_height = -m_height;
    }
}

QPoint TCaptureSelection::HandlePos(int tag) const {
    // Integer division truncates toward zero, also for a negative size during a drag.
    const int left = m_left - kHalf;
    const int centre = m_left + m_width / 2 - kHalf;
    const int right = m_left + m_width - kHalf;
    const int top = m_top - kHalf;
    const int middle = m_top + m_height / 2 - kHalf;
    const int bottom = m_top + m_height - kHalf;
    switch (tag) {
    case LeftTop:
        return {left, top};
    case Top:
        return {centre, top};
    case RightTop:
        return {right, top};
    case Right:
        return {right, middle};
    case RightBottom:
        return {right, bottom};
    case Bottom:
        return {centre, bottom};
    case LeftBottom:
        return {left, bottom};
    case Left:
        return {left, middle};
    default:
        return {};
    }
}

void TCaptureSelection::DragHandle(int tag, const QPoint& pos) {
    // The edges a handle does not move are read from the handles still in place.
    const int rightHandle = HandlePos(Right).x();
    const int leftHandle = HandlePos(Left).x();
    const int bottomHandle = HandlePos(Bottom).y();
    const int topHandle = HandlePos(Top).y();
    const bool movesLeft = tag == LeftTop || tag == LeftBottom || tag == Left;
    const bool movesRight = tag == RightTop || tag == Right || tag == RightBottom;
    const bool movesTop = tag == LeftTop || tag == Top || tag == RightTop;
    const bool movesBottom = tag == RightBottom || tag == Bottom || tag == LeftBottom;
    if (movesLeft) {
        m_left = pos.x() + kHalf;
        m_width = rightHandle - pos.x();
    } else if (movesRight) {
        m_width = pos.x() - leftHandle;
    }
    if (movesTop) {
        m_top = pos.y() + kHalf;
        m_height = bottomHandle - pos.y();
    } else if (movesBottom) {
        m_height = pos.y() - topHandle;
    }
}

void TCaptureSelection::MoveBy(int dx, int dy) {
    m_left = qMax(0, qMin(m_left + dx, m_screen.width() - m_width));
    m_top = qMax(0, qMin(m_top + dy, m_screen.height() - m_height));
}

bool TCaptureSelection::StepKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left:
        m_left = qMax(0, m_left - 1);
        return true;
    case Qt::Key_Up:
        m_top = qMax(0, m_top - 1);
        return true;
    case Qt::Key_Right:
        if (m_left + 1 <= m_screen.width() - m_width)
            ++m_left;
        return true;
    case Qt::Key_Down:
        if (m_top + 1 <= m_screen.height() - m_height)
            ++m_top;
        return true;
    default:
        return false;
    }
}

QPoint TCaptureSelection::PanelPos(const QSize& panel) const {
    const bool roomBelow = m_screen.height() - m_height - panel.height() >= m_top;
    const int top = roomBelow ? m_top + m_height + PanelGap : m_top - panel.height() - PanelGap;
    return {qMin(m_left, m_screen.width() - panel.width()), top};
}
