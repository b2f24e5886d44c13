// The Internet Options host.
#include "services/FormInternetOption.h"

#include "common/Dialogs.h"
#include "common/Logging.h"
#include "services/X11Windows.h"

#include <QProcess>
#include <QTimer>
#include <QWindow>

namespace {
constexpr int kSearchIntervalMs = 100;
}

TFormInternetOption::TFormInternetOption(const TNetworkSettingsProgram& program, QWidget* parent)
    : QDialog(parent), m_program(program), m_message([](const QString& text) { MsgBox(text, MB_ICONINFORMATION); }) {
    setObjectName(QStringLiteral("FormInternetOption"));
    // The trailing blank keeps the host itself out of the search for the program's window.
    setWindowTitle(tr("Internet 属性 "));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setFixedSize(409, 466);
    TimerSearchInternetOption = new QTimer(this);
    TimerSearchInternetOption->setInterval(kSearchIntervalMs);
    connect(TimerSearchInternetOption, &QTimer::timeout, this, &TFormInternetOption::TimerSearchInternetOptionTimer);
    TimerSearchInternetOptionClose = new QTimer(this);
    TimerSearchInternetOptionClose->setInterval(kSearchIntervalMs);
    connect(TimerSearchInternetOptionClose, &QTimer::timeout, this,
            &TFormInternetOption::TimerSearchInternetOptionCloseTimer);
}

TFormInternetOption::~TFormInternetOption() {
    if (m_hosted && X11WindowExists(m_hosted)) {
        // Back to the desktop first, so that the program's window outlives the host's.
        if (m_hostedWindow)
            m_hostedWindow->setParent(nullptr);
        X11RequestClose(m_hosted);
    }
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(1000))
            m_process->kill();
    }
}

QString TFormInternetOption::NoProgramText() {
    return tr("没有可用的网络设置程序（Internet 选项）。\n请安装桌面的网络设置程序，例如 nm-connection-editor。");
}

void TFormInternetOption::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // After the window is on screen: the message box then stands over it.
        QMetaObject::invokeMethod(this, &TFormInternetOption::FormShow, Qt::QueuedConnection);
    }
}

void TFormInternetOption::FormShow() {
    if (!m_program.Available()) {
        m_message(NoProgramText());
        close();
        return;
    }
    WriteLog(QStringLiteral("Network settings: %1 %2").arg(m_program.Program, m_program.Arguments.join(' ')));
    if (!X11WindowsAvailable()) {
        // Without X11 no window can be taken in: the program shows its own.
        if (!QProcess::startDetached(m_program.Program, m_program.Arguments))
            m_message(NoProgramText());
        close();
        return;
    }
    m_process = new QProcess(this);
    m_process->setProgram(m_program.Program);
    m_process->setArguments(m_program.Arguments);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        TimerSearchInternetOption->stop();
        m_message(NoProgramText());
        close();
    });
    m_process->start();
    TimerSearchInternetOption->start();
}

void TFormInternetOption::TimerSearchInternetOptionTimer() {
    const quint32 found = FindX11Window(m_program.Titles);
    if (!found)
        return;
    TimerSearchInternetOption->stop();
    m_hosted = found;
    const QSize size = X11WindowSize(found);
    m_hostedWindow = QWindow::fromWinId(found);
    QWidget* container = QWidget::createWindowContainer(m_hostedWindow, this);
    container->setObjectName(QStringLiteral("HostedInternetOption"));
    container->setGeometry(QRect(QPoint(0, 0), size.isValid() ? size : this->size()));
    container->show();
    TimerSearchInternetOptionClose->start();
}

void TFormInternetOption::TimerSearchInternetOptionCloseTimer() {
    if (X11WindowExists(m_hosted))
        return;
    TimerSearchInternetOptionClose->stop();
    m_hosted = 0;
    close();
}
