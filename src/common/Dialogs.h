// Helpers that need widgets: message boxes, the folder picker, the OK/Cancel row, window lookup.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class QWidget;

// Windows button ids returned by MsgBox.
enum TMsgBoxResult : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };
// Windows flag values accepted by MsgBox (buttons in the low nibble, icon in the next).
enum TMsgBoxFlags : int {
    MB_OK = 0, MB_OKCANCEL = 1, MB_ABORTRETRYIGNORE = 2, MB_YESNOCANCEL = 3, MB_YESNO = 4, MB_RETRYCANCEL = 5,
    MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40
};

// A modal message box captioned "Quellon"; answers the id of the pressed button.
int MsgBox(const QString& text, int flags = MB_OK);
// The same with a check box under the text; *checked tells whether the user ticked it. With run
// given, run shows the prepared box and returns once it is answered (instead of a modal exec).
int MsgBox(const QString& text, int flags, const QString& checkText, bool* checked,
           const std::function<void(QDialog*)>& run = nullptr);
// A dialog's closing row: "确定" (bsSkinButtonOK, the default button) and "取消"
// (bsSkinButtonCancel) at its right end, wired to the dialog's accept and reject.
QHBoxLayout* OkCancelRow(QDialog* dialog);
// Folder picker titled "请选择目录..."; the answer ends in "/", empty when cancelled.
QString SelectFolder(QWidget* owner, const QString& initialFolder);
// Kept though nothing calls it: the public helper set includes it.
// The program's own widget for a native window id, or nullptr for foreign windows.
QWidget* ControlOfWindow(quintptr windowId);
