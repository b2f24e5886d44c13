// Application object: Qt's Chinese texts, exception logging around event dispatch and a clean close
// on SIGTERM/SIGINT.
#include "shell/Application.h"

#include "common/Logging.h"
#include "shell/QuitSignals.h"

#include <QLibraryInfo>

#include <exception>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallQtTranslation();
}

void TApplication::InstallQtTranslation() {
    // The interface is Chinese whatever the desktop's language, as the program's own texts are.
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (m_qtTranslator.load(QStringLiteral("qtbase_zh_CN"), folder)) {
        installTranslator(&m_qtTranslator);
    } else {
        WriteLog(QStringLiteral("Qt's Chinese translation not found in %1: standard buttons stay English")
                     .arg(folder));
    }
}

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
