// The download manager's rows: following the queue's progress, finish and failure, deleting
// (renumbering, with and without the file), finished rows whose file is gone, downloading again,
// and letting go of the queue.
#include "DownloadFixture.h"
#include "downloads/DownloadFailure.h"
#include "downloads/DownloadListModel.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {
const int kWait = 15000;
} // namespace

class TestDownloadListModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rowFollowsProgressAndFinish();
    void progressIsKeptAndRepaintedTogether();
    void failureShowsItsReason();
    void deleteRenumbersTheRowsAfter();
    void deleteKeepsOrRemovesTheFile_data();
    void deleteKeepsOrRemovesTheFile();
    void finishedRowWithoutItsFile();
    void reDownloadStartsOverFromTheFirstByte();
    void pauseAndContinue();
    void letsGoOfTheQueue();

private:
    std::unique_ptr<TTestServer> m_server;
};

void TestDownloadListModel::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
}

void TestDownloadListModel::rowFollowsProgressAndFinish() {
    TDownloadFixture fixture;
    TDownloadListModel model(*fixture.Queue);
    model.RepaintInterval = 0;
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QString url = m_server->Url("/_gen/300000?rate=400000");
    const QString file = fixture.FilePath("gen.bin");
    fixture.Queue->StartDownload(url, file, 300000);
    TDownloadInfo row;
    row.Url = url;
    row.FileName = file;
    row.TotalSize = 300000;
    row.State = dsDownloading;
    model.AddDownloadRow(row);
    QCOMPARE(model.rowCount(), 1);

    QTRY_VERIFY_WITH_TIMEOUT(model.Info(0).Position > 0 || model.Info(0).State == dsFinished, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(model.Info(0).State, dsFinished, kWait);
    QCOMPARE(model.Info(0).Position, qint64(300000));
    QVERIFY(!changed.isEmpty());
    QVERIFY(!model.FileMissing(0));
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsFinished);
}

// Notices between two repaints are kept in the rows and shown by one repaint.
void TestDownloadListModel::progressIsKeptAndRepaintedTogether() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://a/1", fixture.FilePath("1"), 0, 1000, dsDownloading);
    fixture.StoreRow("http://a/2", fixture.FilePath("2"), 0, 1000, dsDownloading);
    TDownloadListModel model(*fixture.Queue);
    model.RepaintInterval = 50;
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    TDownloadInfo first{QString(), "http://a/1", 100, 1000, dsDownloading, "1K/S 100B/1000B", QString()};
    TDownloadInfo second{QString(), "http://a/2", 200, 1000, dsDownloading, "2K/S 200B/1000B", QString()};
    model.UpdateProgress(first);
    model.UpdateProgress(second);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(model.Info(0).Position, qint64(100));
    QCOMPARE(model.Info(1).ProgressText, QString("2K/S 200B/1000B"));
    QTRY_COMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex().row(), 0);
    QCOMPARE(changed[0][1].toModelIndex().row(), 1);
}

void TestDownloadListModel::failureShowsItsReason() {
    TDownloadFixture fixture;
    TDownloadListModel model(*fixture.Queue);
    const QString url = m_server->Url("/missing.bin");
    const QString file = fixture.FilePath("missing.bin");
    fixture.Queue->StartDownload(url, file, 0);
    model.AddDownloadRow(fixture.Queue->LoadDownload(url));
    QTRY_COMPARE_WITH_TIMEOUT(model.Info(0).State, dsFailed, kWait);
    const QString reason = QStringLiteral("服务器上没有这个文件（HTTP 404）");
    QCOMPARE(model.Info(0).ErrorText, reason);
    const QString hint = model.data(model.index(0), Qt::ToolTipRole).toString();
    QVERIFY2(hint.contains(reason) && hint.contains(file) && hint.contains(url), qPrintable(hint));
    QCOMPARE(FailureDetails(model.Info(0)), reason + "（" + url + "）");

    // Continuing clears the reason.
    model.TogglePause(0);
    QCOMPARE(model.Info(0).State, dsDownloading);
    QVERIFY(model.Info(0).ErrorText.isEmpty());
    fixture.Queue->PauseDownload(url);
}

void TestDownloadListModel::deleteRenumbersTheRowsAfter() {
    TDownloadFixture fixture;
    for (const char* name : {"1", "2", "3"})
        fixture.StoreRow(QStringLiteral("http://a/") + name, fixture.FilePath(name), 0, 1000, dsPaused);
    TDownloadListModel model(*fixture.Queue);
    model.RepaintInterval = 0;
    model.DeleteRow(0, false);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.RowOf("http://a/3"), 1);
    QCOMPARE(model.RowOf("http://a/1"), -1);
    model.UpdateProgress(TDownloadInfo{QString(), "http://a/3", 700, 1000, dsDownloading, "x", QString()});
    QCOMPARE(model.Info(1).Position, qint64(700));
    QCOMPARE(model.Info(0).Position, qint64(0));
    QVERIFY(!fixture.Queue->DownloadExists("http://a/1"));
}

void TestDownloadListModel::deleteKeepsOrRemovesTheFile_data() {
    QTest::addColumn<bool>("deleteFile");
    QTest::newRow("file kept") << false;
    QTest::newRow("file removed") << true;
}

void TestDownloadListModel::deleteKeepsOrRemovesTheFile() {
    QFETCH(bool, deleteFile);
    TDownloadFixture fixture;
    const QString file = fixture.FilePath("done.zip");
    QVERIFY(WriteTestFile(file, "data"));
    fixture.StoreRow("http://a/done.zip", file, 4, 4, dsFinished);
    TDownloadListModel model(*fixture.Queue);
    model.DeleteRow(0, deleteFile);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(QFileInfo::exists(file), !deleteFile);
    QVERIFY(fixture.Queue->LoadAllDownloads().isEmpty());
}

void TestDownloadListModel::finishedRowWithoutItsFile() {
    TDownloadFixture fixture;
    const QString file = fixture.FilePath("gone.zip");
    fixture.StoreRow("http://a/gone.zip", file, 4, 4, dsFinished);
    fixture.StoreRow("http://a/part.zip", fixture.FilePath("part.zip"), 0, 4, dsPaused);
    TDownloadListModel model(*fixture.Queue);
    QVERIFY(model.FileMissing(0));
    QVERIFY(!model.FileMissing(1)); // only finished rows can miss their file
    QVERIFY(model.data(model.index(0), Qt::ToolTipRole).toString().contains(file));

    QVERIFY(WriteTestFile(file, "data"));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.RefreshMissingFiles();
    QVERIFY(!model.FileMissing(0));
    QCOMPARE(changed.size(), 1);
}

void TestDownloadListModel::reDownloadStartsOverFromTheFirstByte() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/5000");
    const QString file = fixture.FilePath("gen.bin");
    // An old file of other bytes, longer than the new one: none of it may survive.
    QVERIFY(WriteTestFile(file, QByteArray(9000, 'x')));
    fixture.StoreRow(url, file, 9000, 9000, dsFinished);
    TDownloadListModel model(*fixture.Queue);
    model.ReDownload(0);
    QCOMPARE(model.Info(0).State, dsDownloading);
    QCOMPARE(model.Info(0).Position, qint64(0));
    QTRY_COMPARE_WITH_TIMEOUT(model.Info(0).State, dsFinished, kWait);
    QCOMPARE(ReadTestFile(file), TTestServer::GeneratedBytes(0, 5000));
}

void TestDownloadListModel::pauseAndContinue() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/400000?rate=100000");
    fixture.StoreRow(url, fixture.FilePath("gen.bin"), 0, 400000, dsPaused);
    TDownloadListModel model(*fixture.Queue);
    model.TogglePause(0);
    QVERIFY(fixture.Queue->IsRunning(url));
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsDownloading);
    model.TogglePause(0);
    QVERIFY(!fixture.Queue->IsRunning(url));
    QCOMPARE(model.Info(0).State, dsPaused);
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsPaused);
}

// A closed manager must leave the queue no callback into a destroyed model.
void TestDownloadListModel::letsGoOfTheQueue() {
    TDownloadFixture fixture;
    {
        TDownloadListModel model(*fixture.Queue);
        QVERIFY(fixture.Queue->OnProgress);
    }
    QVERIFY(!fixture.Queue->OnProgress);
    QVERIFY(!fixture.Queue->OnFinished);
}

QTEST_GUILESS_MAIN(TestDownloadListModel)
#include "tst_DownloadListModel.moc"
