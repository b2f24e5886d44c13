// Message boxes caused by web pages, their test seams and the guard against boxes in an endless row.
#include "browser/PageMessageBox.h"

#include "browser/TabModalBox.h"
#include "common/Dialogs.h"
#include "common/Logging.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

namespace {
std::function<int(const QString&, int)>& MsgBoxFunction() {
    static std::function<int(const QString&, int)> function;
    return function;
}

std::function<int(const QString&, int, QString*)>& PromptFunction() {
    static std::function<int(const QString&, int, QString*)> function;
    return function;
}

// The guards with a box open, across all pages.
QList<TPageDialogGuard*>& OpenGuards() {
    static QList<TPageDialogGuard*> guards;
    return guards;
}

QString SilenceText() {
    return QObject::tr("禁止此页再显示对话框");
}

// The prompt box: the page's text, an input field and OK / Cancel, captioned like every box.
int ShowPromptBox(const QString& text, int flags, QString* value, const TBoxRun& run) {
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
    if (run)
        run(&box);
    else
        box.exec();
    const bool ok = box.result() == QDialog::Accepted;
    if (ok)
        *value = edit->text();
    return (ok ? IDOK : IDCANCEL) | (silence && silence->isChecked() ? IDSILENCE : 0);
}
} // namespace

int PageMsgBox(const QString& text, int flags, const TBoxRun& run) {
    if (const auto& function = MsgBoxFunction())
        return function(text, flags);
    if (!(flags & MB_OFFERSILENCE))
        return MsgBox(text, flags, QString(), nullptr, run);
    bool silence = false;
    const int answer = MsgBox(text, flags & ~MB_OFFERSILENCE, SilenceText(), &silence, run);
    return answer | (silence ? IDSILENCE : 0);
}

void SetPageMsgBoxFunction(std::function<int(const QString&, int)> function) {
    MsgBoxFunction() = std::move(function);
}

int PagePromptBox(const QString& text, int flags, QString* value, const TBoxRun& run) {
    if (const auto& function = PromptFunction())
        return function(text, flags, value);
    if (MsgBoxFunction())
        return MsgBoxFunction()(text, flags);
    return ShowPromptBox(text, flags, value, run);
}

void SetPagePromptFunction(std::function<int(const QString&, int, QString*)> function) {
    PromptFunction() = std::move(function);
}

TPageDialogGuard::~TPageDialogGuard() {
    OpenGuards().removeAll(this);
}

int TPageDialogGuard::Show(int flags, const std::function<int(int, const TBoxRun&)>& show) {
    if (m_silenced || m_ended)
        return IDCANCEL;
    const bool inRow = m_sinceDismissed.isValid() && m_sinceDismissed.elapsed() < RowIntervalMs;
    if (inRow)
        flags |= MB_OFFERSILENCE;
    // The view is blocked, not the window; a box ended meanwhile answers as cancelled.
    const TBoxRun run = [this](QDialog* box) {
        m_boxes.append(box);
        TTabModalBox(m_view).Run(box);
        m_boxes.removeAll(box);
    };
    if (m_showing++ == 0)
        OpenGuards().append(this);
    const int answer = show(flags, m_view ? run : TBoxRun());
    if (--m_showing == 0)
        OpenGuards().removeAll(this);
    m_sinceDismissed.start();
    if (inRow && (answer & IDSILENCE)) {
        m_silenced = true;
        WriteLog(QStringLiteral("the user silenced a page's message boxes until it navigates"));
    }
    return answer & ~IDSILENCE;
}

void TPageDialogGuard::Alert(const QString& message) {
    Show(MB_ICONINFORMATION, [&](int flags, const TBoxRun& run) { return PageMsgBox(message, flags, run); });
}

bool TPageDialogGuard::Confirm(const QString& message) {
    return Show(MB_OKCANCEL | MB_ICONQUESTION,
                [&](int flags, const TBoxRun& run) { return PageMsgBox(message, flags, run); }) == IDOK;
}

bool TPageDialogGuard::Prompt(const QString& message, const QString& defaultValue, QString* result) {
    QString value = defaultValue;
    const int answer =
        Show(MB_OKCANCEL | MB_ICONQUESTION,
             [&](int flags, const TBoxRun& run) { return PagePromptBox(message, flags, &value, run); });
    if (answer != IDOK)
        return false;
    *result = value;
    return true;
}

void TPageDialogGuard::Reset() {
    m_silenced = false;
    m_sinceDismissed.invalidate();
}

void TPageDialogGuard::End() {
    m_ended = true;
    for (const QPointer<QDialog>& box : qAsConst(m_boxes)) {
        if (box)
            box->reject();
    }
}

void TPageDialogGuard::EndAll() {
    const QList<TPageDialogGuard*> guards = OpenGuards();
    for (TPageDialogGuard* guard : guards)
        guard->End();
}

int TPageDialogGuard::OpenCount() {
    return OpenGuards().size();
}

void TPageDialogGuard::SetView(QWidget* view) {
    m_view = view;
}
