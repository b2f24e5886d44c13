// The blocking HTTP client against the local test server: bodies, ranges, redirects, faults,
// time-outs, aborts, form posts and certificate checks.
#include "common/HttpClient.h"
#include "support/TestServer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// What the notifications of one request reported.
struct TNotifications {
    int Responses = 0;
    int Begins = 0;
    QList<qint64> Counts;
    QList<bool> Ends;
    THttpResponse Seen;

    void Attach(THttpClient* client) {
        client->OnResponse = [this](const THttpResponse& response, QString*) {
            ++Responses;
            Seen = response;
            return true;
        };
        client->OnWorkBegin = [this] { ++Begins; };
        client->OnWork = [this](qint64 received) { Counts.append(received); };
        client->OnWorkEnd = [this](bool complete) { Ends.append(complete); };
    }
    bool CountsRise() const {
        for (int i = 1; i < Counts.size(); ++i) {
            if (Counts[i] <= Counts[i - 1])
                return false;
        }
        return true;
    }
};

// Stops the client from another thread after a pause, as the download manager's stop does.
class TAbortLater {
public:
    TAbortLater(THttpClient* client, int delayMs)
        : m_thread([client, delayMs] {
              std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
              client->Abort();
          }) {}
    ~TAbortLater() { Wait(); }
    void Wait() {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
};

} // namespace

class TestHttpClient : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTestServer> m_server;

    QString Url(const QString& path) const { return m_server->Url(path); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        m_server = std::make_unique<TTestServer>();
        QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
    }

    void getWritesAtDevicePosition() {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("part.bin")));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("0123456789");
        QVERIFY(file.seek(4));

        THttpClient client;
        QVERIFY2(client.Get(Url(QStringLiteral("/_gen/3")), &file), qPrintable(client.ErrorText()));
        QCOMPARE(file.pos(), qint64(7));
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("0123") + TTestServer::GeneratedBytes(0, 3) + "789");
    }

    void rangeAnswers_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<int>("status");
        QTest::addColumn<qint64>("rangeStart");
        QTest::addColumn<qint64>("rangeTotal");
        QTest::addColumn<qint64>("bodyOffset");
        QTest::addColumn<qint64>("contentLength");

        QTest::newRow("resume") << "/_gen/5000" << QByteArray("bytes=999-") << 206 << qint64(999)
                                << qint64(5000) << qint64(999) << qint64(4001);
        QTest::newRow("fresh range") << "/_gen/5000" << QByteArray("bytes=0-") << 206 << qint64(0)
                                     << qint64(5000) << qint64(0) << qint64(5000);
        QTest::newRow("closed range") << "/_gen/5000" << QByteArray("bytes=10-19") << 206 << qint64(10)
                                      << qint64(5000) << qint64(10) << qint64(10);
        QTest::newRow("range ignored") << "/_gen/5000?ignore_range=1" << QByteArray("bytes=999-") << 200
                                       << qint64(-1) << qint64(-1) << qint64(0) << qint64(5000);
        QTest::newRow("shifted range") << "/_gen/5000?bad_range=1" << QByteArray("bytes=999-") << 206
                                       << qint64(1000) << qint64(5000) << qint64(1000) << qint64(4000);
    }
    void rangeAnswers() {
        QFETCH(QString, path);
        QFETCH(QByteArray, range);
        QFETCH(int, status);
        QFETCH(qint64, rangeStart);
        QFETCH(qint64, rangeTotal);
        QFETCH(qint64, bodyOffset);
        QFETCH(qint64, contentLength);

        THttpClient client;
        client.SetHeader("Range", range);
        QByteArray body;
        QVERIFY2(client.Get(Url(path), &body), qPrintable(client.ErrorText()));
        QCOMPARE(client.Response().Status, status);
        QCOMPARE(client.Response().RangeStart, rangeStart);
        QCOMPARE(client.Response().RangeTotal, rangeTotal);
        QCOMPARE(client.Response().ContentLength, contentLength);
        QCOMPARE(body, TTestServer::GeneratedBytes(bodyOffset, contentLength));
    }

    void transferCompletion_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("received");
        QTest::addColumn<QString>("error");

        QTest::newRow("with length") << "/_gen/300000" << true << qint64(300000) << QString();
        QTest::newRow("chunked") << "/_gen/300000?chunked=1" << true << qint64(300000) << QString();
        QTest::newRow("paced") << "/_gen/20000?rate=100000" << true << qint64(20000) << QString();
        QTest::newRow("empty body") << "/_gen/0" << true << qint64(0) << QString();
        QTest::newRow("dropped") << "/_gen/5000?drop=1000" << false << qint64(1000)
                                 << "connection closed after 1000 of 5000 bytes";
        QTest::newRow("dropped chunked") << "/_gen/5000?drop=1000&chunked=1" << false << qint64(1000)
                                         << "connection closed after 1000 bytes";
    }
    void transferCompletion() {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(qint64, received);
        QFETCH(QString, error);

        THttpClient client;
        TNotifications seen;
        seen.Attach(&client);
        QByteArray body;
        QCOMPARE(client.Get(Url(path), &body), ok);
        QVERIFY2(client.ErrorText().startsWith(error), qPrintable(client.ErrorText()));
        QCOMPARE(seen.Responses, 1);
        QCOMPARE(seen.Begins, 1);
        QCOMPARE(seen.Ends, QList<bool>{ok});
        QVERIFY(seen.CountsRise());
        QCOMPARE(seen.Counts.isEmpty() ? 0 : seen.Counts.last(), received);
        QCOMPARE(body, TTestServer::GeneratedBytes(0, received));
    }

    void errorStatusWritesNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");

        QTest::newRow("missing file") << "/missing.bin" << QByteArray() << 404 << "HTTP 404 Not Found";
        QTest::newRow("server error")
            << "/_gen/100?status=500" << QByteArray() << 500 << "HTTP 500 Internal Server Error";
        QTest::newRow("chunked error")
            << "/_gen/100?status=503&chunked=1" << QByteArray() << 503 << "HTTP 503 Service Unavailable";
        QTest::newRow("range past the end")
            << "/_gen/100" << QByteArray("bytes=100-") << 416 << "HTTP 416 Requested Range Not Satisfiable";
        QTest::newRow("redirect not followed")
            << "/_gen/100?redirect=1" << QByteArray() << 302 << "HTTP 302 Found";
        QTest::newRow("credentials missing") << "/_auth" << QByteArray() << 401 << "HTTP 401 Unauthorized";
    }
    void errorStatusWritesNothing() {
        QFETCH(QString, path);
        QFETCH(QByteArray, range);
        QFETCH(int, status);
        QFETCH(QString, error);

        THttpClient client;
        client.SetHeader("Range", range);
        client.SetFollowRedirects(false);
        TNotifications seen;
        seen.Attach(&client);
        QByteArray stored("kept");
        QBuffer device(&stored);
        QVERIFY(device.open(QIODevice::ReadWrite));
        QVERIFY(device.seek(4));

        QVERIFY(!client.Get(Url(path), &device));
        QCOMPARE(client.ErrorText(), error);
        QCOMPARE(client.Response().Status, status);
        QCOMPARE(stored, QByteArray("kept"));
        QCOMPARE(seen.Responses, 0);
        QCOMPARE(seen.Begins, 0);
        QVERIFY(seen.Ends.isEmpty());
    }

    void rangeRefusalKeepsTotal() {
        // A resume past the end tells the complete size; callers use it to recognise a finished file.
        THttpClient client;
        client.SetHeader("Range", "bytes=5000-");
        QByteArray body;
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/5000")), &body));
        QCOMPARE(client.Response().RangeTotal, qint64(5000));
        QCOMPARE(client.Response().RangeStart, qint64(-1));
    }

    void redirects() {
        m_server->ResetStats();
        THttpClient client;
        TNotifications seen;
        seen.Attach(&client);
        QByteArray body;
        QVERIFY2(client.Get(Url(QStringLiteral("/_gen/100?redirect=3")), &body),
                 qPrintable(client.ErrorText()));
        QCOMPARE(body, TTestServer::GeneratedBytes(0, 100));
        QCOMPARE(m_server->Requests(QStringLiteral("/_gen/100")), 4);
        QVERIFY(client.Response().EffectiveUrl.endsWith(QStringLiteral("redirect=0")));
        QCOMPARE(client.Response().Status, 200);
        QCOMPARE(seen.Responses, 1);
        QCOMPARE(seen.Seen.Status, 200);

        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/100?redirect=11")), &body));
        QVERIFY(body.isEmpty());
        QVERIFY2(client.ErrorText().contains(QStringLiteral("redirect"), Qt::CaseInsensitive),
                 qPrintable(client.ErrorText()));
    }

    void addressesWithChineseText() {
        // Raw Chinese text and blanks are sent percent-encoded from UTF-8; escapes already in the
        // address stay as they are.
        QVERIFY(m_server->WriteFile(QStringLiteral("目录/文件 1.txt"), "abc"));
        m_server->ResetStats();
        THttpClient client;
        QByteArray body;
        QVERIFY2(client.Get(Url(QStringLiteral("/目录/文件 1.txt")), &body), qPrintable(client.ErrorText()));
        QCOMPARE(body, QByteArray("abc"));
        QVERIFY(client.Get(Url(QStringLiteral("/%E7%9B%AE%E5%BD%95/%E6%96%87%E4%BB%B6%201.txt")), &body));
        QCOMPARE(body, QByteArray("abc"));
        QCOMPARE(m_server->Requests(QStringLiteral("/目录/文件 1.txt")), 2);
    }

    void readTimeout_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("body stalls") << "/_gen/5000?stall=1000";
        QTest::newRow("headers delayed") << "/_gen/5000?delay_ms=20000";
    }
    void readTimeout() {
        QFETCH(QString, path);
        THttpClient client;
        client.SetReadTimeout(700);
        QByteArray body;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!client.Get(Url(path), &body));
        // Far below the server's 20 s: the client gave up on its own.
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY2(client.ErrorText().startsWith(QStringLiteral("Operation timed out after 700 ms")),
                 qPrintable(client.ErrorText()));
    }

    void requestHeaders() {
        THttpClient client;
        client.SetUserAgent(QStringLiteral("Mozilla/5.0 Quellon Download"));
        client.SetHeader("X-Custom", "first");
        client.SetHeader("x-custom", "second");
        client.SetHeader("X-Removed", "gone");
        client.SetHeader("X-Removed", QByteArray());
        client.SetHeader("Referer", "http://example.com/page");
        client.SetHeader("X-Split", "a\r\nX-Injected: 1");
        client.SetHeader("Bad Name", "value");
        QByteArray body;
        QVERIFY2(client.Get(Url(QStringLiteral("/_echo")), &body), qPrintable(client.ErrorText()));
        const QList<QByteArray> lines = body.split('\n');
        QCOMPARE(lines.value(0), QByteArray("GET /_echo HTTP/1.1"));
        QVERIFY(lines.contains("User-Agent: Mozilla/5.0 Quellon Download"));
        QVERIFY(lines.contains("X-Custom: second"));
        QVERIFY(lines.contains("Referer: http://example.com/page"));
        QVERIFY(!body.contains("X-Removed"));
        QVERIFY(!body.contains("X-Injected"));
        QVERIFY(!body.contains("X-Split"));
        QVERIFY(!body.contains("Bad Name"));
        QVERIFY(!body.contains("Accept-Encoding")); // bodies arrive as stored, never compressed
    }

    void formPost() {
        const THttpForm form{{QStringLiteral("access_token"), QStringLiteral("t0k")},
                             {QStringLiteral("title"), QStringLiteral("中文 站点")},
                             {QStringLiteral("expr"), QStringLiteral("a&b=c+d")},
                             {QStringLiteral("empty"), QString()}};
        const QByteArray expected = "access_token=t0k&title=%E4%B8%AD%E6%96%87%20%E7%AB%99%E7%82%B9"
                                    "&expr=a%26b%3Dc%2Bd&empty=";
        QCOMPARE(EncodeForm(form), expected);

        THttpClient client;
        QByteArray body;
        QVERIFY2(client.Post(Url(QStringLiteral("/_post")), form, &body), qPrintable(client.ErrorText()));
        QCOMPARE(body, expected);
        QVERIFY2(client.Post(Url(QStringLiteral("/_echo")), form, &body), qPrintable(client.ErrorText()));
        QVERIFY(body.startsWith("POST /_echo HTTP/1.1\n"));
        QVERIFY(body.contains("\nContent-Type: application/x-www-form-urlencoded\n"));
        QVERIFY(!client.Post(Url(QStringLiteral("/_post?status=500")), form, &body));
        QCOMPARE(client.ErrorText(), QStringLiteral("HTTP 500 Internal Server Error"));
        QVERIFY(body.isEmpty());
    }

    void abortFromAnotherThread_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("bodyBegun");
        QTest::newRow("body stalls") << "/_gen/5000?stall=1000" << true;
        QTest::newRow("headers delayed") << "/_gen/5000?delay_ms=20000" << false;
    }
    void abortFromAnotherThread() {
        QFETCH(QString, path);
        QFETCH(bool, bodyBegun);
        THttpClient client;
        TNotifications seen;
        seen.Attach(&client);
        QByteArray body;
        TAbortLater stopper(&client, 300);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!client.Get(Url(path), &body));
        QVERIFY(clock.elapsed() < 10000); // the server would keep it waiting 20 s or more
        stopper.Wait();
        QCOMPARE(client.ErrorText(), QStringLiteral("aborted"));
        QVERIFY(client.Aborted());
        QCOMPARE(seen.Ends, bodyBegun ? QList<bool>{false} : QList<bool>{});

        // The abort is sticky: the next request fails without reaching the server.
        m_server->ResetStats();
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/10")), &body));
        QCOMPARE(client.ErrorText(), QStringLiteral("aborted"));
        QCOMPARE(m_server->Requests(QStringLiteral("/_gen/10")), 0);
    }

    void abortBeforeRequest() {
        m_server->ResetStats();
        THttpClient client;
        TNotifications seen;
        seen.Attach(&client);
        client.Abort();
        QByteArray body;
        QVERIFY(!client.Post(Url(QStringLiteral("/_post")),
                             THttpForm{{QStringLiteral("a"), QStringLiteral("b")}}, &body));
        QCOMPARE(client.ErrorText(), QStringLiteral("aborted"));
        QCOMPARE(seen.Begins, 0);
        QCOMPARE(m_server->Requests(QStringLiteral("/_post")), 0);
    }

    void abortRacesWithRequests() {
        // Aborts land at random moments of short requests, never after the client's handles are gone.
        for (int round = 0; round < 30; ++round) {
            THttpClient client;
            TAbortLater stopper(&client, round % 7);
            QByteArray body;
            const bool ok = client.Get(Url(QStringLiteral("/_gen/20000")), &body);
            stopper.Wait();
            QVERIFY(ok ? body == TTestServer::GeneratedBytes(0, 20000) : client.ErrorText() == "aborted");
        }
    }

    void refusedResponse() {
        THttpClient client;
        client.SetHeader("Range", "bytes=999-");
        TNotifications seen;
        seen.Attach(&client);
        client.OnResponse = [&seen](const THttpResponse& response, QString* refusal) {
            ++seen.Responses;
            seen.Seen = response;
            *refusal = QStringLiteral("server did not resume at 999");
            return response.RangeStart == 999;
        };
        QByteArray stored("kept");
        QBuffer device(&stored);
        QVERIFY(device.open(QIODevice::WriteOnly | QIODevice::Append));
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/5000?bad_range=1&redirect=2")), &device));
        QCOMPARE(client.ErrorText(), QStringLiteral("server did not resume at 999"));
        QCOMPARE(seen.Responses, 1); // the redirects before it are not reported
        QCOMPARE(seen.Seen.RangeStart, qint64(1000));
        QCOMPARE(stored, QByteArray("kept"));
        QCOMPARE(seen.Begins, 0);
    }

    // An answer read into memory is capped and has a deadline unless the caller says otherwise:
    // a huge or trickling answer fails, and what came of it is dropped.
    void memoryAnswerLimits_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QTest::newRow("stated length") << "/_gen/8000000" << "answer larger than 1048576 bytes refused (the server";
        QTest::newRow("no length") << "/_gen/8000000?chunked=1" << "answer larger than 1048576 bytes refused";
    }
    void memoryAnswerLimits() {
        QFETCH(QString, path);
        QFETCH(QString, error);
        THttpClient client;
        TNotifications seen;
        seen.Attach(&client);
        QByteArray body;
        QVERIFY(!client.Get(Url(path), &body));
        QVERIFY2(client.ErrorText().startsWith(error), qPrintable(client.ErrorText()));
        QVERIFY(seen.Counts.isEmpty() || seen.Counts.last() <= 1024 * 1024);
        QVERIFY(body.isEmpty() && body.capacity() == 0);
        // A file target takes any size.
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("big")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY2(client.Get(Url(path), &file), qPrintable(client.ErrorText()));
    }
    void deadlineEndsATrickle() {
        THttpClient client;
        client.SetDeadline(1500);
        QByteArray body;
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/100000?rate=20")), &body));
        QVERIFY2(client.ErrorText().startsWith(QStringLiteral("no complete answer within the deadline of 1500 ms")),
                 qPrintable(client.ErrorText()));
    }

    void deviceWriteFailures() {
        THttpClient client;
        QByteArray stored;
        QBuffer readOnly(&stored);
        QVERIFY(readOnly.open(QIODevice::ReadOnly));
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/10")), &readOnly));
        QVERIFY(client.ErrorText().startsWith(QStringLiteral("write failed")));
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/10")), static_cast<QByteArray*>(nullptr)));
        QVERIFY(client.ErrorText().startsWith(QStringLiteral("write failed")));

        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly))
            QSKIP("no /dev/full to stand for a full disk");
        TNotifications seen;
        seen.Attach(&client);
        // Small enough to sit in the file's buffer: the failure shows only when it is flushed.
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/100")), &full));
        QCOMPARE(client.ErrorText(), QStringLiteral("write failed: No space left on device"));
        QCOMPARE(seen.Ends, QList<bool>{false});
        QVERIFY(!client.Get(Url(QStringLiteral("/_gen/3000000")), &full));
        QCOMPARE(client.ErrorText(), QStringLiteral("write failed: No space left on device"));
    }

    void connectionFailures() {
        THttpClient client;
        client.SetConnectTimeout(3000);
        QByteArray body;
        QVERIFY(!client.Get(TTestServer::RefusingRoot() + QStringLiteral("file"), &body));
        QVERIFY2(client.ErrorText().contains(QStringLiteral("connect"), Qt::CaseInsensitive),
                 qPrintable(client.ErrorText()));
        QVERIFY(!client.Get(QStringLiteral("file:///etc/passwd"), &body));
        QVERIFY(body.isEmpty());
        QVERIFY(!client.ErrorText().isEmpty());
    }

    void certificateVerified() {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        if (openssl.isEmpty())
            QSKIP("openssl is not installed");
        QTemporaryDir dir;
        const QString cert = dir.filePath(QStringLiteral("cert.pem"));
        const QString key = dir.filePath(QStringLiteral("key.pem"));
        QProcess make;
        make.start(openssl, {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                             QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                             QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                             QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                             QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
        QVERIFY(make.waitForFinished(60000));
        QCOMPARE(make.exitCode(), 0);

        TTestServer secure(m_server->Root(), cert, key);
        QVERIFY2(secure.Running(), qPrintable(secure.ErrorText()));
        THttpClient client;
        TNotifications seen;
        seen.Attach(&client);
        QByteArray body;
        QVERIFY(!client.Get(secure.Url(QStringLiteral("/_gen/100")), &body));
        QVERIFY2(client.ErrorText().contains(QStringLiteral("certificate"), Qt::CaseInsensitive),
                 qPrintable(client.ErrorText()));
        QVERIFY(body.isEmpty());
        QCOMPARE(seen.Responses, 0);
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_HttpClient.moc"
