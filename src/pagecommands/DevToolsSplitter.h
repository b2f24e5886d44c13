// The thin bar between a page and its docked developer tools: dragging it gives the tools the
// height from the bar's new position down to the bottom of the tab page.
#pragma once

#include <QWidget>

class TDevToolsSplitter final : public QWidget {
    Q_OBJECT
public:
    static constexpr int BarHeight = 4;

    explicit TDevToolsSplitter(QWidget* page);

signals:
    // The tools' new height, measured from the pointer to the page's bottom edge.
    void moved(int toolsHeight);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_dragging = false;
};
