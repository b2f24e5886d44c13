// main() of a test that creates engine views: the engine runs under Xvfb without a GPU and, as
// root, without its sandbox; windows closed by a test must not end the application.
#pragma once

#include <QApplication>
#include <QtTest>

#define QUELLON_ENGINE_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                                 \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                                  \
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-logging");                     \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                   \
        QApplication app(argc, argv);                                                                 \
        app.setQuitOnLastWindowClosed(false);                                                         \
        TestClass test;                                                                               \
        return QTest::qExec(&test, argc, argv);                                                       \
    }
