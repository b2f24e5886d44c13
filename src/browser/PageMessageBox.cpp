// Message boxes caused by web pages, their test seams and the guard against boxes in an endless row.
#include "browser/PageMessageBox.h"

#include "common/Dialogs.h"
#include "common/Logging.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
std::function<int(const QString&, int)>& MsgBoxFunction() {
    static std::function<int(const QString&, int)> function;
    return function;
}

std::function<int(const QString&, int, QString*)>& PromptFunction() {
    static std::function<int(const QString&, int, QString*)> function;
    return function;
}

QString SilenceText() {
    return QObject::tr("禁止此页再显示对话框");
}

// The prompt box: the page's text, an input field and OK / Cancel, captioned like every box.
int ShowPromptBox(const QString& text, int flags, QString* value) {
    QDialog box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("Quellon"));
    auto* layout = new QVBoxLayout(&box);
    auto* label = new QLabel(&box);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* edit = new QLineEdit(*value, &box);
    edit->setObjectName(QStringLiteral("EditPrompt"));
    edit->selectAll();
    layout->addWidget(edit);
    QCheckBox* silence = nullptr;
    if (flags & MB_OFFERSILENCE) {
        silence = new QCheckBox(SilenceText(), &box);
        layout->addWidget(silence);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    edit->setFocus();
    const bool ok = box.exec() == QDialog::Accepted;
    if (ok)
        *value = edit->text();
    return (ok ? IDOK : IDCANCEL) | (silence && silence->isChecked() ? IDSILENCE : 0);
}
} // namespace

int PageMsgBox(const QString& text, int flags) {
    if (const auto& function = MsgBoxFunction())
        return function(text, flags);
    if (!(flags & MB_OFFERSILENCE))
        return MsgBox(text, flags);
    bool silence = false;
    const int answer = MsgBox(text, flags & ~MB_OFFERSILENCE, SilenceText(), &silence);
    return answer | (silence ? IDSILENCE : 0);
}

void SetPageMsgBoxFunction(std::function<int(const QString&, int)> function) {
    MsgBoxFunction() = std::move(function);
}

int PagePromptBox(const QString& text, int flags, QString* value) {
    if (const auto& function = PromptFunction())
        return function(text, flags, value);
    if (MsgBoxFunction())
        return MsgBoxFunction()(text, flags);
    return ShowPromptBox(text, flags, value);
}

void SetPagePromptFunction(std::function<int(const QString&, int, QString*)> function) {
    PromptFunction() = std::move(function);
}

int TPageDialogGuard::Show(int flags, const std::function<int(int)>& show) {
    if (m_silenced)
        return IDCANCEL;
    const bool inRow = m_sinceDismissed.isValid() && m_sinceDismissed.elapsed() < RowIntervalMs;
    if (inRow)
        flags |= MB_OFFERSILENCE;
    ++m_showing;
    const int answer = show(flags);
    --m_showing;
    m_sinceDismissed.start();
    if (inRow && (answer & IDSILENCE)) {
        m_silenced = true;
        WriteLog(QStringLiteral("the user silenced a page's message boxes until it navigates"));
    }
    return answer & ~IDSILENCE;
}

void TPageDialogGuard::Alert(const QString& message) {
    Show(MB_ICONINFORMATION, [&](int flags) { return PageMsgBox(message, flags); });
}

bool TPageDialogGuard::Confirm(const QString& message) {
    return Show(MB_OKCANCEL | MB_ICONQUESTION, [&](int flags) { return PageMsgBox(message, flags); }) == IDOK;
}

bool TPageDialogGuard::Prompt(const QString& message, const QString& defaultValue, QString* result) {
    QString value = defaultValue;
    const int answer =
        Show(MB_OKCANCEL | MB_ICONQUESTION, [&](int flags) { return PagePromptBox(message, flags, &value); });
    if (answer != IDOK)
        return false;
    *result = value;
    return true;
}

void TPageDialogGuard::Reset() {
    m_silenced = false;
    m_sinceDismissed.invalidate();
}
