// The boss key as an X11 key grab on the root window.
#include "shell/BossKey.h"

#include "common/Logging.h"
#include "common/VirtualKey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QX11Info>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

// Lock keys change the modifier state of a press; the grab is made for each of their combinations
// so that Num Lock or Caps Lock do not swallow the boss key.
const quint16 kLockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
const quint16 kIgnoredMasks = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;

} // namespace

TBossKey::TBossKey(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TBossKey::~TBossKey() {
    Unregister();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TBossKey::Available() {
    return QX11Info::isPlatformX11() && QX11Info::connection() != nullptr;
}

bool TBossKey::Register(quint16 shortcut) {
    Unregister();
    const int virtualKey = shortcut & 0xFF;
    const bool shift = shortcut & scShift, ctrl = shortcut & scCtrl, alt = shortcut & scAlt;
    if (!Available()) {
        WriteLog(QStringLiteral("Boss key not available: this desktop (%1) has no global keys")
                     .arg(QGuiApplication::platformName()));
        return false;
    }
    const quint32 keysym = KeysymOfVirtualKey(virtualKey);
    if (keysym == 0) {
        WriteLog(QStringLiteral("Boss key: no key for the stored value %1").arg(shortcut));
        return false;
    }
    xcb_connection_t* connection = QX11Info::connection();
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    xcb_keycode_t* keycodes = symbols ? xcb_key_symbols_get_keycode(symbols, keysym) : nullptr;
    const quint8 keycode = keycodes ? keycodes[0] : 0;
    free(keycodes);
    if (symbols)
        xcb_key_symbols_free(symbols);
    if (keycode == 0) {
        WriteLog(QStringLiteral("Boss key: the keyboard has no key for keysym 0x%1").arg(keysym, 0, 16));
        return false;
    }
    quint16 state = 0;
    if (shift)
        state |= XCB_MOD_MASK_SHIFT;
    if (ctrl)
        state |= XCB_MOD_MASK_CONTROL;
    if (alt)
        state |= XCB_MOD_MASK_1;
    const xcb_window_t root = QX11Info::appRootWindow();
    bool failed = false;
    QVector<TGrab> grabbed;
    for (const quint16 lock : kLockMasks) {
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(connection, 1, root, state | lock, keycode,
                                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            free(error);
            failed = true;
            break;
        }
        grabbed.append({keycode, quint16(state | lock)});
    }
    m_grabbed = grabbed;
    if (failed) {
        WriteLog(QStringLiteral("Boss key: the key is held by another program"));
        Unregister();
        return false;
    }
    m_keycode = keycode;
    m_state = state;
    m_virtualKey = virtualKey;
    m_modifiers = ShiftToHotKeyModifiers(shift, alt, ctrl);
    return true;
}

void TBossKey::Unregister() {
    if (!m_grabbed.isEmpty() && Available()) {
        xcb_connection_t* connection = QX11Info::connection();
        const xcb_window_t root = QX11Info::appRootWindow();
        for (const TGrab& grab : qAsConst(m_grabbed))
            xcb_ungrab_key(connection, grab.Keycode, root, grab.State);
        xcb_flush(connection);
    }
    m_grabbed.clear();
    m_keycode = 0;
    m_state = 0;
    m_virtualKey = 0;
    m_modifiers = 0;
}

bool TBossKey::nativeEventFilter(const QByteArray& eventType, void* message, long* result) {
    Q_UNUSED(result);
    if (m_keycode == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    const quint16 relevant = press->state & ~kIgnoredMasks & 0xFF;
    if (press->detail != m_keycode || relevant != m_state)
        return false;
    emit activated();
    return true;
}
