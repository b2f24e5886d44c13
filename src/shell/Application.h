// The program's application object: errors that reach the event loop are logged instead of ending
// the program, and a termination signal closes the windows normally.
#pragma once

#include <QApplication>

class TQuitSignals;

class TApplication final : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    // From now on SIGTERM and SIGINT close every window and leave the event loop. Call it after the
    // Chromium engine has started: the engine resets the process's signal handlers when it starts.
    void QuitOnTerminationSignals();

    // Dispatches as usual; an exception thrown by a receiver is written to the log as
    // "Exception: " + its text and the event counts as not handled.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void CloseAndQuit(int signalNumber);

    TQuitSignals* m_quitSignals = nullptr;
};
