// The capture's selection rectangle on the frozen screen: drawing it, its eight handles, resizing by
// a handle, moving it by mouse or arrow key inside the screen, and where its tool panel goes.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class TCaptureSelection {
public:
    // The handles' tags, clockwise from the top-left corner.
    enum THandle { LeftTop = 1, Top, RightTop, Right, RightBottom, Bottom, LeftBottom, Left };
    static constexpr int HandleCount = 8;
    static constexpr int HandleSize = 5;
    // Gap between the selection and its tool panel.
    static constexpr int PanelGap = 5;

    explicit TCaptureSelection(const QSize& screen = QSize());

    QSize Screen() const { return m_screen; }
    int X() const { return m_left; }
    int Y() const { return m_top; }
    // Width and height may be negative while the selection is being drawn or resized.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The selection as a rectangle (meaningful once normalised).
    QRect Rect() const { return QRect(m_left, m_top, m_width, m_height); }
    bool IsEmpty() const { return m_width == 0 || m_height == 0; }
    // Whether the screen point lies inside (right and bottom edges excluded).
    bool Contains(const QPoint& point) const;

    // A new selection of size 0 with its top-left corner at the point.
    void Start(const QPoint& point);
    // Stretches the selection being drawn to the point (the size may turn negative).
    void StretchTo(const QPoint& point);
    // A negative width or height moves the left or top edge by it and becomes positive.
    void Normalize();

    // The top-left corner of a handle's square for the current selection.
    QPoint HandlePos(int tag) const;
    // Resizes from a handle whose square was dragged to `pos`; the opposite edges stay put.
    void DragHandle(int tag, const QPoint& pos);

    // Shifts the selection, then keeps it inside the screen.
    void MoveBy(int dx, int dy);
    // One step of an arrow key (Qt::Key_Left ... Qt::Key_Down); false for any other key.
    bool StepKey(int qtKey);

    // The tool panel's top-left: below the selection, or above when there is no room below;
    // never past the screen's right edge.
    QPoint PanelPos(const QSize& panel) const;

private:
    QSize m_screen;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
};
