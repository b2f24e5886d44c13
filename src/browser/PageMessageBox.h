// Message boxes a web page causes (alert, confirm, prompt, the close question), with a guard that
// stops a page from showing them in an endless row, and a seam that lets tests answer them.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

// MsgBox, or the function set by SetPageMsgBoxFunction.
int PageMsgBox(const QString& text, int flags);
// nullptr restores MsgBox.
void SetPageMsgBoxFunction(std::function<int(const QString& text, int flags)> function);

// One per page: a page that opens a new box almost at once after the user dismissed the previous
// one, several times in a row, gets no more boxes until it navigates again (its dialogs then
// answer as cancelled), so a script looping on alert() or confirm() cannot lock the window.
class TPageDialogGuard final {
public:
    // How many boxes in quick succession are still shown, and what "quick" is.
    static constexpr int MaxQuickDialogs = 3;
    static constexpr qint64 QuickIntervalMs = 1000;

    // The page's JavaScript dialogs: alert shows the message; confirm answers true exactly when
    // OK was chosen; prompt shows the message and gives no input (it counts as cancelled).
    void Alert(const QString& message);
    bool Confirm(const QString& message);
    void Prompt(const QString& message) { Alert(message); }

    // True when the page may show a box now; false when the page is silenced.
    bool MayShow();
    // Called when the box was dismissed.
    void Dismissed();
    // The page navigated: it may show boxes again.
    void Reset();
    bool Silenced() const { return m_silenced; }

private:
    QElapsedTimer m_sinceDismissed;
    int m_quickCount = 0;
    bool m_silenced = false;
};
