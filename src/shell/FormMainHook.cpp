// The application-wide key and mouse hook: every input event of the program passes here first and
// the rows below turn keys and gestures into commands. Nothing acts while the window is closing;
// TConfigKey::DisableShortcuts ("禁用所有快捷键") switches the key rows off. Ctrl+Tab and the
// browser's own letter commands (Alt+D, Alt+T, Ctrl+B/D/F/H/M), the zoom keys and Ctrl+wheel are consumed, so a page never types or acts on them;
// every other key also reaches its window. Commands that open a modal window run once the key
// event is over, never inside the hook.
#include "shell/FormMain.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumFieldFocus.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/Messages.h"
#include "common/VirtualKey.h"
#include "navigation/AddressBar.h"
#include "navigation/AddressEdit.h"
#include "navigation/SuggestionList.h"
#include "shell/FormMainUi.h"
#include "storage/Config.h"
#include "tools/FormTranslate.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

bool TFormMain::SeenBefore(QWidget* target, const QEvent* event) {
    // An input event that a widget ignores travels on to its parents and passes the application's
    // filter once more for each of them: act on it at its first receiver only.
    const ulong timestamp = static_cast<const QInputEvent*>(event)->timestamp();
    const bool propagated = event == m_lastHookEvent && int(event->type()) == m_lastHookType &&
                            timestamp == m_lastHookTimestamp && m_lastHookTarget &&
                            target != m_lastHookTarget && target->isAncestorOf(m_lastHookTarget);
    m_lastHookEvent = event;
    m_lastHookType = event->type();
    m_lastHookTimestamp = timestamp;
    m_lastHookTarget = target;
    return propagated;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    if (Closing || !m_config || !m_tabs)
        return QWidget::eventFilter(watched, event);
    // TConfigKey::DisableShortcuts switches the keyboard rows off; moving and resizing the
    // frameless window by its borders stays possible.
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (keyEvent && m_config->DisableShortcuts)
        return QWidget::eventFilter(watched, event);
    // Only input aimed at this window (or its own popups) is for the hook.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || (target->window() != this && target->window()->parentWidget() != this))
        return QWidget::eventFilter(watched, event);
    // A key acts only as the window system delivered it. Keys a Chromium page did not use come
    // back from the engine as new events sent to the view's parent, and the page scroll below
    // posts keys of its own: neither is spontaneous, and acting on them would run a command twice
    // (or post the scroll again without end).
    if (keyEvent && !event->spontaneous())
        return false;
    if (SeenBefore(target, event))
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return HookKeyPress(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        return HookKeyRelease(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
        return HookMousePress(watched, static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        HookMouseMove(static_cast<QMouseEvent*>(event));
        return false;
    case QEvent::Wheel:
        return HookWheel(static_cast<QWheelEvent*>(event));
    default:
        return false;
    }
}

bool TFormMain::HookKeyPress(QKeyEvent* event) {
    const int key = VirtualKeyOfQtKey(event->key(), event->modifiers());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    TTabController& tabs = *m_tabs;

    if (alt && !ctrl) {
        switch (key) {
        case VK_HOME:
            OpenInNewTab(m_config->HomePage, 0);
            return false;
        case VK_LEFT:
            tabs.GoBack();
            return false;
        case VK_RIGHT:
            tabs.GoForward();
            return false;
        case 'D':
            // Consumed: the letter would otherwise be typed into the page or over the address.
            m_addressBar->FocusAndSelect();
            return true;
        case 'T':
            if (!event->isAutoRepeat())
                AfterKey([this] { ShowTranslator(m_ui->ToolButtons.value(4)); });
            return true;
        default:
            return false;
        }
    }
    if (key == VK_F5) {
        tabs.Refresh();
        return false;
    }
    if (ctrl) {
        switch (key) {
        case 'R':
            tabs.Refresh();
            return false;
        case 'T':
            if (event->isAutoRepeat())
                return false;
            if (shift)
                ReopenClosedTab();
            else
                tabs.NewTab();
            return false;
        case 'W':
            if (!event->isAutoRepeat())
                tabs.CloseCurrentTab();
            return false;
        case 'N':
            if (!event->isAutoRepeat())
                tabs.NewWindow();
            return false;
        case VK_TAB:
            if (shift)
                tabs.PreviousTab();
            else
                tabs.NextTab();
            return true;
        case 'H':
            if (!event->isAutoRepeat())
                AfterKey([this] { NViewHistoryClick(); });
            return true;
        case 'B':
            if (!event->isAutoRepeat())
                ToggleFavoritesBar();
            return true;
        case 'D':
            if (!event->isAutoRepeat())
                AfterKey([this] { AddCurrentPageToFavorites(); });
            return true;
        case 'M':
            if (!event->isAutoRepeat())
                AfterKey([this] { ManageFavorites(); });
            return true;
        case 'F':
            if (!event->isAutoRepeat())
                AfterKey([this] { NFindClick(); });
            return true;
        case VK_OEM_PLUS:
            ZoomIn();
            return true;
        case VK_OEM_MINUS:
            ZoomOut();
            return true;
        case '0':
            ZoomReset();
            return true;
        default:
            break;
        }
    }
    // In a text field Shift+Delete deletes text: the cleaner opens only when no field has the keys.
    if (key == VK_DELETE && shift && !alt && !event->isAutoRepeat() && !TextFieldHasFocus()) {
        OpenCleanerUnlessPageFieldFocused();
        return false;
    }
    if (key == VK_UP || key == VK_DOWN)
        ScrollOrFocusPage(*event);
    return false;
}

bool TFormMain::TextFieldHasFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus))
        return true;
    // Both engines switch input methods on for the widget that shows a page while an editable
    // element of the page has the focus, and off again when it leaves.
    return focus->testAttribute(Qt::WA_InputMethodEnabled) || focus->inputMethodQuery(Qt::ImEnabled).toBool();
}

void TFormMain::OpenCleanerUnlessPageFieldFocused() {
    QPointer<TFormMain> self(this);
    const bool asked = AskChromiumFieldFocus(QApplication::focusWidget(), [self](bool field) {
        if (self && !self->Closing && !field)
            self->NDeleteCacheClick();
    });
    if (!asked)
        AfterKey([this] { NDeleteCacheClick(); });
}

void TFormMain::ScrollOrFocusPage(const QKeyEvent& key) {
    TBrowserTab* tab = m_tabs->CurrentTab();
    TPageView* view = tab ? tab->View() : nullptr;
    QWidget* focus = QApplication::focusWidget();
    // The address bar's Up and Down walk its suggestions: the keyboard stays there.
    if (!view || !focus || focus == m_ui->EditUrl)
        return;
    QWidget* page = view->Widget();
    if (page == focus || page->isAncestorOf(focus))
        return;
    if (tab->Kernel == kWebControl) {
        page->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The Chromium page scrolls by one line although the keyboard is elsewhere (search box,
    // restore bar). The posted keys carry the pressed key's time (the engine drops keys without
    // one); they are not spontaneous, so the hook lets them pass.
    QWidget* receiver = page->focusProxy() ? page->focusProxy() : page;
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        auto* scroll = new QKeyEvent(type, key.key(), Qt::NoModifier);
        scroll->setTimestamp(key.timestamp());
        QCoreApplication::postEvent(receiver, scroll);
    }
}

bool TFormMain::HookKeyRelease(QKeyEvent* event) {
    if (event->isAutoRepeat())
        return false;
    const int key = VirtualKeyOfQtKey(event->key(), event->modifiers());
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (key) {
    case VK_ESCAPE:
        if (m_fullScreen)
            LeaveFullScreen();
        m_tabs->StopLoading();
        m_addressBar->HideSuggestions();
        QCoreApplication::postEvent(this, new TMessageEvent(WM_FIND_CLOSED));
        return false;
    case VK_F11:
        ToggleFullScreen();
        return false;
    case VK_F3:
        RepeatFind(!event->modifiers().testFlag(Qt::ShiftModifier));
        return false;
    case VK_F12:
        NDevelopToolClick();
        return false;
    default:
        break;
    }
    if (ctrl && key >= '1' && key <= '9')
        m_tabs->ActivateTabNumber(key - '0');
    return false;
}

bool TFormMain::HookMousePress(QObject* watched, QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return false;
    auto* target = static_cast<QWidget*>(watched);
    // A press anywhere closes the suggestion list (unless it is the list itself) and the skin panel.
    if (target != m_ui->bsSkinListBoxHistory && !m_ui->bsSkinListBoxHistory->isAncestorOf(target))
        m_addressBar->HideSuggestions();
    if (target != m_ui->bsSkinPanelChangeSkin && !m_ui->bsSkinPanelChangeSkin->isAncestorOf(target) &&
        target != m_ui->bsSkinSpeedButtonChangeSkin)
        m_ui->bsSkinPanelChangeSkin->hide();
    if (target->window() != this)
        return false;
    const QPoint pos = mapFromGlobal(event->globalPos());
    const int zone = BorderZone(pos);
    if (zone != 0)
        return StartSystemMoveOrResize(zone);
    if (IsCaptionPress(target, pos) && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return false;
}

void TFormMain::HookMouseMove(QMouseEvent* event) {
    UpdateBorderCursor(BorderZone(mapFromGlobal(event->globalPos())));
}

void TFormMain::AfterKey(std::function<void()> command) {
    // A modal window opened inside the hook would run its own loop under the key event.
    QTimer::singleShot(0, this, [this, command = std::move(command)] {
        if (!Closing)
            command();
    });
}

bool TFormMain::HookWheel(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0 && event->modifiers().testFlag(Qt::ControlModifier)) {
        // Away from the user zooms in.
        if (notches > 0)
            ZoomIn();
        else
            ZoomOut();
        return true;
    }
    if (notches != 0 && OptionsPageWheel(notches))
        return true;
    TBrowserTab* tab = m_tabs->CurrentTab();
    if (tab && tab->Kernel == kWebControl && tab->View()) {
        QWidget* page = tab->View()->Widget();
        if (!page->hasFocus())
            page->setFocus();
    }
    return false;
}
