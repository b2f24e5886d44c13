// The capture's arrow outline (see CaptureArrow.h).
#include "tools/CaptureArrow.h"

#include <QLineF>
#include <QPolygonF>
#include <QtMath>

QPainterPath CaptureArrowPath(const QPointF& from, const QPointF& to, qreal width) {
    const QLineF line(from, to);
    const qreal length = line.length();
    QPainterPath path;
    if (length <= 0 || width <= 0)
        return path;
    const QPointF along = (to - from) / length;
    const QPointF across(-along.y(), along.x());
    const qreal half = width / 2;
    const qreal headHalf = width * kArrowHeadWidth / 2;
    const qreal headLength = width * kArrowHeadLength;
    QPolygonF outline;
    if (length > headLength) {
        const QPointF base = to - along * headLength;
        outline << from - along * half // the start cap's point
                << from + across * half << base + across * half << base + across * headHalf << to
                << base - across * headHalf << base - across * half << from - across * half;
    } else {
        // Only part of the head fits: its sides up to the start point.
        const qreal cut = headHalf * length / headLength;
        outline << from + across * cut << to << from - across * cut;
    }
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}
