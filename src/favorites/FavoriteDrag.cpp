// The drag state of the favorites bar and the order a drop gives.
#include "favorites/FavoriteDrag.h"

#include <QtGlobal>

void TFavoriteDrag::Press(const QPoint& globalPos) {
    m_dragging = false;
    m_dropped = false;
    m_pressPoint = globalPos;
}

bool TFavoriteDrag::Move(const QPoint& globalPos, bool stored) {
    const QPoint distance = globalPos - m_pressPoint;
    if (!stored || (qAbs(distance.x()) < Threshold && qAbs(distance.y()) < Threshold)) {
        m_dropped = false;
        return m_dragging;
    }
    m_dragging = true;
    return true;
}

bool TFavoriteDrag::Release() {
    const bool wasDragging = m_dragging;
    m_dragging = false;
    return wasDragging;
}

bool TFavoriteDrag::TakeDropped() {
    const bool dropped = m_dropped;
    m_dropped = false;
    return dropped;
}

TDropPlace TFavoriteDrag::DropPlace(const QVector<QRect>& targets, const QPoint& globalPos) {
    for (int i = 0; i < targets.size(); ++i) {
        const QRect& target = targets.at(i);
        if (target.contains(globalPos))
            return {i, (globalPos.x() - target.left()) * 2 > target.width()};
    }
    return {};
}

QVector<int> TFavoriteDrag::MovedOrder(int count, int from, const TDropPlace& place) {
    QVector<int> order;
    order.reserve(count);
    for (int i = 0; i < count; ++i)
        order.append(i);
    if (from < 0 || from >= count || place.Target < 0 || place.Target >= count || from == place.Target)
        return order;
    order.remove(from);
    // The target's place in the list without the moved entry.
    int at = place.Target > from ? place.Target - 1 : place.Target;
    if (place.After)
        ++at;
    order.insert(at, from);
    return order;
}
