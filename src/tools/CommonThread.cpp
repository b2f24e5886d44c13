// A worker thread that runs one bound function a given number of times (see CommonThread.h).
#include "tools/CommonThread.h"

#include "common/Logging.h"

#include <QCoreApplication>
#include <exception>

TCommonThread::TCommonThread() {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TCommonThread::StopThread() {
    requestInterruption();
    Running = false;
}

void TCommonThread::RunOnce(const std::function<void()>& callback) {
    // A worker's error must not end the process: it is logged and the loop goes on.
    try {
        callback();
    } catch (const std::exception& error) {
        WriteLog(QStringLiteral("Exception: ") + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        WriteLog(QStringLiteral("Exception: unknown error in a worker thread"));
    }
}

void TCommonThread::Execute() {
    if (!OnExecute)
        return;
    QCoreApplication* const application = QCoreApplication::instance();
    if (Synchronized && application && application->thread() != QThread::currentThread()) {
        QMetaObject::invokeMethod(
            application, [this] { RunOnce(OnExecute); }, Qt::BlockingQueuedConnection);
        return;
    }
    RunOnce(OnExecute);
}

void TCommonThread::SleepInterval() {
    // In short steps, so that a stop request does not wait for a long interval to pass.
    const int step = 20;
    for (int left = Interval; left > 0 && !isInterruptionRequested(); left -= step)
        msleep(static_cast<unsigned long>(qMin(left, step)));
}

void TCommonThread::run() {
    setPriority(QThread::LowestPriority);
    int passes = 0;
    while (!isInterruptionRequested()) {
        const int count = Count;
        if (Running && (passes < count || count == -1)) {
            if (!Paused) {
                Execute();
                ++passes;
            }
            SleepInterval();
            continue;
        }
        // A stop that came in since the loop's check ends it without the finishing call.
        if (OnFinish && !isInterruptionRequested())
            RunOnce(OnFinish);
        break;
    }
}
