// The favorites bar's drag reorder without widgets: when a press becomes a drag, where a drop
// lands, the order that follows and the click a drop swallows.
#pragma once

#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QVector>

// Where a drop lands: before (left half) or after (right half) the target at Target.
struct TDropPlace {
    int Target = -1; // position among the stored favorites' buttons; -1: no target
    bool After = false;
};

class TFavoriteDrag {
public:
    // A move this far from the press point (horizontally or vertically) starts a drag.
    static constexpr int Threshold = 5;

    // A left-button press on a favorite button: a new gesture starts. It also forgets a drop of
    // an earlier gesture whose release produced no click (released beside the button), so that
    // drop cannot swallow this click.
    void Press(const QPoint& globalPos);
    // A move with exactly the left button held; answers whether the gesture is a drag now.
    // Default favorites never drag.
    bool Move(const QPoint& globalPos, bool stored);
    // The release: answers whether it ends a drag (and clears the dragging flag).
    bool Release();
    bool Dragging() const { return m_dragging; }

    // A completed drop makes the click its release produces open nothing.
    void SetDropped() { m_dropped = true; }
    // The click handler asks first: true (once) when the click ends a drop.
    bool TakeDropped();

    // The target whose screen rectangle holds the point, and the half: the right half when the
    // point lies more than half the target's width from its left edge.
    static TDropPlace DropPlace(const QVector<QRect>& targets, const QPoint& globalPos);
    // The positions 0..count-1 in their new order after moving `from` before or after the target.
    static QVector<int> MovedOrder(int count, int from, const TDropPlace& place);
    // The same move applied to a list.
    template <class T> static QList<T> Reordered(const QList<T>& list, const QVector<int>& order) {
        QList<T> result;
        result.reserve(order.size());
        for (const int position : order)
            result.append(list.at(position));
        return result;
    }

private:
    QPoint m_pressPoint;
    bool m_dragging = false;
    bool m_dropped = false;
};
