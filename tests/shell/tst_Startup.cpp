// The built program started as a separate process from a copy of its folder: it shows its first
// page (seen through the engine's remote-debugging endpoint, opened on request), copes with a missing
// or broken data file, opens a command-line address asking for Chinese content, closes cleanly on
// SIGTERM, and opens no debugging endpoint unless asked, and then on the loopback interface only.
#include "common/WindowLauncher.h"
#include "shell/Startup.h"
#include "storage/DbMain.h"
#include "support/TestServer.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <unistd.h>

namespace {

// The debugging port of the program under test: free when the test program started.
quint16 DebugPort() {
    static const quint16 port = [] {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : quint16(0);
    }();
    return port;
}

QString DebugSwitch() {
    return QStringLiteral("--remote-debugging-port=%1").arg(DebugPort());
}

// The page targets the engine lists on its debugging endpoint; empty when nothing answers.
QJsonArray DevToolsPages() {
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(QStringLiteral("http://127.0.0.1:%1/json").arg(DebugPort()))};
    request.setTransferTimeout(2000);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        return QJsonArray();
    }
    QJsonArray pages;
    for (const QJsonValue& target : QJsonDocument::fromJson(reply->readAll()).array()) {
        if (target.toObject().value(QStringLiteral("type")).toString() == QLatin1String("page")) {
            pages.append(target);
        }
    }
    return pages;
}

// True when a page with exactly this address shows this title.
bool ShowsPage(const QString& url, const QString& title) {
    for (const QJsonValue& page : DevToolsPages()) {
        const QJsonObject object = page.toObject();
        if (object.value(QStringLiteral("url")).toString() == url &&
            object.value(QStringLiteral("title")).toString() == title) {
            return true;
        }
    }
    return false;
}

QString DescribePages() {
    return QString::fromUtf8(QJsonDocument(DevToolsPages()).toJson(QJsonDocument::Compact));
}

bool CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        const bool copied =
            entry.isDir() ? CopyFolder(entry.filePath(), target) : QFile::copy(entry.filePath(), target);
        if (!copied) {
            return false;
        }
    }
    return true;
}

// The listening TCP sockets of the machine (/proc/net/tcp{,6}): socket inode -> "address:port" in
// the table's hexadecimal form (127.0.0.1 is 0100007F).
QHash<QByteArray, QString> ListeningSockets() {
    QHash<QByteArray, QString> sockets;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : file.readAll().split('\n').mid(1)) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            // fields: sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode; 0A = LISTEN
            if (fields.size() > 9 && fields.at(3) == "0A") {
                sockets.insert(fields.at(9), QString::fromLatin1(fields.at(1)));
            }
        }
    }
    return sockets;
}

// The local addresses the process listens on, from its open socket descriptors.
QStringList ListeningAddressesOf(qint64 pid) {
    const QHash<QByteArray, QString> listening = ListeningSockets();
    QStringList addresses;
    const QString fdFolder = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fdFolder).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char target[64] = {};
        const QByteArray path = QFile::encodeName(fdFolder + QLatin1Char('/') + fd);
        const ssize_t length = readlink(path.constData(), target, sizeof(target) - 1);
        const QByteArray link(target, length > 0 ? int(length) : 0);
        if (link.startsWith("socket:[")) {
            const QByteArray inode = link.mid(8, link.size() - 9);
            if (listening.contains(inode)) {
                addresses.append(listening.value(inode));
            }
        }
    }
    return addresses;
}

// True once the program has recorded a visit in its data file: the engine is up and has loaded a
// page, so its debugging endpoint would have opened by now if it ever does.
bool VisitRecorded(const QString& dataFile) {
    TDb db;
    if (!db.Open(dataFile)) {
        return false;
    }
    const std::unique_ptr<TSQLiteTable> visits =
        db.Query(QStringLiteral("SELECT COUNT(id) c FROM qb_history"));
    return visits && !visits->AtEnd() && visits->FieldAsInt64(QStringLiteral("c")) > 0;
}

// A copy of the built program folder (program, res/, dat/data.dat) and the program running from it,
// with its per-user folders inside the copy as well.
class TProgramRun {
public:
    TProgramRun() {
        const QString built = QStringLiteral(QUELLON_APP_DIR);
        m_ok = m_dir.isValid() &&
               QFile::copy(built + QStringLiteral("quellon"), Folder() + QStringLiteral("quellon")) &&
               CopyFolder(built + QStringLiteral("res"), Folder() + QStringLiteral("res")) &&
               QDir().mkpath(Folder() + QStringLiteral("dat")) &&
               QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), DataFile());
        QFile::setPermissions(DataFile(), QFile::ReadOwner | QFile::WriteOwner);
    }
    ~TProgramRun() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool Ok() const { return m_ok; }
    QString Folder() const { return m_dir.path() + QLatin1Char('/'); }
    QString DataFile() const { return Folder() + QStringLiteral("dat/data.dat"); }
    QString UserData() const { return Folder() + QStringLiteral("home/.local/share/"); }
    QString NavigationPage() const {
        return QUrl::fromLocalFile(Folder() + QStringLiteral("res/site/123.html")).toString();
    }

    bool Start(const QStringList& arguments, const QString& debuggingVariable = QString()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING"));
        if (!debuggingVariable.isEmpty()) {
            environment.insert(QStringLiteral("QTWEBENGINE_REMOTE_DEBUGGING"), debuggingVariable);
        }
        environment.insert(QStringLiteral("HOME"), Folder() + QStringLiteral("home"));
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
        environment.remove(QStringLiteral("XDG_CACHE_HOME"));
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(Folder());
        m_process.start(Folder() + QStringLiteral("quellon"), arguments);
        return m_process.waitForStarted(10000);
    }
    bool Running() const { return m_process.state() == QProcess::Running; }
    qint64 Pid() const { return m_process.processId(); }
    // Sends SIGTERM and waits for the process; true when it ended by itself with exit code 0.
    bool TerminateCleanly() {
        m_process.terminate();
        return m_process.waitForFinished(15000) && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }
    QString Diagnostics() {
        return QStringLiteral("state %1, exit %2, log:\n%3")
            .arg(m_process.state())
            .arg(m_process.exitCode())
            .arg(QString::fromLocal8Bit(m_process.readAllStandardError().right(4000)));
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_ok = false;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void showsNavigationPage_data();
    void showsNavigationPage();
    void opensCommandLineAddress();
    void debuggingEndpointOnlyOnRequest_data();
    void debuggingEndpointOnlyOnRequest();
    void addressesAfterDashesAreOnlyAddresses();
};

void TestStartup::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(QFile::exists(QStringLiteral(QUELLON_APP_DIR "quellon")), "the program is not built");
    QVERIFY(DebugPort() != 0);
}

void TestStartup::init() {
    // A program left over from elsewhere would answer in our place.
    QTRY_VERIFY2_WITH_TIMEOUT(DevToolsPages().isEmpty(), "the debugging port is already in use", 10000);
}

void TestStartup::showsNavigationPage_data() {
    QTest::addColumn<QString>("dataState");
    QTest::newRow("data file present") << "present";
    QTest::newRow("data file missing") << "missing";
    QTest::newRow("data folder missing") << "no folder";
    QTest::newRow("data file broken") << "broken";
}

void TestStartup::showsNavigationPage() {
    QFETCH(QString, dataState);
    TProgramRun run;
    QVERIFY(run.Ok());
    const QByteArray brokenContent = "this is not a database\n";
    if (dataState == QLatin1String("missing")) {
        QVERIFY(QFile::remove(run.DataFile()));
    } else if (dataState == QLatin1String("no folder")) {
        QVERIFY(QDir(run.Folder() + QStringLiteral("dat")).removeRecursively());
    } else if (dataState == QLatin1String("broken")) {
        QFile file(run.DataFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(brokenContent);
    }

    QVERIFY(run.Start({DebugSwitch()}));
    QTRY_VERIFY2_WITH_TIMEOUT(ShowsPage(run.NavigationPage(), QStringLiteral("网址导航")) || !run.Running(),
                              qPrintable(DescribePages()), 30000);
    QVERIFY2(run.Running(), qPrintable(run.Diagnostics()));
    QVERIFY2(ShowsPage(run.NavigationPage(), QStringLiteral("网址导航")), qPrintable(DescribePages()));

    QVERIFY2(run.TerminateCleanly(), qPrintable(run.Diagnostics()));

    QVERIFY(QFileInfo(run.Folder() + QStringLiteral("dat")).isDir());
    QVERIFY(QFileInfo(run.UserData() + QStringLiteral("Brisvane")).isDir());
    QVERIFY(QFileInfo(run.Folder() + QStringLiteral("cache")).isDir());
    // The data file is opened, never created or replaced.
    if (dataState == QLatin1String("present")) {
        QVERIFY(QFileInfo(run.DataFile()).size() > 0);
    } else if (dataState == QLatin1String("broken")) {
        QFile file(run.DataFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), brokenContent);
    } else {
        QVERIFY(!QFile::exists(run.DataFile()));
    }
}

void TestStartup::opensCommandLineAddress() {
    TTestServer server;
    QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
    const QString address = server.Url(QStringLiteral("/_language"));
    TProgramRun run;
    QVERIFY(run.Ok());

    QVERIFY(run.Start({DebugSwitch(), address}));
    // Exactly "zh-CN", not the engine's own "zh-CN,zh;q=0.9": the interceptor set the header.
    const QString expectedTitle = QStringLiteral("language zh-CN");
    QTRY_VERIFY2_WITH_TIMEOUT(ShowsPage(address, expectedTitle) || !run.Running(),
                              qPrintable(DescribePages()), 30000);
    QVERIFY2(ShowsPage(address, expectedTitle), qPrintable(DescribePages() + run.Diagnostics()));
    QVERIFY2(!ShowsPage(run.NavigationPage(), QStringLiteral("网址导航")),
             "the navigation page opened as well");
    QVERIFY2(run.TerminateCleanly(), qPrintable(run.Diagnostics()));
}

void TestStartup::debuggingEndpointOnlyOnRequest_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QStringList>("expected");
    const QString loopback =
        QStringLiteral("0100007F:%1").arg(DebugPort(), 4, 16, QLatin1Char('0')).toUpper();
    QTest::newRow("not asked for") << QStringList() << QString() << QStringList();
    QTest::newRow("switch") << QStringList{DebugSwitch()} << QString() << QStringList{loopback};
    QTest::newRow("variable naming every interface")
        << QStringList() << QStringLiteral("0.0.0.0:%1").arg(DebugPort()) << QStringList{loopback};
}

void TestStartup::debuggingEndpointOnlyOnRequest() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, variable);
    QFETCH(QStringList, expected);
    TProgramRun run;
    QVERIFY(run.Ok());
    QVERIFY(run.Start(arguments, variable));
    QTRY_VERIFY2_WITH_TIMEOUT(VisitRecorded(run.DataFile()) || !run.Running(), "no page visited", 30000);
    QVERIFY2(run.Running(), qPrintable(run.Diagnostics()));
    if (!expected.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(!ListeningAddressesOf(run.Pid()).isEmpty(), 10000);
    }
    QCOMPARE(ListeningAddressesOf(run.Pid()), expected);
    QVERIFY2(run.TerminateCleanly(), qPrintable(run.Diagnostics()));
}

// A favorite opened in a new window hands its address to the new process: an address that looks
// like a switch stays an address there, while the switches before "--" keep working.
void TestStartup::addressesAfterDashesAreOnlyAddresses() {
    const QStringList newWindow = QStringList{"quellon", "--remote-debugging-port=9333"} +
                                  BrowserWindowArguments("--remote-debugging-port=9222");
    QCOMPARE(TStartup::CommandLineAddress(newWindow), QStringLiteral("--remote-debugging-port=9222"));
    QCOMPARE(TStartup::RemoteDebuggingAddress(newWindow, QByteArray()), QByteArray("127.0.0.1:9333"));
    QCOMPARE(TStartup::CommandLineAddress({"quellon", "--lang=en", "www.example.com"}), QStringLiteral("www.example.com"));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_Startup.moc"
