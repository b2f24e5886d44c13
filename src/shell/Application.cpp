// Application object: exception logging around event dispatch and a clean close on SIGTERM/SIGINT.
#include "shell/Application.h"

#include "common/CommonFunc.h"
#include "shell/QuitSignals.h"

#include <exception>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplication::QuitOnTerminationSignals() {
    if (m_quitSignals == nullptr) {
        m_quitSignals = new TQuitSignals(this);
        connect(m_quitSignals, &TQuitSignals::Received, this, &TApplication::CloseAndQuit);
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        WriteLog(QStringLiteral("Exception: ") + QString::fromUtf8(error.what()));
    } catch (...) {
        WriteLog(QStringLiteral("Exception: unknown error"));
    }
    return false;
}

void TApplication::CloseAndQuit(int signalNumber) {
    WriteLog(QStringLiteral("Signal %1 received: closing").arg(signalNumber));
    // Closing the windows first runs their close handling (the main window stores the open pages);
    // quit() then ends the loop even when a window stays open.
    closeAllWindows();
    quit();
}
