// The folder the new-download dialog proposes: the set or the last folder by the folder mode,
// the default download folder when that one is not there.
#include "common/AppPaths.h"
#include "downloads/DownloadFolder.h"
#include "storage/Config.h"
#include "support/TestDb.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestDownloadFolder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void proposedFolder_data();
    void proposedFolder();
    void folderOfPath();
};

void TestDownloadFolder::proposedFolder_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("setFolder");  // "@" = an existing folder
    QTest::addColumn<QString>("lastFolder"); // "@" = an existing folder
    QTest::addColumn<QString>("expected");   // "@" = that folder, "default" = the default one
    QTest::newRow("last folder") << 0 << ""
                                 << "@"
                                 << "@";
    QTest::newRow("last folder, set one ignored") << 0 << "/nonexistent/a"
                                                  << "@"
                                                  << "@";
    QTest::newRow("set folder") << 1 << "@"
                                << "/nonexistent/b"
                                << "@";
    QTest::newRow("set folder removed") << 1 << "/nonexistent/a"
                                        << "@"
                                        << "default";
    QTest::newRow("last folder removed") << 0 << "@"
                                         << "/nonexistent/b"
                                         << "default";
    QTest::newRow("nothing stored") << 0 << ""
                                    << ""
                                    << "default";
}

void TestDownloadFolder::proposedFolder() {
    QFETCH(int, mode);
    QFETCH(QString, setFolder);
    QFETCH(QString, lastFolder);
    QFETCH(QString, expected);
    TTestDb db;
    QTemporaryDir folder;
    const QString existing = folder.path(); // without "/": the answer adds it
    TConfig config(db.Db());
    config.DownloadFolderMode = quint8(mode);
    config.DownloadFolder = setFolder == "@" ? existing : setFolder;
    config.LastDownloadFolder = lastFolder == "@" ? existing : lastFolder;
    const QString answer = ProposedDownloadFolder(config);
    QCOMPARE(answer, expected == "@" ? existing + "/" : DefaultDownloadDir());
    QVERIFY(QDir(answer).exists());
}

void TestDownloadFolder::folderOfPath() {
    QCOMPARE(FolderOfPath("/home/u/下载/a.zip"), QString("/home/u/下载/"));
    QCOMPARE(WithTrailingSlash("/x/"), QString("/x/"));
    QCOMPARE(WithTrailingSlash(""), QString(""));
}

QTEST_GUILESS_MAIN(TestDownloadFolder)
#include "tst_DownloadFolder.moc"
