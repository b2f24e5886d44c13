// The capture's arrow as one filled outline: a shaft of the pen's width with a triangular start
// cap and a filled arrow head at the end, 3 pen widths long and 2.5 pen widths wide.
#pragma once

#include <QPainterPath>
#include <QPointF>

// The arrow head's length and full width, in pen widths.
constexpr qreal kArrowHeadLength = 3.0;
constexpr qreal kArrowHeadWidth = 2.5;

// The outline of an arrow from `from` to the tip `to` for a pen `width` wide; empty when the two
// points are the same. A line shorter than the head draws the head alone, cut at the start.
QPainterPath CaptureArrowPath(const QPointF& from, const QPointF& to, qreal width);
