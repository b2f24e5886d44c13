// Turns SIGTERM and SIGINT into a Qt signal on the main thread, so that the program can close its
// windows and leave the event loop normally instead of dying mid-write.
#pragma once

#include <QObject>

class QSocketNotifier;

class TQuitSignals final : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time.
    explicit TQuitSignals(QObject* parent = nullptr);
    // Restores the default handlers.
    ~TQuitSignals() override;

signals:
    void Received(int signalNumber);

private:
    void ReadPipe();

    QSocketNotifier* m_notifier = nullptr;
};
