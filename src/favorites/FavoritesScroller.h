// The favorites bar's row of buttons: laid out from the left and, when they are wider than the
// bar, scrolled sideways by two arrow buttons at the ends (auto-repeat every 100 ms).
#pragma once

#include <QWidget>

class QHBoxLayout;
class QScrollArea;
class QToolButton;

class TFavoritesScroller final : public QWidget {
    Q_OBJECT
public:
    explicit TFavoritesScroller(QWidget* parent = nullptr);

    // The widget the buttons belong to, and its row.
    QWidget* Content() const { return m_content; }
    // Index of the row's stretch, after the last button (insert buttons before it).
    int ButtonCount() const;
    void InsertButton(int position, QWidget* button);
    // Deletes every button at once (with the row that holds them).
    void ClearButtons();
    // Shows the arrows only when the buttons do not fit.
    void UpdateArrows();
    // Scrolls one step to the left (-1) or right (+1).
    void ScrollStep(int direction);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeContent();
    QToolButton* MakeArrow(const char* name, Qt::ArrowType arrow, int direction);

    QScrollArea* m_area = nullptr;
    QWidget* m_content = nullptr;
    QHBoxLayout* m_row = nullptr;
    QToolButton* m_left = nullptr;
    QToolButton* m_right = nullptr;
};
