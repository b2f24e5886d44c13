// The start-up pieces that run inside the process: the engine's switches, the debugging endpoint,
// the command-line address, Qt's Chinese standard buttons, exceptions reaching the event loop, and
// termination signals closing the windows.
#include "support/LogCapture.h"
#include "shell/Application.h"
#include "shell/Startup.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <csignal>
#include <stdexcept>

namespace {

// Throws from its event handler, as a faulty receiver would.
class TThrowingObject : public QObject {
public:
    bool ThrowStandard = true;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            if (ThrowStandard) {
                throw std::runtime_error(QStringLiteral("数据 broken").toStdString());
            }
            throw 42;
        }
        return QObject::event(event);
    }
};

class TCountingWindow : public QWidget {
public:
    int CloseEvents = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++CloseEvents;
        QWidget::closeEvent(event);
    }
};

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void chromiumFlags_data();
    void chromiumFlags();
    void commandLineAddress_data();
    void commandLineAddress();
    void remoteDebuggingAddress_data();
    void remoteDebuggingAddress();
    void standardButtonsAreChinese();
    void processModel_data();
    void processModel();
    void exceptionsAreLoggedAndSurvived();
    void terminationSignalClosesWindows_data();
    void terminationSignalClosesWindows();
};

void TestApplication::chromiumFlags_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("renderNode");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("nothing set, GPU") << QByteArray() << true << QByteArray("--lang=zh-CN");
    QTest::newRow("nothing set, no GPU") << QByteArray() << false << QByteArray("--lang=zh-CN --disable-gpu");
    QTest::newRow("user switches kept in front")
        << QByteArray("--enable-logging  --v=1 ") << false
        << QByteArray("--enable-logging --v=1 --lang=zh-CN --disable-gpu");
    QTest::newRow("no switch repeated")
        << QByteArray("--disable-gpu --lang=zh-CN") << false << QByteArray("--disable-gpu --lang=zh-CN");
    QTest::newRow("user language wins") << QByteArray("--lang=en-US") << true << QByteArray("--lang=en-US");
}

void TestApplication::chromiumFlags() {
    QFETCH(QByteArray, existing);
    QFETCH(bool, renderNode);
    QFETCH(QByteArray, expected);
    QCOMPARE(TStartup::ChromiumFlags(existing, renderNode), expected);
}

void TestApplication::processModel_data() {
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QByteArray>("expected");
    // Tabs of one site share a renderer; different sites never do (site isolation).
    QTest::newRow("none") << QByteArray() << QByteArray("--process-per-site --site-per-process");
    QTest::newRow("appended") << QByteArray("--lang=zh-CN --disable-gpu")
                              << QByteArray("--lang=zh-CN --disable-gpu --process-per-site --site-per-process");
    QTest::newRow("already per site") << QByteArray("--process-per-site --lang=zh-CN")
                                      << QByteArray("--process-per-site --lang=zh-CN --site-per-process");
    QTest::newRow("user wants one per tab") << QByteArray("--lang=zh-CN --process-per-tab")
                                            << QByteArray("--lang=zh-CN --process-per-tab --site-per-process");
    QTest::newRow("isolation not repeated")
        << QByteArray("--site-per-process") << QByteArray("--site-per-process --process-per-site");
    QTest::newRow("single process kept") << QByteArray("--single-process") << QByteArray("--single-process");
    QTest::newRow("similar switch is not a model") << QByteArray("--process-per-site-x")
                                                   << QByteArray("--process-per-site-x --process-per-site --site-per-process");
}

void TestApplication::processModel() {
    QFETCH(QByteArray, flags);
    QFETCH(QByteArray, expected);
    QCOMPARE(TStartup::WithProcessModel(flags), expected);
}

void TestApplication::commandLineAddress_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList{"quellon"} << QString();
    QTest::newRow("one address") << QStringList{"quellon", "www.baidu.com"} << "www.baidu.com";
    QTest::newRow("engine switches skipped")
        << QStringList{"quellon", "--remote-debugging-port=9222", "-v", "page.html"} << "page.html";
    QTest::newRow("only the first address") << QStringList{"quellon", "a.cn", "b.cn"} << "a.cn";
    QTest::newRow("blank argument skipped")
        << QStringList{"quellon", "  ", "http://x.cn/ "} << "http://x.cn/";
    QTest::newRow("program name is never the address") << QStringList{"http://x.cn/"} << QString();
}

void TestApplication::commandLineAddress() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QCOMPARE(TStartup::CommandLineAddress(arguments), expected);
}

void TestApplication::remoteDebuggingAddress_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("not asked for") << QStringList{"quellon", "page.html"} << QByteArray() << QByteArray();
    QTest::newRow("switch") << QStringList{"quellon", "--remote-debugging-port=9222", "page.html"}
                            << QByteArray() << QByteArray("127.0.0.1:9222");
    QTest::newRow("switch wins over variable") << QStringList{"quellon", "--remote-debugging-port=9222"}
                                               << QByteArray("9333") << QByteArray("127.0.0.1:9222");
    QTest::newRow("bad switch opens nothing")
        << QStringList{"quellon", "--remote-debugging-port=x"} << QByteArray("9333") << QByteArray();
    QTest::newRow("port out of range")
        << QStringList{"quellon", "--remote-debugging-port=70000"} << QByteArray() << QByteArray();
    QTest::newRow("program name is no switch")
        << QStringList{"--remote-debugging-port=9222"} << QByteArray() << QByteArray();
    QTest::newRow("variable port") << QStringList{"quellon"} << QByteArray("9333")
                                   << QByteArray("127.0.0.1:9333");
    QTest::newRow("variable address replaced by loopback")
        << QStringList{"quellon"} << QByteArray("0.0.0.0:9333") << QByteArray("127.0.0.1:9333");
    QTest::newRow("variable without port")
        << QStringList{"quellon"} << QByteArray("0.0.0.0:") << QByteArray();
}

void TestApplication::remoteDebuggingAddress() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, expected);
    QCOMPARE(TStartup::RemoteDebuggingAddress(arguments, variable), expected);
}

void TestApplication::standardButtonsAreChinese() {
    // The application object of main() installed Qt's own Chinese translation.
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quellon"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY2(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("否")),
             qPrintable(box.button(QMessageBox::No)->text()));
    QVERIFY2(box.button(QMessageBox::Ok)->text().startsWith(QStringLiteral("确定")),
             qPrintable(box.button(QMessageBox::Ok)->text()));
    QVERIFY2(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("取消")),
             qPrintable(box.button(QMessageBox::Cancel)->text()));
}

void TestApplication::exceptionsAreLoggedAndSurvived() {
    TThrowingObject object;
    auto log = std::make_unique<TLogCapture>();

    // Delivered directly and through the event queue: neither ends the program.
    QEvent direct(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&object, &direct));
    object.ThrowStandard = false;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    const QStringList LoggedLines = log->Lines();
    log.reset();

    QCOMPARE(LoggedLines.filter(QStringLiteral("Exception: 数据 broken")).size(), 1);
    QCOMPARE(LoggedLines.filter(QStringLiteral("Exception: unknown error")).size(), 1);
}

void TestApplication::terminationSignalClosesWindows_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestApplication::terminationSignalClosesWindows() {
    QFETCH(int, signalNumber);
    auto* app = qobject_cast<TApplication*>(QCoreApplication::instance());
    QVERIFY(app != nullptr);
    app->QuitOnTerminationSignals();

    TCountingWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTimer::singleShot(0, [signalNumber] { raise(signalNumber); });
    // A signal that is not handled would end this test program here.
    QCOMPARE(app->exec(), 0);
    QCOMPARE(window.CloseEvents, 1);
    QVERIFY(!window.isVisible());
}

int main(int argc, char* argv[]) {
    TApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_Application.moc"
