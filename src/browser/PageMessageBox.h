// Message boxes a web page causes (alert, confirm, prompt, the close question), with a guard that
// lets the user silence a page that shows them in an endless row, and seams that let tests answer
// them.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Extra flag of PageMsgBox: the box offers the check box "禁止此页再显示对话框".
constexpr int MB_OFFERSILENCE = 0x100000;
// Or-ed into PageMsgBox's answer when the user ticked that check box.
constexpr int IDSILENCE = 0x10000;

// Shows a prepared box and returns once it is answered (see MsgBox).
using TBoxRun = std::function<void(QDialog* box)>;

// MsgBox (with the check box when the flags offer it), or the function set by SetPageMsgBoxFunction.
// run, when given, shows the box instead of a modal exec.
int PageMsgBox(const QString& text, int flags, const TBoxRun& run = nullptr);
// nullptr restores MsgBox.
void SetPageMsgBoxFunction(std::function<int(const QString& text, int flags)> function);

// A prompt box with an input field holding *value; answers IDOK or IDCANCEL (or-ed with IDSILENCE as
// above) and leaves the typed text in *value. Without a prompt function set, a message box function
// set by SetPageMsgBoxFunction answers it and *value keeps the proposed text.
int PagePromptBox(const QString& text, int flags, QString* value, const TBoxRun& run = nullptr);
// nullptr restores the prompt box.
void SetPagePromptFunction(std::function<int(const QString& text, int flags, QString* value)> function);

// One per page. From the second box of a row (a box shown soon after the previous one was
// dismissed) the box offers to silence the page; a page whose user ticked that gets no more boxes
// until it navigates again (its dialogs then answer as cancelled). A page can never lock the user
// out, and a user clicking through a few boxes still sees every one of them.
// With a view set, the boxes block only that view's tab (TTabModalBox).
class TPageDialogGuard final {
public:
    TPageDialogGuard() = default;
    ~TPageDialogGuard();
    TPageDialogGuard(const TPageDialogGuard&) = delete;
    TPageDialogGuard& operator=(const TPageDialogGuard&) = delete;

    // The page's widget, blocked while one of its boxes is up.
    void SetView(QWidget* view);

    // A box shown this soon after the previous one was dismissed continues a row.
    static constexpr qint64 RowIntervalMs = 1000;

    // The page's JavaScript dialogs: alert shows the message; confirm answers true exactly when OK
    // was chosen; prompt answers true with the typed text in *result when OK was chosen.
    void Alert(const QString& message);
    bool Confirm(const QString& message);
    bool Prompt(const QString& message, const QString& defaultValue, QString* result);

    // True while one of the page's boxes is open: the page must not be deleted meanwhile.
    bool Showing() const { return m_showing > 0; }
    // The page navigated: it may show boxes again (unless ended).
    void Reset();
    bool Silenced() const { return m_silenced; }
    // The page's tab or window is closing: its open boxes end as cancelled, and it shows no more.
    void End();

    // Every page's open boxes end (the window is closing). OpenCount: the pages whose box has not
    // returned yet; the window waits until it is 0 before its pages are deleted.
    static void EndAll();
    static int OpenCount();

private:
    // Shows one box through `show` (given the flags to use) unless the page is silenced; the
    // answer without the silence bit, or IDCANCEL when nothing was shown.
    int Show(int flags, const std::function<int(int flags, const TBoxRun& run)>& show);

    QElapsedTimer m_sinceDismissed;
    QPointer<QWidget> m_view;
    QList<QPointer<QDialog>> m_boxes;
    int m_showing = 0;
    bool m_silenced = false;
    bool m_ended = false;
};
