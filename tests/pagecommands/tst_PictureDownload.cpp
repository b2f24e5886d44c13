// Saving a picture and the right-click menu's entries: a picture arrives byte for byte, an error
// status or an unreachable host leaves no file (and an existing one untouched), and the entries
// come in their order for images, links and both.
#include "pagecommands/ContextMenuEntries.h"
#include "pagecommands/PictureDownload.h"
#include "support/TestServer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
QVector<int> Ids(bool onImage, bool onLink) {
    QVector<int> ids;
    for (const TContextMenuEntries::TEntry& entry : TContextMenuEntries::Entries(onImage, onLink))
        ids << entry.Id;
    return ids;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TPictureDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pictureArrivesWhole();
    void errorStatusSavesNothing();
    void unreachableHostSavesNothing();
    void tricklingServerEndsOnCancelOrDeadline();
    void menuEntries_data();
    void menuEntries();

private:
    std::unique_ptr<TTestServer> m_server;
    QTemporaryDir m_dir;
};

void TPictureDownloadTest::initTestCase() {
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
    QVERIFY(m_dir.isValid());
}

void TPictureDownloadTest::pictureArrivesWhole() {
    QByteArray picture("\x89PNG\r\n\x1a\n", 8);
    picture.append(QByteArray(5000, '\x7f'));
    QVERIFY(m_server->WriteFile("img/pic.png", picture));
    const QString target = m_dir.filePath("pic.png");
    QString error;
    QVERIFY2(TPictureDownload::Save(m_server->Url("/img/pic.png?x=1"), target, &error), qPrintable(error));
    QCOMPARE(ReadAll(target), picture);
}

void TPictureDownloadTest::errorStatusSavesNothing() {
    const QString fresh = m_dir.filePath("missing.png");
    QString error;
    QVERIFY(!TPictureDownload::Save(m_server->Url("/img/missing.png"), fresh, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(fresh));
    // A file chosen to be replaced stays as it was.
    const QString existing = m_dir.filePath("kept.png");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old picture");
    file.close();
    QVERIFY(!TPictureDownload::Save(m_server->Url("/img/missing.png"), existing));
    QCOMPARE(ReadAll(existing), QByteArray("old picture"));
}

void TPictureDownloadTest::unreachableHostSavesNothing() {
    const QString target = m_dir.filePath("unreachable.png");
    QVERIFY(!TPictureDownload::Save(QStringLiteral("http://127.0.0.1:1/pic.png"), target));
    QVERIFY(!QFile::exists(target));
}

// A server sending a byte now and then: the save runs beside the event loop, and a cancel or the
// deadline ends it without leaving a file.
void TPictureDownloadTest::tricklingServerEndsOnCancelOrDeadline() {
    const QString slow = m_server->Url("/_gen/100000?rate=1");
    for (const bool cancel : {true, false}) {
        const QString target = m_dir.filePath(cancel ? "cancelled.png" : "late.png");
        TPictureDownload download(slow, target);
        download.SetDeadline(cancel ? 0 : 1500);
        QSignalSpy cancelled(&download, &TPictureDownload::Cancelled);
        QSignalSpy failed(&download, &TPictureDownload::Failed);
        QSignalSpy progress(&download, &TPictureDownload::Progress);
        download.Start();
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
        tick.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 20 && !progress.isEmpty(), 10000);
        if (cancel)
            download.Cancel();
        QTRY_COMPARE_WITH_TIMEOUT(cancelled.size() + failed.size(), 1, 10000);
        QCOMPARE(cancelled.size(), cancel ? 1 : 0);
        if (!cancel)
            QVERIFY2(failed.first().first().toString().contains("deadline"), qPrintable(failed.first().first().toString()));
        QVERIFY(!QFile::exists(target));
    }
}

void TPictureDownloadTest::menuEntries_data() {
    using E = TContextMenuEntries;
    QTest::addColumn<bool>("onImage");
    QTest::addColumn<bool>("onLink");
    QTest::addColumn<QVector<int>>("tail"); // the entries after "网页另存为"
    QTest::newRow("plain") << false << false << QVector<int>{E::Separator, E::InspectElement};
    QTest::newRow("link") << false << true
                          << QVector<int>{E::Separator, E::CopyLinkAddress, E::Separator, E::InspectElement};
    QTest::newRow("linked image") << true << true
                                  << QVector<int>{E::Separator,          E::SavePicture,
                                                  E::CopyPictureAddress, E::OpenPictureInNewTab,
                                                  E::Separator,          E::CopyLinkAddress,
                                                  E::Separator,          E::InspectElement};
}

void TPictureDownloadTest::menuEntries() {
    using E = TContextMenuEntries;
    QFETCH(bool, onImage);
    QFETCH(bool, onLink);
    QFETCH(QVector<int>, tail);
    const QVector<int> head{E::Separator, E::Refresh,   E::SelectAll,   E::Cut,
                            E::Copy,      E::Separator, E::AddFavorite, E::SavePage};
    QCOMPARE(Ids(onImage, onLink), head + tail);
    QCOMPARE(TContextMenuEntries::Entries(onImage, onLink).last().Caption, QStringLiteral("审查元素"));
}

QTEST_GUILESS_MAIN(TPictureDownloadTest)
#include "tst_PictureDownload.moc"
