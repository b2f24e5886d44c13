// Helpers that need widgets: message boxes, the folder picker, the OK/Cancel row, window lookup.
#include "common/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QWidget>

namespace {
using TButton = QPair<QMessageBox::StandardButton, int>;

// The buttons of a flags value's low nibble, in their order on the box, with their answers.
QList<TButton> ButtonsOf(int flags) {
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {
            {QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(int flags) {
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}
} // namespace

int MsgBox(const QString& text, int flags) {
    return MsgBox(text, flags, QString(), nullptr);
}

int MsgBox(const QString& text, int flags, const QString& checkText, bool* checked,
           const std::function<void(QDialog*)>& run) {
    // Plain prompts get the information icon; plain questions get the question icon.
    if (flags == 0)
        flags = MB_ICONINFORMATION;
    else if (flags >= 1 && flags <= 5)
        flags |= MB_ICONQUESTION;

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Quellon"));
    box.setTextFormat(Qt::PlainText); // page titles and addresses may hold markup characters
    box.setText(text);
    box.setIcon(IconOf(flags));
    const QList<TButton> buttons = ButtonsOf(flags);
    for (const TButton& button : buttons)
        box.addButton(button.first);
    // The default button: the first, or the second/third with MB_DEFBUTTON2 (0x100) / 3 (0x200).
    const int defaultIndex = qMin((flags >> 8) & 0x3, buttons.size() - 1);
    box.setDefaultButton(buttons.at(defaultIndex).first);
    if (checked) {
        box.setCheckBox(new QCheckBox(checkText, &box));
    }
    if (run)
        run(&box);
    else
        box.exec();
    if (checked)
        *checked = box.checkBox()->isChecked();
    QAbstractButton* const clicked = box.clickedButton();
    for (const TButton& button : buttons) {
        if (clicked && box.standardButton(clicked) == button.first)
            return button.second;
    }
    // Closed without a button: Cancel when the box offers it, else No, else its only button.
    for (const int answer : {IDCANCEL, IDNO}) {
        for (const TButton& button : buttons) {
            if (button.second == answer)
                return answer;
        }
    }
    return buttons.size() == 1 ? buttons.first().second : IDCANCEL;
}

QHBoxLayout* OkCancelRow(QDialog* dialog) {
    auto* ok = new QPushButton(QObject::tr("确定"), dialog);
    ok->setObjectName(QStringLiteral("bsSkinButtonOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QObject::tr("取消"), dialog);
    cancel->setObjectName(QStringLiteral("bsSkinButtonCancel"));
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QString SelectFolder(QWidget* owner, const QString& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(owner, QObject::tr("请选择目录..."),
                                                             initialFolder, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return QString();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QWidget* ControlOfWindow(quintptr windowId) {
    return windowId ? QWidget::find(static_cast<WId>(windowId)) : nullptr;
}
