// Tests of the download queue: its table statements, starting, restarting, pausing and deleting
// downloads, the handling of the workers' messages, and what it stores when it is destroyed.
#include "DownloadFixture.h"
#include "support/TestServer.h"

#include <QStandardPaths>
#include <QUrl>
#include <QtTest>

namespace {
const int kWait = 15000;
} // namespace

class TestDownloadQueue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rowsKeepTheirTextsWhole_data();
    void rowsKeepTheirTextsWhole();
    void missingRowLoadsAsZero();
    void loadAllListsTheOldestFirst();
    void deleteInactiveKeepsOnlyRunningRows();
    void startInsertsARunningRow();
    void startKeepsAnExistingRow();
    void restartUnderAnotherNameFollowsTheNewFile();
    void unknownSizeIsStoredAsZero();
    void restartReplacesTheRunningWorker();
    void pauseWithoutAWorkerChangesNothing();
    void finishedDownload();
    void failedWorkerIsDroppedAndResumable();
    void failureReachesTheOwnerWithItsReason_data();
    void failureReachesTheOwnerWithItsReason();
    void staleMessagesAreIgnored();
    void deleteStopsTheWorkerAndRemovesTheRow();
    void destructionStoresRunningRowsAsPaused();
    void creationStoresRowsLeftRunningAsPaused();
    void freeFileNameSkipsListedDownloads();

private:
    std::unique_ptr<TTestServer> m_server;
};

void TestDownloadQueue::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
}

void TestDownloadQueue::rowsKeepTheirTextsWhole_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("quotes") << QStringLiteral("http://h/it's/a'b.zip?q='x'")
                            << QStringLiteral("/home/u/O'Neil's ''files''/a.zip");
    QTest::newRow("percent escapes") << QStringLiteral("http://h/%E6%96%87%20%31.rar?s=%3D%41%5")
                                     << QStringLiteral("/home/u/%1 %2%3.rar");
    QTest::newRow("chinese") << QStringLiteral("http://下载.example/文件 1.rar")
                             << QStringLiteral("/home/u/Quellon下载/文件 1.rar");
    QTest::newRow("signed address past 1000 characters")
        << QStringLiteral("http://cdn.example/f.iso?sig=") + QString(1500, 'a') + QStringLiteral("&end=1")
        << QStringLiteral("/home/u/") + QString(300, 'd') + QStringLiteral("/f.iso");
}

void TestDownloadQueue::rowsKeepTheirTextsWhole() {
    QFETCH(QString, url);
    QFETCH(QString, fileName);
    TDownloadFixture fixture;
    fixture.StoreRow(url, fileName, 123, 4567, dsPaused);
    QVERIFY(fixture.Queue->DownloadExists(url));

    TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.Url, url);
    QCOMPARE(row.FileName, fileName);
    QCOMPARE(row.Position, qint64(123));
    QCOMPARE(row.TotalSize, qint64(4567));
    QCOMPARE(row.State, dsPaused);
    QVERIFY(row.ProgressText.isEmpty());

    row.Position = 5000000000LL; // past 32 bits
    row.TotalSize = 6000000000LL;
    row.State = dsDownloading;
    QVERIFY(fixture.Queue->SaveDownload(row));
    QVERIFY(fixture.Queue->SetDownloadState(url, dsFinished));
    row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.Position, 5000000000LL);
    QCOMPARE(row.TotalSize, 6000000000LL);
    QCOMPARE(row.State, dsFinished);

    fixture.Queue->DeleteDownload(url);
    QVERIFY(!fixture.Queue->DownloadExists(url));
}

void TestDownloadQueue::missingRowLoadsAsZero() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://h/a", "/a", 10, 20, dsFinished);
    const TDownloadInfo row = fixture.Queue->LoadDownload("http://h/b");
    QVERIFY(row.Url.isEmpty() && row.FileName.isEmpty());
    QCOMPARE(row.Position, qint64(0));
    QCOMPARE(row.TotalSize, qint64(0));
    QCOMPARE(row.State, dsPaused);
    QVERIFY(!fixture.Queue->DownloadExists("http://h/b"));
}

void TestDownloadQueue::loadAllListsTheOldestFirst() {
    TDownloadFixture fixture;
    const QStringList urls{"http://h/z", "http://h/a", "http://h/m"};
    for (const QString& url : urls)
        fixture.StoreRow(url, "/f", 0, 0, dsPaused);
    QStringList listed;
    for (const TDownloadInfo& info : fixture.Queue->LoadAllDownloads())
        listed << info.Url;
    QCOMPARE(listed, urls);
}

void TestDownloadQueue::deleteInactiveKeepsOnlyRunningRows() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://h/paused", "/p", 1, 2, dsPaused);
    fixture.StoreRow("http://h/finished", "/f", 2, 2, dsFinished);
    fixture.StoreRow("http://h/running", "/r", 1, 2, dsDownloading);
    QVERIFY(fixture.Queue->DeleteInactiveDownloads());
    const QList<TDownloadInfo> rows = fixture.Queue->LoadAllDownloads();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].Url, QStringLiteral("http://h/running"));
}

void TestDownloadQueue::startInsertsARunningRow() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/100000?stall=10");
    fixture.Queue->StartDownload(url, fixture.FilePath("a'b.bin"), 100000);
    QVERIFY(fixture.Queue->IsRunning(url));
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsDownloading);
    QCOMPARE(row.Position, qint64(0));
    QCOMPARE(row.TotalSize, qint64(100000));
    QCOMPARE(row.FileName, fixture.FilePath("a'b.bin"));
}

void TestDownloadQueue::startKeepsAnExistingRow() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/3000");
    const QString file = fixture.FilePath("gen.bin");
    QVERIFY(fixture.StorePartial(url, file, 1200, 3000));
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, 99);
    TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsPaused); // until the worker's first notice
    QCOMPARE(row.Position, qint64(1200));
    QCOMPARE(row.TotalSize, qint64(3000));
    QCOMPARE(fixture.Queue->LoadAllDownloads().size(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);
    QCOMPARE(m_server->Requests("/_gen/3000"), 1);
    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, 3000));
    row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFinished);
    QCOMPARE(row.FileName, file);
}

void TestDownloadQueue::restartUnderAnotherNameFollowsTheNewFile() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/3000");
    const QString oldFile = fixture.FilePath("gen.bin");
    const QString newFile = fixture.FilePath("other name.bin");
    QVERIFY(fixture.StorePartial(url, oldFile, 1200, 3000));
    fixture.Queue->StartDownload(url, newFile, 3000);
    TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.FileName, newFile);
    QCOMPARE(row.Position, qint64(0)); // the new file starts empty
    QCOMPARE(fixture.Queue->LoadAllDownloads().size(), 1);

    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);
    QVERIFY(ReadTestFile(newFile) == TTestServer::GeneratedBytes(0, 3000));
    QVERIFY(ReadTestFile(oldFile) == TTestServer::GeneratedBytes(0, 1200)); // left alone
    row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.FileName, newFile);
    QCOMPARE(row.Position, qint64(3000));
    QCOMPARE(row.State, dsFinished);
}

void TestDownloadQueue::unknownSizeIsStoredAsZero() {
    // The engines give -1 for a size they do not know.
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/100000?stall=10");
    fixture.Queue->StartDownload(url, fixture.FilePath("a.bin"), -1);
    QCOMPARE(fixture.Queue->LoadDownload(url).TotalSize, qint64(0));
    fixture.Queue->PauseDownload(url);

    fixture.StoreRow("http://h/b", "/b", -1, -1, dsPaused);
    TDownloadInfo row = fixture.Queue->LoadDownload("http://h/b");
    QCOMPARE(row.Position, qint64(0));
    QCOMPARE(row.TotalSize, qint64(0));
    row.TotalSize = -1;
    QVERIFY(fixture.Queue->SaveDownload(row));
    QCOMPARE(fixture.Queue->LoadDownload("http://h/b").TotalSize, qint64(0));
    // A row an older version stored with -1 reads as unknown too.
    QVERIFY(fixture.TestDb.Db().Execute("UPDATE qb_download SET total_size = -1"));
    QCOMPARE(fixture.Queue->LoadAllDownloads().value(1).TotalSize, qint64(0));
}

void TestDownloadQueue::restartReplacesTheRunningWorker() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/100000?stall=2000");
    fixture.Queue->StartDownload(url, fixture.FilePath("a.bin"), 100000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Progress.size(), 1, kWait);
    m_server->ResetStats();

    fixture.Queue->StartDownload(url, fixture.FilePath("a.bin"), 100000);
    QVERIFY(fixture.Queue->IsRunning(url));
    QCOMPARE(fixture.Queue->LoadAllDownloads().size(), 1);
    // The new worker resumes from the stored position: its request is the only new one.
    QTRY_COMPARE_WITH_TIMEOUT(m_server->Requests("/_gen/100000"), 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Progress.size(), 2, kWait);
    QVERIFY(fixture.Progress.last().Position > fixture.Progress.first().Position);
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsDownloading);
}

void TestDownloadQueue::pauseWithoutAWorkerChangesNothing() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://h/a", "/a", 5, 10, dsDownloading);
    fixture.Queue->PauseDownload("http://h/a");
    fixture.Queue->PauseDownload("http://h/none");
    QCOMPARE(fixture.Queue->LoadDownload("http://h/a").State, dsDownloading);
    QCOMPARE(fixture.Queue->LoadAllDownloads().size(), 1);
}

void TestDownloadQueue::finishedDownload() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/300000?q='quoted'");
    const QString file = fixture.FilePath("it's.bin");
    fixture.Queue->StartDownload(url, file, 300000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Finished.size(), 1, kWait);

    const TDownloadInfo finished = fixture.Finished[0];
    QCOMPARE(finished.Url, url);
    QCOMPARE(finished.State, dsFinished);
    QCOMPARE(finished.Position, qint64(300000));
    QCOMPARE(finished.TotalSize, qint64(300000));
    QVERIFY(!fixture.Queue->IsRunning(url));
    QTRY_COMPARE(fixture.Owner.Count(WM_DOWNLOAD_FINISHED), 1);
    QCOMPARE(fixture.Owner.Entries[0].WParam, qintptr(0));
    QCOMPARE(fixture.Owner.Entries[0].LParam, qintptr(0));

    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFinished);
    QCOMPARE(row.Position, qint64(300000));
    QCOMPARE(row.FileName, file);
    QVERIFY(ReadTestFile(file) == TTestServer::GeneratedBytes(0, 300000));
    QTest::qWait(100);
    QCOMPARE(fixture.Finished.size(), 1);
}

void TestDownloadQueue::failedWorkerIsDroppedAndResumable() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/5000?status=500");
    const QString file = fixture.FilePath("gen.bin");
    QVERIFY(fixture.StorePartial(url, file, 800, 5000));
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 1, kWait);

    QCOMPARE(m_server->Requests("/_gen/5000"), 5);
    QCOMPARE(fixture.Failed[0].Url, url);
    QVERIFY(!fixture.Queue->IsRunning(url));
    TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFailed);
    QCOMPARE(row.Position, qint64(800));

    // Neither a pause nor a restart reaches the ended worker; the restart runs a new one.
    fixture.Queue->SetDownloadState(url, dsDownloading);
    fixture.Queue->PauseDownload(url);
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsDownloading);
    fixture.Queue->StartDownload(url, file, 5000);
    QVERIFY(fixture.Queue->IsRunning(url));
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 2, kWait);
    fixture.Queue->DeleteDownload(url);
    QVERIFY(!fixture.Queue->DownloadExists(url));
}

void TestDownloadQueue::failureReachesTheOwnerWithItsReason_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("held");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("attempts");
    // Refused by the server or changed there: asking again cannot help, the first answer ends it.
    QTest::newRow("missing file") << QStringLiteral("/missing.bin") << qint64(0)
                                  << QStringLiteral("服务器上没有这个文件（HTTP 404）") << 1;
    QTest::newRow("forbidden") << QStringLiteral("/_gen/5000?status=403") << qint64(0)
                               << QStringLiteral("服务器拒绝访问（HTTP 403）") << 1;
    QTest::newRow("server error") << QStringLiteral("/_gen/5000?status=503") << qint64(700)
                                  << QStringLiteral("服务器出错（HTTP 503）") << TDownload::MaxAttempts;
    QTest::newRow("file changed") << QStringLiteral("/_gen/9000") << qint64(700)
                                  << QStringLiteral("服务器上的文件已改变") << 1;
}

void TestDownloadQueue::failureReachesTheOwnerWithItsReason() {
    QFETCH(QString, path);
    QFETCH(qint64, held);
    QFETCH(QString, reason);
    QFETCH(int, attempts);
    TDownloadFixture fixture;
    QList<QPair<TDownloadInfo, QString>> signalled;
    QObject::connect(fixture.Queue, &TDownloadQueue::Failed,
                     [&](const TDownloadInfo& info, const QString& text) {
                         signalled.append({info, text});
                     });
    const QString url = m_server->Url(path);
    const QString file = fixture.FilePath("gen.bin");
    if (held > 0)
        QVERIFY(fixture.StorePartial(url, file, held, 5000));
    m_server->ResetStats();
    fixture.Queue->StartDownload(url, file, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 1, kWait);

    QCOMPARE(fixture.Failed[0].ErrorText, reason);
    QCOMPARE(m_server->Requests(QUrl(url).path()), attempts);
    QCOMPARE(signalled.size(), 1);
    QCOMPARE(signalled[0].first.Url, url);
    QCOMPARE(signalled[0].second, reason);
    // The row stays failed, with its reason, for the next run; at a restart too.
    delete fixture.Queue;
    fixture.Queue = new TDownloadQueue(fixture.TestDb.Db(), &fixture.Owner);
    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.State, dsFailed);
    QCOMPARE(row.ErrorText, reason);
    QCOMPARE(row.Position, held);
    // The state column keeps the failure's code above the ordinary states 0 to 2.
    const auto stored = fixture.TestDb.Db().Query("SELECT finished FROM qb_download");
    QVERIFY(stored && stored->FieldAsInt64("finished") == row.Failure && row.Failure > dsDownloading);
    QVERIFY(fixture.Queue->DeleteInactiveDownloads());
    QVERIFY(!fixture.Queue->DownloadExists(url));
}

void TestDownloadQueue::staleMessagesAreIgnored() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://h/a", "/a", 5, 10, dsPaused);
    TDownloadInfo info;
    info.Url = "http://h/a";
    info.Position = 9;
    info.TotalSize = 10;
    for (const int id : {int(WM_DOWNLOAD_PROGRESS), int(WM_DOWNLOAD_FINISHED), int(WM_DOWNLOAD_FAILED)}) {
        info.State = id == WM_DOWNLOAD_FINISHED ? dsFinished : dsDownloading;
        QCoreApplication::postEvent(fixture.Queue->QueueWindow(),
                                    new TRecordMessage<TDownloadInfo>(id, info, 77));
    }
    QCoreApplication::sendPostedEvents(fixture.Queue);
    QVERIFY(fixture.Progress.isEmpty() && fixture.Finished.isEmpty() && fixture.Failed.isEmpty());
    QVERIFY(fixture.Owner.Entries.isEmpty());
    const TDownloadInfo row = fixture.Queue->LoadDownload("http://h/a");
    QCOMPARE(row.Position, qint64(5));
    QCOMPARE(row.State, dsPaused);
}

void TestDownloadQueue::deleteStopsTheWorkerAndRemovesTheRow() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/100000?stall=500");
    fixture.Queue->StartDownload(url, fixture.FilePath("a.bin"), 100000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Progress.size(), 1, kWait);
    fixture.Queue->DeleteDownload(url);
    QVERIFY(!fixture.Queue->IsRunning(url));
    QVERIFY(fixture.Queue->LoadAllDownloads().isEmpty());
    QTest::qWait(300);
    QVERIFY(fixture.Queue->LoadAllDownloads().isEmpty()); // no late notice brings it back
    QCOMPARE(fixture.Progress.size(), 1);
}

void TestDownloadQueue::destructionStoresRunningRowsAsPaused() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://h/paused", "/p", 1, 9, dsPaused);
    fixture.StoreRow("http://h/finished", "/f", 9, 9, dsFinished);
    fixture.StoreRow("http://h/left-running", "/r", 3, 9, dsDownloading);
    const QString url = m_server->Url("/_gen/100000?stall=700");
    fixture.Queue->StartDownload(url, fixture.FilePath("a.bin"), 100000);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Progress.size(), 1, kWait);
    const qint64 reported = fixture.Progress.last().Position;

    delete fixture.Queue;
    fixture.Queue = nullptr;
    TDownloadQueue reader(fixture.TestDb.Db(), nullptr);
    QMap<QString, int> states;
    for (const TDownloadInfo& info : reader.LoadAllDownloads())
        states.insert(info.Url, info.State);
    QCOMPARE(states.value("http://h/paused"), int(dsPaused));
    QCOMPARE(states.value("http://h/finished"), int(dsFinished));
    QCOMPARE(states.value("http://h/left-running"), int(dsPaused));
    QCOMPARE(states.value(url), int(dsPaused));
    QCOMPARE(reader.LoadDownload(url).Position, reported);
    QTest::qWait(300); // the stopped worker ends without touching the destroyed queue
    QCOMPARE(reader.LoadDownload(url).State, dsPaused);
}

void TestDownloadQueue::creationStoresRowsLeftRunningAsPaused() {
    // The program was killed during a download: its row still says running.
    TDownloadFixture fixture;
    fixture.StoreRow("http://h/killed", "/k", 3, 9, dsDownloading);
    fixture.StoreRow("http://h/finished", "/f", 9, 9, dsFinished);
    TDownloadQueue next(fixture.TestDb.Db(), nullptr);
    QCOMPARE(next.LoadDownload("http://h/killed").State, dsPaused);
    QCOMPARE(next.LoadDownload("http://h/killed").Position, qint64(3));
    QCOMPARE(next.LoadDownload("http://h/finished").State, dsFinished);
}

void TestDownloadQueue::freeFileNameSkipsListedDownloads() {
    TDownloadFixture fixture;
    const QString listed = fixture.FilePath("a.zip");
    fixture.StoreRow("http://h/a.zip", listed, 0, 0, dsPaused); // not on disk yet
    QCOMPARE(fixture.Queue->FreeFileNameFor(listed), fixture.FilePath("a (1).zip"));
    // The download that writes there may go on writing there.
    QCOMPARE(fixture.Queue->FreeFileNameFor(listed, "http://h/a.zip"), listed);
    QCOMPARE(fixture.Queue->FreeFileNameFor(fixture.FilePath("b.zip")), fixture.FilePath("b.zip"));
}

QTEST_GUILESS_MAIN(TestDownloadQueue)
#include "tst_DownloadQueue.moc"
