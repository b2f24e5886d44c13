// Real key presses for the benchmarks that drive the main window: keys go through the X server's
// XTest extension (as xdotool sends them), so the program receives them as the window system's own
// input, exactly as a user's keys. libX11 and libXtst are opened at run time (no build dependency);
// the connection is one of its own, apart from the application's.
#pragma once

#include <QLibrary>
#include <QWidget>

class TXTestKeyboard final {
public:
    TXTestKeyboard()
        : m_x11(QStringLiteral("X11"), 6), m_xtst(QStringLiteral("Xtst"), 6) {
        m_open = reinterpret_cast<OpenDisplay>(m_x11.resolve("XOpenDisplay"));
        m_close = reinterpret_cast<CloseDisplay>(m_x11.resolve("XCloseDisplay"));
        m_keycode = reinterpret_cast<KeysymToKeycode>(m_x11.resolve("XKeysymToKeycode"));
        m_focus = reinterpret_cast<SetInputFocus>(m_x11.resolve("XSetInputFocus"));
        m_sync = reinterpret_cast<Sync>(m_x11.resolve("XSync"));
        m_fake = reinterpret_cast<FakeKeyEvent>(m_xtst.resolve("XTestFakeKeyEvent"));
        if (m_open && m_close && m_keycode && m_focus && m_sync && m_fake)
            m_display = m_open(nullptr);
    }
    ~TXTestKeyboard() {
        if (m_display)
            m_close(m_display);
    }
    TXTestKeyboard(const TXTestKeyboard&) = delete;
    TXTestKeyboard& operator=(const TXTestKeyboard&) = delete;

    // False when the libraries or the X server's XTest extension are missing.
    bool IsReady() const { return m_display != nullptr; }

    // The window gets the keyboard focus from the X server (there is no window manager under Xvfb).
    void Focus(QWidget* window) {
        m_focus(m_display, static_cast<unsigned long>(window->winId()), RevertToParent, CurrentTime);
        m_sync(m_display, 0);
    }

    // Presses or releases the key of the X key symbol (Latin-1 characters are their own symbol:
    // 'a', '7', '.', '/'); the request is on the server when this returns.
    void Press(unsigned long keysym) { Send(keysym, true); }
    void Release(unsigned long keysym) { Send(keysym, false); }

    static constexpr unsigned long Tab = 0xff09;
    static constexpr unsigned long ControlL = 0xffe3;

private:
    void Send(unsigned long keysym, bool press) {
        m_fake(m_display, m_keycode(m_display, keysym), press ? 1 : 0, 0);
        m_sync(m_display, 0);
    }

    static constexpr int RevertToParent = 2;
    static constexpr unsigned long CurrentTime = 0;
    struct Display;
    using OpenDisplay = Display* (*)(const char*);
    using CloseDisplay = int (*)(Display*);
    using KeysymToKeycode = unsigned char (*)(Display*, unsigned long);
    using SetInputFocus = int (*)(Display*, unsigned long, int, unsigned long);
    using Sync = int (*)(Display*, int);
    using FakeKeyEvent = int (*)(Display*, unsigned int, int, unsigned long);

    QLibrary m_x11;
    QLibrary m_xtst;
    OpenDisplay m_open = nullptr;
    CloseDisplay m_close = nullptr;
    KeysymToKeycode m_keycode = nullptr;
    SetInputFocus m_focus = nullptr;
    Sync m_sync = nullptr;
    FakeKeyEvent m_fake = nullptr;
    Display* m_display = nullptr;
};
