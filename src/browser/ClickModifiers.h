// Tells whether the input event being acted on is a mouse click made with Ctrl held. A tab opened by
// such a click (a link, a suggestion, a favorite) opens in the background; a tab opened by a key
// command (Ctrl+T, Ctrl+Enter, Ctrl+Shift+T, Alt+Home) is activated, although its Ctrl is held too.
#pragma once

#include <QObject>

class TClickModifiers final : public QObject {
    Q_OBJECT
public:
    // Watches every input event of the application from now on.
    explicit TClickModifiers(QObject* parent = nullptr);
    ~TClickModifiers() override;

    // True when the newest key or mouse button event was a mouse button event with Ctrl held.
    bool CtrlClick() const { return m_ctrlClick; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_ctrlClick = false;
};
