// The address field EditUrl: a line edit that selects its whole text on the first click after
// the pointer enters it (unless the user dragged) and reports released keys.
#pragma once

#include <QLineEdit>
#include <QPoint>

class TAddressEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit TAddressEdit(QWidget* parent = nullptr);

    // Clicks since the pointer last entered the field (the select-all rule uses only 0 and above 0).
    int Tag = 0;

signals:
    void keyReleased(int virtualKey, Qt::KeyboardModifiers modifiers);

protected:
    void enterEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QPoint m_pressPoint;
};
