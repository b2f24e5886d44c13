// Hiding and showing the program's other windows for the boss key.
#include "shell/HiddenWindows.h"

#include <QApplication>
#include <QX11Info>

#include <xcb/xcb.h>

namespace {

bool CanUnmap(const QWidget* window) {
    return QX11Info::isPlatformX11() && QX11Info::connection() && window->testAttribute(Qt::WA_WState_Created);
}

} // namespace

void THiddenWindows::HideAllBut(const QWidget* keep) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == keep || !window->isVisible())
            continue;
        const Qt::WindowType type = window->windowType();
        // Menus, tool tips and the like close by themselves once their owner is gone.
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen || type == Qt::Desktop)
            continue;
        if (CanUnmap(window)) {
            xcb_unmap_window(QX11Info::connection(), xcb_window_t(window->winId()));
            m_hidden.append({window, true});
        } else if (!window->isModal()) {
            window->hide();
            m_hidden.append({window, false});
        }
    }
    if (QX11Info::isPlatformX11() && QX11Info::connection())
        xcb_flush(QX11Info::connection());
}

void THiddenWindows::Restore() {
    const QList<TEntry> hidden = m_hidden;
    m_hidden.clear();
    for (const TEntry& entry : hidden) {
        QWidget* window = entry.Window;
        if (!window)
            continue;
        if (!entry.Native) {
            window->show();
        } else if (window->isVisible() && CanUnmap(window)) {
            // Closed in the meantime through Qt, it stays closed.
            xcb_map_window(QX11Info::connection(), xcb_window_t(window->winId()));
        }
    }
    if (QX11Info::isPlatformX11() && QX11Info::connection())
        xcb_flush(QX11Info::connection());
}
