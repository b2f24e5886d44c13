// Tests of the download worker: request address and headers, resume rules, the progress throttle,
// stopping, and how failed attempts end.
#include "DownloadFixture.h"
#include "downloads/Download.h"
#include "downloads/DownloadFailure.h"
#include "support/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {
const QString kUserAgent =
    QStringLiteral("Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like "
                   "Gecko) Chrome/39.0.2171.95 Safari/537.36 Download");
const int kWait = 15000;
} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void requestUrl_data();
    void requestUrl();
    void progressIsReportedOncePerSecond();
    void freshStartAsksFromByteZero();
    void resumeContinuesAtTheStoredPosition();
    void resumeFollowsWhatTheFileHolds_data();
    void resumeFollowsWhatTheFileHolds();
    void chineseAddressReachesTheServer_data();
    void chineseAddressReachesTheServer();
    void wholeBodyAnswerToAResumeRestartsTheFile();
    void answerForAnotherResourceKeepsThePartialFile_data();
    void answerForAnotherResourceKeepsThePartialFile();
    void droppedConnectionsContinueFromTheFile();
    void cappedRangesAreFetchedToTheEnd_data();
    void cappedRangesAreFetchedToTheEnd();
    void shiftedRangeAnswerFailsWithoutWriting();
    void transferSizeIsLearned_data();
    void transferSizeIsLearned();
    void stopEndsABlockedTransferAndPostsNothing();
    void unwritableTargetFailsAtOnce_data();
    void unwritableTargetFailsAtOnce();
    void fullDiskKeepsTheLastGoodPosition();
    void localFileIsCopiedAndResumed();

private:
    std::unique_ptr<TTestServer> m_server;
};

void TestDownload::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
}

void TestDownload::requestUrl_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("request");
    QTest::newRow("plain") << QStringLiteral("http://h/a.zip?x=1") << QStringLiteral("http://h/a.zip?x=1");
    QTest::newRow("upper-case https")
        << QStringLiteral("HTTPS://H/A.zip") << QStringLiteral("https://h/A.zip");
    QTest::newRow("mixed-case https")
        << QStringLiteral("HtTpS://h/中.zip") << QStringLiteral("https://h/%E4%B8%AD.zip");
    QTest::newRow("chinese name with a blank and a query")
        << QStringLiteral("http://h/资料/说明 书.zip?v=1&n=中 文")
        << QStringLiteral("http://h/%E8%B5%84%E6%96%99/%E8%AF%B4%E6%98%8E%20%E4%B9%A6.zip"
                          "?v=1&n=%E4%B8%AD%20%E6%96%87");
    QTest::newRow("already encoded") << QStringLiteral("http://h/%E4%B8%AD%20a.zip?q=%3D")
                                     << QStringLiteral("http://h/%E4%B8%AD%20a.zip?q=%3D");
    QTest::newRow("partly encoded") << QStringLiteral("http://h/中/a%20b 文.zip")
                                    << QStringLiteral("http://h/%E4%B8%AD/a%20b%20%E6%96%87.zip");
    QTest::newRow("stray percent") << QStringLiteral("http://h/100%.zip")
                                   << QStringLiteral("http://h/100%25.zip");
    QTest::newRow("chinese host") << QStringLiteral("http://下载.example/a.zip")
                                  << QStringLiteral("http://xn--ghq880n.example/a.zip");
}

void TestDownload::requestUrl() {
    QFETCH(QString, url);
    QFETCH(QString, request);
    QCOMPARE(TDownload::RequestUrl(url), request);
}

void TestDownload::progressIsReportedOncePerSecond() {
    TDownloadFixture fixture;
    TMessageRecorder window;
    qint64 now = 0;
    auto* worker = new TDownload(fixture.Queue, QStringLiteral("http://h/a"), fixture.FilePath("a"));
    worker->NotifyWindow = &window;
    worker->Clock = [&now] { return now; };

    worker->WorkBegin();
    worker->Work(2048); // the first event always reports
    now = 500;
    worker->Work(4096); // half a second later: dropped
    now = 1000;
    worker->Work(6144);
    now = 2600;
    worker->Work(10240); // average over 3 s (2.6 rounded)
    now = 3000;
    worker->Work(12000); // 0.4 s after the last report: dropped
    QCoreApplication::sendPostedEvents(&window);

    QStringList texts;
    QList<qint64> positions;
    for (const auto& entry : window.Entries) {
        QCOMPARE(entry.Id, int(WM_DOWNLOAD_PROGRESS));
        QCOMPARE(entry.Record.State, dsDownloading);
        QCOMPARE(entry.Record.Url, QStringLiteral("http://h/a"));
        QVERIFY(entry.Record.FileName.isEmpty());
        QCOMPARE(quint64(entry.LParam), worker->Id());
        texts << entry.Record.ProgressText;
        positions << entry.Record.Position;
    }
    QCOMPARE(texts, QStringList({"2.00K/S 2.00K/0B", "6.00K/S 6.00K/0B", "3.33K/S 10.00K/0B"}));
    QCOMPARE(positions, QList<qint64>({2048, 6144, 10240}));

    worker->StopDownload();
    now = 9000;
    worker->Work(20000);
    QCoreApplication::sendPostedEvents(&window);
    QCOMPARE(window.Entries.size(), 3);
    delete worker;
}

void TestDownload::freshStartAsksFromByteZero() {
    TDownloadFixture fixture;
    const QString file = fixture.FilePath("echo.txt");
    QVERIFY(WriteTestFile(file, QByteArray(5000, 'x'))); // an old file of that name is replaced
    fixture.Queue->StartDownload(m_server->Url("/_echo"), file, 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);

    const QString echo = QString::fromLatin1(ReadTestFile(file));
    QVERIFY2(echo.startsWith("GET /_echo HTTP/1.1\n"), qPrintable(echo));
    QVERIFY2(echo.contains("\nRange: bytes=0-\n"), qPrintable(echo));
    QVERIFY2(echo.contains("\nUser-Agent: " + kUserAgent + "\n"), qPrintable(echo));
    QCOMPARE(fixture.Finished[0].Position, qint64(echo.size()));
}

void TestDownload::resumeContinuesAtTheStoredPosition() {
    // The echo answer is long enough (the padded request line) to hold byte 1000 and beyond, and
    // it shows the Range header the worker sent.
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_echo?pad=" + QString(1200, 'p'));
    const QString file = fixture.FilePath("echo.txt");
    QVERIFY(WriteTestFile(file, QByteArray(1000, 'x')));
    fixture.StoreRow(url, file, 1000, 0, dsPaused);
    fixture.Queue->StartDownload(url, file, 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);

    const QByteArray data = ReadTestFile(file);
    QCOMPARE(data.left(1000), QByteArray(1000, 'x'));
    QVERIFY2(data.mid(1000).contains("\nRange: bytes=1000-\n"), data.mid(1000).constData());
    QCOMPARE(fixture.Finished[0].Position, qint64(data.size()));
    QCOMPARE(fixture.Queue->LoadDownload(url).Position, qint64(data.size()));
}

void TestDownload::resumeFollowsWhatTheFileHolds_data() {
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<int>("fileBytes"); // -1: no file
    QTest::newRow("file holds the stored position") << qint64(1000) << 1000;
    QTest::newRow("file missing") << qint64(1000) << -1;
    QTest::newRow("file shorter than stored") << qint64(1000) << 600;
    QTest::newRow("file holds more than stored") << qint64(1000) << 1700;
    QTest::newRow("file larger than the resource") << qint64(1000) << 50000;
    QTest::newRow("stored 0 with an old file") << qint64(0) << 3000;
}

void TestDownload::resumeFollowsWhatTheFileHolds() {
    QFETCH(qint64, stored);
    QFETCH(int, fileBytes);
    const qint64 size = 40000;
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/40000");
    const QString file = fixture.FilePath("gen.bin");
    if (fileBytes >= 0) {
        // A stored position of 0 is a new download: an old file of that name holds other bytes.
        QByteArray held = TTestServer::GeneratedBytes(0, fileBytes);
        if (stored == 0)
            held.fill('#');
        QVERIFY(WriteTestFile(file, held));
    }
    fixture.StoreRow(url, file, stored, size, dsPaused);
    fixture.Queue->StartDownload(url, file, size);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);

    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, size));
    for (const TDownloadInfo& progress : fixture.Progress)
        QVERIFY(progress.Position <= size);
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.Position, size);
    QCOMPARE(row.TotalSize, size);
    QCOMPARE(row.State, dsFinished);
}

void TestDownload::chineseAddressReachesTheServer_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("chinese name") << QStringLiteral("/资料/说明书.bin");
    QTest::newRow("blank and query") << QStringLiteral("/资料/说明 书.bin?v=1&from=首页");
    QTest::newRow("partly encoded") << QStringLiteral("/资料/%E8%AF%B4%E6%98%8E 书.bin?v=%3D");
}

void TestDownload::chineseAddressReachesTheServer() {
    QFETCH(QString, path);
    TDownloadFixture fixture;
    const QByteArray content = TTestServer::GeneratedBytes(0, 777);
    QVERIFY(m_server->WriteFile(QStringLiteral("资料/说明书.bin"), content));
    QVERIFY(m_server->WriteFile(QStringLiteral("资料/说明 书.bin"), content));
    const QString url = m_server->Url(path);
    const QString file = fixture.FilePath(QStringLiteral("说明书.bin"));
    fixture.Queue->StartDownload(url, file, 777);
    QTRY_VERIFY_WITH_TIMEOUT(fixture.Finished.size() + fixture.Failed.size() == 1, kWait);

    QCOMPARE(fixture.Finished.size(), 1);
    QVERIFY(ReadTestFile(file) == content);
    QCOMPARE(fixture.Finished[0].Url, url); // the record keeps the address as given
    QCOMPARE(fixture.Queue->LoadAllDownloads().value(0).Url, url);
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsFinished);
}

void TestDownload::wholeBodyAnswerToAResumeRestartsTheFile() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/6000?ignore_range=1");
    const QString file = fixture.FilePath("gen.bin");
    QVERIFY(fixture.StorePartial(url, file, 1000, 6000));
    fixture.Queue->StartDownload(url, file, 6000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);

    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, 6000));
    QCOMPARE(fixture.Finished[0].Position, qint64(6000));
}

void TestDownload::answerForAnotherResourceKeepsThePartialFile_data() {
    QTest::addColumn<QString>("path");
    // A signed address that expired while the download was paused: a short page instead.
    QTest::newRow("200 with a short page") << QStringLiteral("/expired.html?ignore_range=1");
    QTest::newRow("200 without a length") << QStringLiteral("/expired.html?ignore_range=1&chunked=1");
    // The file was replaced on the server by one of another size.
    QTest::newRow("206 of another total") << QStringLiteral("/_gen/8000");
}

void TestDownload::answerForAnotherResourceKeepsThePartialFile() {
    QFETCH(QString, path);
    TDownloadFixture fixture;
    QVERIFY(m_server->WriteFile("expired.html", "<html><body>link expired</body></html>\n"));
    const QString url = m_server->Url(path);
    const QString file = fixture.FilePath("gen.bin");
    QVERIFY(fixture.StorePartial(url, file, 1000, 6000));
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, 6000);
    QTRY_VERIFY_WITH_TIMEOUT(fixture.Finished.size() + fixture.Failed.size() == 1, kWait);

    QCOMPARE(fixture.Finished.size(), 0);
    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, 1000));
    QCOMPARE(fixture.Failed[0].ErrorText, QStringLiteral("服务器上的文件已改变"));
    // Asking again cannot bring the old file back: the first answer ends the download.
    QCOMPARE(m_server->Requests(QUrl(url).path()), 1);
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFailed);
    QCOMPARE(row.Position, qint64(1000));
    QCOMPARE(row.TotalSize, qint64(6000));
}

void TestDownload::droppedConnectionsContinueFromTheFile() {
    // Every connection breaks after 200000 bytes, long before the once-a-second store of the
    // position: ten connections, each continuing where the file ends, and not one byte twice.
    TDownloadFixture fixture;
    fixture.Queue->RetryInterval = 60000; // a transfer that keeps moving does not wait
    const qint64 size = 2000000;
    const QString url = m_server->Url("/_gen/2000000?drop=200000");
    const QString file = fixture.FilePath("gen.bin");
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, size);
    QTRY_VERIFY_WITH_TIMEOUT(fixture.Finished.size() + fixture.Failed.size() == 1, kWait);

    QCOMPARE(fixture.Finished.size(), 1);
    QCOMPARE(m_server->Requests("/_gen/2000000"), 10);
    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, size));
    QCOMPARE(fixture.Queue->LoadDownload(url).Position, size);
}

void TestDownload::cappedRangesAreFetchedToTheEnd_data() {
    QTest::addColumn<qint64>("given");
    QTest::newRow("size known") << qint64(50000);
    QTest::newRow("size unknown") << qint64(0);
}

void TestDownload::cappedRangesAreFetchedToTheEnd() {
    QFETCH(qint64, given);
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/50000?max_range=8000");
    const QString file = fixture.FilePath("gen.bin");
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, given);
    QTRY_VERIFY_WITH_TIMEOUT(fixture.Finished.size() + fixture.Failed.size() == 1, kWait);

    QCOMPARE(fixture.Finished.size(), 1);
    QCOMPARE(fixture.Finished[0].Position, qint64(50000));
    QCOMPARE(fixture.Finished[0].TotalSize, qint64(50000));
    QCOMPARE(m_server->Requests("/_gen/50000"), 7);
    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, 50000));
}

void TestDownload::shiftedRangeAnswerFailsWithoutWriting() {
    TDownloadFixture fixture;
    TLogCapture log;
    const QString url = m_server->Url("/_gen/6000?bad_range=1");
    const QString file = fixture.FilePath("gen.bin");
    QVERIFY(fixture.StorePartial(url, file, 1000, 6000, dsDownloading));
    const QByteArray held = TTestServer::GeneratedBytes(0, 1000);
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, 6000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 1, kWait);

    QCOMPARE(m_server->Requests("/_gen/6000"), TDownload::MaxAttempts);
    QVERIFY(ReadTestFile(file) == held);
    QVERIFY(fixture.Finished.isEmpty());
    QCOMPARE(log.CountContaining("DownloadThread Error: "), TDownload::MaxAttempts);
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFailed);
    QCOMPARE(row.Position, qint64(1000));
}

void TestDownload::transferSizeIsLearned_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("length stated") << QStringLiteral("/_gen/70000");
    QTest::newRow("no length at all") << QStringLiteral("/_gen/70000?chunked=1&ignore_range=1");
    QTest::newRow("ranged resume") << QStringLiteral("/_gen/70000?resume=1");
}

void TestDownload::transferSizeIsLearned() {
    // The row was added without a size; a complete transfer finishes all the same and the row
    // ends with the real size.
    QFETCH(QString, path);
    TDownloadFixture fixture;
    const QString url = m_server->Url(path);
    const QString file = fixture.FilePath("gen.bin");
    if (path.contains("resume")) {
        QVERIFY(fixture.StorePartial(url, file, 5000, 0));
    }
    fixture.Queue->StartDownload(url, file, 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);

    QCOMPARE(fixture.Finished[0].Position, qint64(70000));
    QCOMPARE(fixture.Finished[0].TotalSize, qint64(70000));
    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, 70000));
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.TotalSize, qint64(70000));
    QCOMPARE(row.State, dsFinished);
    QCOMPARE(fixture.Owner.Count(WM_DOWNLOAD_FINISHED), 1);
}

void TestDownload::stopEndsABlockedTransferAndPostsNothing() {
    TDownloadFixture fixture;
    TLogCapture log;
    fixture.Queue->RetryInterval = 60000; // the stop must also end the pause between attempts
    const QString url = m_server->Url("/_gen/100000?stall=3000");
    const QString file = fixture.FilePath("gen.bin");
    fixture.Queue->StartDownload(url, file, 100000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Progress.size(), 1, kWait);

    QElapsedTimer timer;
    timer.start();
    fixture.Queue->PauseDownload(url);
    QVERIFY(!fixture.Queue->IsRunning(url));
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsPaused);
    // The worker ends (and deletes itself) well before the server's stall or the retry pause would.
    QTRY_VERIFY_WITH_TIMEOUT(QDir(fixture.Dir.path()).exists("gen.bin") &&
                                 log.CountContaining("DownloadThread Error: ") == 1,
                             kWait);
    QTest::qWait(300);
    QVERIFY(timer.elapsed() < 10000);
    QCOMPARE(fixture.Progress.size(), 1);
    QVERIFY(fixture.Finished.isEmpty());
    QVERIFY(fixture.Failed.isEmpty());
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsPaused);
}

void TestDownload::unwritableTargetFailsAtOnce_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("failure");
    // A folder that cannot exist: its parent is a file (root ignores permission bits).
    QTest::newRow("no folder") << "blocker/sub/gen.bin" << int(dfNoFolder);
    QTest::newRow("name too long") << QString(300, QChar(0x6587)) + ".bin" << int(dfNameTooLong);
    QTest::newRow("read-only disk") << "readonly/gen.bin" << int(dfReadOnly);
}

void TestDownload::unwritableTargetFailsAtOnce() {
    QFETCH(QString, target);
    QFETCH(int, failure);
    TDownloadFixture fixture;
    QVERIFY(WriteTestFile(fixture.FilePath("blocker"), "x"));
    const QString readOnly = fixture.FilePath("readonly");
    QVERIFY(QDir().mkpath(readOnly));
    if (failure == dfReadOnly &&
        QProcess::execute("mount", {"-t", "tmpfs", "-o", "ro,size=64k", "tmpfs", readOnly}) != 0)
        QSKIP("mounting a read-only tmpfs is not permitted here");
    struct TUnmount {
        QString Path;
        bool Mounted;
        ~TUnmount() { Mounted ? void(QProcess::execute("umount", {Path})) : void(); }
    } unmount{readOnly, failure == dfReadOnly};
    TLogCapture log;
    const QString file = fixture.FilePath(target);
    const QString url = m_server->Url("/_gen/1000");
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 1, kWait);

    QCOMPARE(log.CountContaining("DownloadThread Error: cannot open " + file), 1);
    QCOMPARE(m_server->Requests("/_gen/1000"), 0);
    QCOMPARE(fixture.Failed[0].Failure, failure);
    QCOMPARE(fixture.Failed[0].ErrorText, FailureText(failure));
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFailed);
    QCOMPARE(row.ErrorText, FailureText(failure));
}

void TestDownload::fullDiskKeepsTheLastGoodPosition() {
    // A disk that fills up mid-download: the process may write no file past 256 KiB (the write
    // that would cross fails with "File too large" instead of the signal that ends the process).
    TDownloadFixture fixture;
    struct TFileSizeLimit {
        rlimit Saved{};
        sighandler_t SavedHandler = signal(SIGXFSZ, SIG_IGN);
        TFileSizeLimit() {
            getrlimit(RLIMIT_FSIZE, &Saved);
            rlimit limited = Saved;
            limited.rlim_cur = 256 * 1024;
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        ~TFileSizeLimit() {
            setrlimit(RLIMIT_FSIZE, &Saved);
            signal(SIGXFSZ, SavedHandler);
        }
    } limit;

    TLogCapture log;
    const QString url = m_server->Url("/_gen/2000000?rate=1000000");
    const QString file = fixture.FilePath("gen.bin");
    fixture.Queue->StartDownload(url, file, 2000000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 1, 30000);

    QCOMPARE(log.CountContaining("DownloadThread Error: cannot write " + file), 1); // no retries
    QCOMPARE(fixture.Failed[0].ErrorText, QStringLiteral("文件超过了文件系统允许的大小"));
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFailed);
    const QByteArray held = ReadTestFile(file);
    QVERIFY2(row.Position <= held.size(), qPrintable(QString("%1 > %2").arg(row.Position).arg(held.size())));
    QVERIFY(held.left(int(row.Position)) == TTestServer::GeneratedBytes(0, row.Position));
}

void TestDownload::localFileIsCopiedAndResumed() {
    // The offline site's downloads are files of this computer.
    TDownloadFixture fixture;
    const QByteArray content = TTestServer::GeneratedBytes(0, 700 * 1024);
    const QString source = fixture.FilePath("source.zip");
    QVERIFY(WriteTestFile(source, content));
    const QString url = QUrl::fromLocalFile(source).toString();

    const QString fresh = fixture.FilePath("fresh.zip");
    fixture.Queue->StartDownload(url, fresh, 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);
    QCOMPARE(ReadTestFile(fresh), content);
    QCOMPARE(fixture.Finished[0].TotalSize, qint64(content.size()));

    // An interrupted copy goes on from what the target holds.
    const QString second = fixture.FilePath("second.zip");
    QVERIFY(WriteTestFile(second, content));
    const QString secondUrl = QUrl::fromLocalFile(second).toString();
    const QString partial = fixture.FilePath("partial.zip");
    QVERIFY(WriteTestFile(partial, content.left(1000)));
    fixture.StoreRow(secondUrl, partial, 1000, content.size(), dsPaused);
    fixture.Queue->StartDownload(secondUrl, partial, 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 2, kWait);
    QCOMPARE(ReadTestFile(partial), content);
    QVERIFY(fixture.Failed.isEmpty());
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_Download.moc"
