// The owner-drawn tab strip `PageControl1`: every tab draws its icon, its caption cut to fit and a
// close button; clicks select, a second left press within 300 ms on the same tab (or on the empty
// strip) or a middle click closes, dragging moves the active tab. The new-tab button panel
// `PanelAdd` sits right of the last tab.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

class QFontMetrics;
class QToolButton;
class TTabRegistry;

class TTabStrip final : public QWidget {
    Q_OBJECT
public:
    static constexpr int TabHeight = 29;
    static constexpr int DefaultTabWidth = 178;
    static constexpr int CloseButtonSize = 12;
    static constexpr int TabOffset = 4;          // left edge of the first tab
    static constexpr qint64 DoubleClickMs = 300; // a second left press on the same tab within this closes

    explicit TTabStrip(const TTabRegistry& registry, QWidget* parent = nullptr);

    // 178 while tabCount x 178 < stripWidth - 90, else (stripWidth - 90) div tabCount.
    static int TabWidthFor(int tabCount, int stripWidth);
    // The trimmed caption ("新页面" when empty) without its last characters until its width + 25
    // fits in tabWidth - 19. No ellipsis.
    static QString FitCaption(const QString& caption, const QFontMetrics& metrics, int tabWidth);

    int TabWidth() const { return m_tabWidth; }
    // Recomputes the tab width for the current count and width, places `PanelAdd`, repaints.
    void UpdateTabWidth();
    void PlaceNewTabButton();
    QWidget* NewTabPanel() const { return m_panelAdd; }

    int CurrentIndex() const { return m_current; }
    // Selects the tab (emits currentChanged when it changes); -1 clears the selection.
    void SetCurrentIndex(int index);
    // Keeps the selection on the same tab after tabs were added, removed or moved, without a signal.
    void SetCurrentIndexQuietly(int index);
    int TabAt(const QPoint& point) const;
    QRect TabRect(int index) const;
    QRect CloseButtonRect(int index) const;

    // Next frame of the loading icon (TimerRefreshTab).
    void AdvanceLoadingIcon();
    // Tab icons are read again (a new favicon file arrived).
    void ForgetIcons();
    void SetClosing(bool closing) { m_closing = closing; }

signals:
    void currentChanged(int index);
    void closeRequested(int index);
    void tabMoved(int from, int to);
    void newTabClicked();
    // A right click on the tab at the index: its menu is shown at the screen point.
    void tabMenuRequested(int index, const QPoint& screenPoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    void DrawTab(QPainter& painter, int index);
    QPixmap FavIcon(const QString& file);

    const TTabRegistry& m_registry;
    QWidget* m_panelAdd;
    QToolButton* m_newTabButton;
    int m_tabWidth = DefaultTabWidth;
    int m_current = -1;
    bool m_closing = false;
    int m_loadingAngle = 0;
    QPoint m_mousePoint{-1, -1};
    QPoint m_pressPoint;
    qint64 m_lastPressTime = 0;
    int m_lastPressIndex = -1; // the tab of the last press, -1 for the empty strip
    bool m_hasLastPress = false;
    bool m_pressOnTab = false;
    bool m_dragging = false;
    QHash<QString, QPixmap> m_icons;
};
