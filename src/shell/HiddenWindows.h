// The windows the boss key hides: every window of the program that is on screen (dialogs, tool
// windows, managers) goes with the main window and comes back as it was.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class THiddenWindows final {
public:
    // Hides every visible top-level window but the one given (the caller hides that one itself)
    // and remembers them. On X11 the windows are unmapped behind Qt's back, so that a modal dialog
    // keeps running its loop (a Qt hide would end it with "cancel"); elsewhere a modal dialog stays.
    void HideAllBut(const QWidget* keep);
    // Brings back the remembered windows that still exist, in the order they were hidden.
    void Restore();
    bool Empty() const { return m_hidden.isEmpty(); }

private:
    struct TEntry {
        QPointer<QWidget> Window;
        bool Native = false; // unmapped on X11 rather than hidden through Qt
    };
    QList<TEntry> m_hidden;
};
