// The address field EditUrl: a line edit that selects its whole text on the first click after
// the pointer enters it (unless the user dragged), reports released keys and reports text the
// user entered other than by typing a key (an input method's commit, a paste, a drop).
#pragma once

#include <QLineEdit>
#include <QPoint>
#include <QSet>

class TAddressEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit TAddressEdit(QWidget* parent = nullptr);

    // Clicks since the pointer last entered the field (the select-all rule uses only 0 and above 0).
    int Tag = 0;

    // Forgets the keys held down now: their releases are not reported (the address was opened,
    // the typing that led to it is over).
    void ForgetHeldKeys() { m_heldKeys.clear(); }

signals:
    void keyReleased(int virtualKey, Qt::KeyboardModifiers modifiers);
    // The user changed the text without typing it key by key: an input method committed text
    // (Chinese typed through it arrives so), or text was pasted or dropped. Typed keys are reported
    // by keyReleased alone.
    void textEntered(const QString& text);

protected:
    void enterEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    QPoint m_pressPoint;
    // Keys pressed in the field and not yet released. Only their releases are reported: a release
    // whose press went elsewhere (Alt+D taken by the window, a key pressed in the page before the
    // focus moved here) or that comes after the address was opened does nothing.
    QSet<quint32> m_heldKeys;
    // Set while a key press other than paste or an input method event is handled: the edits it
    // makes are reported otherwise, or not at all.
    bool m_typing = false;
};
