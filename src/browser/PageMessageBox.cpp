// Message boxes caused by web pages, the test seam and the guard against boxes in an endless row.
#include "browser/PageMessageBox.h"

#include "common/CommonFunc.h"
#include "common/Dialogs.h"

namespace {
std::function<int(const QString&, int)>& MsgBoxFunction() {
    static std::function<int(const QString&, int)> function;
    return function;
}
} // namespace

int PageMsgBox(const QString& text, int flags) {
    const auto& function = MsgBoxFunction();
    return function ? function(text, flags) : MsgBox(text, flags);
}

void SetPageMsgBoxFunction(std::function<int(const QString&, int)> function) {
    MsgBoxFunction() = std::move(function);
}

bool TPageDialogGuard::MayShow() {
    if (m_silenced)
        return false;
    if (m_sinceDismissed.isValid() && m_sinceDismissed.elapsed() < QuickIntervalMs) {
        if (++m_quickCount >= MaxQuickDialogs) {
            m_silenced = true;
            WriteLog(QStringLiteral("a page opened message boxes in a row; further boxes are suppressed"));
            return false;
        }
    } else {
        m_quickCount = 0;
    }
    return true;
}

void TPageDialogGuard::Alert(const QString& message) {
    if (!MayShow())
        return;
    PageMsgBox(message, MB_ICONINFORMATION);
    Dismissed();
}

bool TPageDialogGuard::Confirm(const QString& message) {
    if (!MayShow())
        return false;
    const bool ok = PageMsgBox(message, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    Dismissed();
    return ok;
}

void TPageDialogGuard::Dismissed() {
    m_sinceDismissed.start();
}

void TPageDialogGuard::Reset() {
    m_silenced = false;
    m_quickCount = 0;
    m_sinceDismissed.invalidate();
}
