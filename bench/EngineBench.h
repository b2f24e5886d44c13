// Shared by the benchmarks that run engine views in their own process under X: the engine's
// start-up settings (no sandbox as root, no GPU under Xvfb) and a wait that keeps events flowing.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

// Call before the QApplication is made.
inline void PrepareEngine() {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-logging");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// Runs events until done() holds or the time is up.
inline void WaitFor(const std::function<bool()>& done, int ms = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
