// The capture's picture and its annotations: the frozen screen, the figures drawn on it inside the
// selection (rubber-band figures in not-xor mode while dragging, final figures anti-aliased), the
// text committed from the text box, and the undo list of snapshots.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

enum class TCaptureTool { None, Rectangle, Ellipse, Line, Arrow, Pen, Text };

// How figures are drawn: the colour, the line width of the figure tools and the arrow's width.
struct TCaptureStyle {
    QColor Color = Qt::red;
    int Width = 2;
    qreal ArrowWidth = 8;
};

// Text typed into the text box, to be drawn in the box's rectangle (screen coordinates).
struct TCaptureText {
    QRect Box;
    QFont Font;
    QColor Color = Qt::black;
    QString Text;
};

class TCaptureCanvas {
public:
    // The picture is the screen image in 32-bit RGB; it is the first snapshot.
    explicit TCaptureCanvas(const QImage& screen = QImage());

    const QImage& Picture() const { return m_picture; }
    int SnapshotCount() const { return m_snapshots.size(); }
    // The part of the picture changed since the last call (screen coordinates), for repainting.
    QRect TakeDirty();

    // A press on the selection at `start` (selection coordinates): keeps the selection's pixels so
    // an unfinished figure can be taken back.
    void Press(const QRect& selection, const QPoint& start);
    // A drag to `point` (selection coordinates). Outside the selection the rubber band goes away
    // and the stroke stops.
    void Drag(TCaptureTool tool, const TCaptureStyle& style, const QPoint& point);
    // The release at `point`: inside the selection the figure is drawn for good and a snapshot is
    // pushed (with the text tool, the pending text is committed and a new box may open); outside,
    // the selection gets its pixels back from the press and nothing is completed. Returns whether
    // the release was inside the selection.
    bool Release(TCaptureTool tool, const TCaptureStyle& style, const QPoint& point,
                 const TCaptureText& pending);
    bool StrokeInProgress() const { return m_stroke; }
    QPoint StartPoint() const { return m_start; }

    // Draws the text box's text onto the picture, wrapped at word boundaries, as one snapshot of
    // its own: one undo removes the box's text. Empty text changes nothing.
    void CommitText(const TCaptureText& text);
    // Back to the previous snapshot; false when only the unannotated picture is left.
    bool Undo();
    // The selection's pixels of the picture.
    QImage Copy(const QRect& selection) const;

private:
    bool Inside(const QPoint& point) const;
    void DrawFigure(TCaptureTool tool, const TCaptureStyle& style, const QPoint& to, bool rubberBand);
    void DrawArrow(const TCaptureStyle& style, const QPoint& to);
    void DrawPen(const TCaptureStyle& style, const QPoint& to);
    void EraseRubberBand(TCaptureTool tool, const TCaptureStyle& style);
    void RestoreBackup();
    void MarkDirty(const QRect& rect);

    QImage m_picture;
    QList<QImage> m_snapshots;
    QImage m_backup; // the selection's pixels at the last press
    QRect m_selection;
    QPoint m_start;  // selection coordinates
    QPoint m_last;   // end of the rubber-band figure on the picture
    QPoint m_penPos; // where the pen's next segment starts
    bool m_stroke = false;
    QRect m_dirty;
};
