// The capture's picture and annotations (see CaptureCanvas.h).
#include "tools/CaptureCanvas.h"

#include "tools/CaptureArrow.h"

#include <QPainter>
#include <QTextOption>

namespace {
bool IsFigure(TCaptureTool tool) {
    return tool == TCaptureTool::Rectangle || tool == TCaptureTool::Ellipse || tool == TCaptureTool::Line;
}
} // namespace

TCaptureCanvas::TCaptureCanvas(const QImage& screen)
    : m_picture(screen.convertToFormat(QImage::Format_RGB32)) {
    m_snapshots.append(m_picture);
}

QRect TCaptureCanvas::TakeDirty() {
    const QRect dirty = m_dirty;
    m_dirty = QRect();
    return dirty;
}

void TCaptureCanvas::MarkDirty(const QRect& rect) {
    m_dirty |= rect.intersected(m_selection);
}

void TCaptureCanvas::Press(const QRect& selection, const QPoint& start) {
    m_selection = selection.intersected(m_picture.rect());
    m_start = start;
    m_last = start;
    m_penPos = start;
    m_stroke = false;
    m_backup = m_picture.copy(m_selection);
}

bool TCaptureCanvas::Inside(const QPoint& point) const {
    return point.x() >= 0 && point.y() >= 0 && point.x() < m_selection.width() &&
           point.y() < m_selection.height();
}

void TCaptureCanvas::Drag(TCaptureTool tool, const TCaptureStyle& style, const QPoint& point) {
    if (!Inside(point)) {
        EraseRubberBand(tool, style);
        m_stroke = false;
        return;
    }
    if (IsFigure(tool)) {
        EraseRubberBand(tool, style);
        m_last = point;
        DrawFigure(tool, style, m_last, true);
    } else if (tool == TCaptureTool::Arrow) {
        RestoreBackup();
        DrawArrow(style, point);
    } else if (tool == TCaptureTool::Pen) {
        DrawPen(style, point);
        m_last = point;
    }
    m_stroke = true;
}

bool TCaptureCanvas::Release(TCaptureTool tool, const TCaptureStyle& style, const QPoint& point,
                             const TCaptureText& pending) {
    if (!Inside(point)) {
        // Whatever the drag drew goes: the figure was not completed.
        RestoreBackup();
        m_stroke = false;
        return false;
    }
    if (IsFigure(tool)) {
        EraseRubberBand(tool, style);
        DrawFigure(tool, style, point, false);
    } else if (tool == TCaptureTool::Arrow) {
        RestoreBackup();
        DrawArrow(style, point);
    } else if (tool == TCaptureTool::Pen) {
        DrawPen(style, point);
    } else if (tool == TCaptureTool::Text) {
        // The release opens a new box; only the old box's text, if any, is a step to undo.
        CommitText(pending);
        m_stroke = false;
        return true;
    }
    m_snapshots.append(m_picture);
    m_stroke = false;
    return true;
}

void TCaptureCanvas::EraseRubberBand(TCaptureTool tool, const TCaptureStyle& style) {
    // Not-xor twice gives back the pixels underneath.
    if (m_stroke && IsFigure(tool))
        DrawFigure(tool, style, m_last, true);
}

void TCaptureCanvas::DrawFigure(TCaptureTool tool, const TCaptureStyle& style, const QPoint& to,
                                bool rubberBand) {
    QPainter painter(&m_picture);
    painter.setClipRect(m_selection);
    painter.translate(m_selection.topLeft());
    if (rubberBand)
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    else
        painter.setRenderHint(QPainter::Antialiasing); // the rubber band must hit the same pixels twice
    painter.setPen(QPen(style.Color, style.Width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QRect box = QRect(m_start, to).normalized();
    if (tool == TCaptureTool::Rectangle)
        painter.drawRect(box);
    else if (tool == TCaptureTool::Ellipse)
        painter.drawEllipse(box);
    else
        painter.drawLine(m_start, to);
    const int margin = style.Width + 2;
    MarkDirty(box.translated(m_selection.topLeft()).adjusted(-margin, -margin, margin, margin));
}

void TCaptureCanvas::DrawArrow(const TCaptureStyle& style, const QPoint& to) {
    QPainter painter(&m_picture);
    painter.setClipRect(m_selection);
    painter.translate(m_selection.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    QColor color = style.Color;
    color.setAlpha(255);
    const QPainterPath path = CaptureArrowPath(m_start, to, style.ArrowWidth);
    painter.fillPath(path, color);
    MarkDirty(path.boundingRect().toAlignedRect().translated(m_selection.topLeft()).adjusted(-2, -2, 2, 2));
}

void TCaptureCanvas::DrawPen(const TCaptureStyle& style, const QPoint& to) {
    QPainter painter(&m_picture);
    painter.setClipRect(m_selection);
    painter.translate(m_selection.topLeft());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(style.Color, style.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(m_penPos, to);
    const int margin = style.Width + 2;
    MarkDirty(QRect(m_penPos, to)
                  .normalized()
                  .translated(m_selection.topLeft())
                  .adjusted(-margin, -margin, margin, margin));
    m_penPos = to;
}

void TCaptureCanvas::RestoreBackup() {
    if (m_backup.isNull())
        return;
    QPainter painter(&m_picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(m_selection.topLeft(), m_backup);
    MarkDirty(m_selection);
}

void TCaptureCanvas::CommitText(const TCaptureText& text) {
    if (text.Text.isEmpty())
        return;
    {
        QPainter painter(&m_picture);
        painter.setClipRect(m_selection.isEmpty() ? text.Box : m_selection);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(text.Font);
        painter.setPen(text.Color);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        painter.drawText(QRectF(text.Box), text.Text, option);
    }
    m_dirty |= text.Box;
    m_snapshots.append(m_picture);
}

bool TCaptureCanvas::Undo() {
    if (m_snapshots.size() <= 1)
        return false;
    m_snapshots.removeLast();
    m_picture = m_snapshots.last();
    m_dirty = m_picture.rect();
    return true;
}

QImage TCaptureCanvas::Copy(const QRect& selection) const {
    return m_picture.copy(selection);
}
