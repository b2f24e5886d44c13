// The program's application object: Qt's own texts (standard buttons, file and print dialogs) in
// Chinese, errors that reach the event loop are logged instead of ending the program, and a
// termination signal closes the windows normally.
#pragma once

#include <QApplication>
#include <QTranslator>

class TQuitSignals;

class TApplication final : public QApplication {
    Q_OBJECT
public:
    // Installs Qt's Simplified Chinese translation (qtbase_zh_CN from Qt's translations folder), so
    // message boxes read 是/否/确定/取消; without the file Qt's English texts stay.
    TApplication(int& argc, char** argv);

    // From now on SIGTERM and SIGINT close every window and leave the event loop. Call it after the
    // Chromium engine has started: the engine resets the process's signal handlers when it starts.
    void QuitOnTerminationSignals();

    // Dispatches as usual; an exception thrown by a receiver is written to the log as
    // "Exception: " + its text and the event counts as not handled.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void CloseAndQuit(int signalNumber);
    void InstallQtTranslation();

    QTranslator m_qtTranslator;

    TQuitSignals* m_quitSignals = nullptr;
};
