// The capture's colour grid: the 16 standard colours in 8 columns by 2 rows; a click chooses the
// foreground colour (initially pure red).
#pragma once

#include <QColor>
#include <QWidget>

class TCaptureColorGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int ColorCount = 16;
    static constexpr int InitialIndex = 9;

    explicit TCaptureColorGrid(QWidget* parent = nullptr);

    // The standard colour of an index 0..15 (black, maroon, green ... white).
    static QColor StandardColor(int index);
    int Index() const { return m_index; }
    QColor ForegroundColor() const { return StandardColor(m_index); }
    // The cell under a point of the grid, -1 outside every cell.
    int IndexAt(const QPoint& pos) const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect CellRect(int index) const;

    int m_index = InitialIndex;
};
