// The boss key: one system-wide hot key that hides and shows the main window. On X11 it is a key
// grab on the root window, seen by a native event filter; other desktops (Wayland) offer no
// global grab, so the key is not available there.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QVector>

class TBossKey final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit TBossKey(QObject* parent = nullptr);
    ~TBossKey() override;

    // True when this desktop lets a program grab a key system-wide (X11).
    static bool Available();

    // Registers the stored shortcut value (virtual key in the low byte, 0x2000 Shift, 0x4000 Ctrl,
    // 0x8000 Alt) after removing a registered one. False, with a log line, when the value names no
    // key, the desktop has no global keys or another program holds the key.
    bool Register(quint16 shortcut);
    void Unregister();
    bool IsRegistered() const { return !m_grabbed.isEmpty(); }
    // The registered virtual key and hot-key modifier bits (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4).
    int VirtualKey() const { return m_virtualKey; }
    int Modifiers() const { return m_modifiers; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

signals:
    // The registered key was pressed.
    void activated();

private:
    struct TGrab {
        quint8 Keycode;
        quint16 State;
    };
    QVector<TGrab> m_grabbed;
    quint8 m_keycode = 0;
    quint16 m_state = 0;
    int m_virtualKey = 0;
    int m_modifiers = 0;
};
