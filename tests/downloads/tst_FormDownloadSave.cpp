// The new-download dialog and the way a page's download reaches it: the proposed name never
// overwrites (checked again at OK), the checks of the fields, the copy keys, and the download
// centre's rules (listed addresses refused, the last folder remembered, cancel and closing).
#include "DownloadFixture.h"
#include "common/SizeText.h"
#include "downloads/DownloadCenter.h"
#include "downloads/DownloadListModel.h"
#include "downloads/FormDownload.h"
#include "downloads/FormDownloadSave.h"
#include "storage/Config.h"
#include "support/ModalAnswerer.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {

TDownloadInfo Notice(const QString& url, const QString& name, qint64 size) {
    TDownloadInfo info;
    info.Url = url;
    info.FileName = name;
    info.TotalSize = size;
    return info;
}

QLineEdit* Field(QWidget* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QLatin1String(name));
}

void ClickDownload(QWidget* dialog) {
    dialog->findChild<QPushButton*>(QStringLiteral("bsSkinButtonDownload"))->click();
}

} // namespace

class TestFormDownloadSave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void proposesAFreeName_data();
    void proposesAFreeName();
    void okChecksTheTargetAgain();
    void emptyOrFolderNamesStayOpen();
    void smallDiskIsWarnedAbout();
    void doubleClickOpensOneDialog();
    void copyKeysTakeTheWholeField();
    void listedAddressIsRefused();
    void acceptedDownloadStartsAndRemembersItsFolder();
    void unknownSizeIsZero();
    void cancelStartsNothing();
    void closingWindowIgnoresDownloads();
};

void TestFormDownloadSave::proposesAFreeName_data() {
    QTest::addColumn<bool>("onDisk");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free") << false << false << "a.zip";
    QTest::newRow("file on disk") << true << false << "a (1).zip";
    QTest::newRow("another download writes there") << false << true << "a (1).zip";
    QTest::newRow("both") << true << true << "a (1).zip";
}

void TestFormDownloadSave::proposesAFreeName() {
    QFETCH(bool, onDisk);
    QFETCH(bool, listed);
    QFETCH(QString, expected);
    TDownloadFixture fixture;
    const QString folder = fixture.Dir.path() + "/";
    if (onDisk)
        QVERIFY(WriteTestFile(folder + "a.zip", "old"));
    if (listed)
        fixture.StoreRow("http://other/a.zip", folder + "a.zip", 0, 10, dsPaused);
    TFormDownloadSave dialog(*fixture.Queue, Notice("http://h/a.zip", "a.zip", 10), folder);
    QCOMPARE(Field(&dialog, "bsSkinEditFileName")->text(), expected);
    QCOMPARE(Field(&dialog, "bsSkinEditSavePath")->text(), folder);
    QCOMPARE(Field(&dialog, "bsSkinEditUrl")->text(), QString("http://h/a.zip"));
}

// The file appears while the dialog is open: OK proposes the next free name and stays open; the
// second OK takes it. The existing file is untouched.
void TestFormDownloadSave::okChecksTheTargetAgain() {
    TDownloadFixture fixture;
    const QString folder = fixture.Dir.path() + "/";
    TFormDownloadSave dialog(*fixture.Queue, Notice("http://h/a.zip", "a.zip", 10), folder);
    QCOMPARE(Field(&dialog, "bsSkinEditFileName")->text(), QString("a.zip"));
    QVERIFY(WriteTestFile(folder + "a.zip", "mine"));

    TModalAnswerer answerer;
    dialog.DownloadClick();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.Result().isEmpty());
    QCOMPARE(answerer.Messages.size(), 1);
    QVERIFY(answerer.Messages[0].contains("a (1).zip"));
    QCOMPARE(Field(&dialog, "bsSkinEditFileName")->text(), QString("a (1).zip"));

    dialog.DownloadClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Result(), folder + "a (1).zip");
    QCOMPARE(ReadTestFile(folder + "a.zip"), QByteArray("mine"));
}

void TestFormDownloadSave::emptyOrFolderNamesStayOpen() {
    TDownloadFixture fixture;
    TFormDownloadSave dialog(*fixture.Queue, Notice("http://h/a.zip", "a.zip", 10), fixture.Dir.path() + "/");
    TModalAnswerer answerer;
    // 255 bytes (a Chinese character is 3), the longest name a Linux file system takes.
    const QString longest = QString(84, QChar(0x6587)) + "abc";
    for (const QString& name : {QStringLiteral("  "), QStringLiteral("../a.zip"), QStringLiteral("sub/a.zip"),
                                QStringLiteral(".."), QStringLiteral(" . "), longest + "x"}) {
        Field(&dialog, "bsSkinEditFileName")->setText(name);
        dialog.DownloadClick();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    Field(&dialog, "bsSkinEditFileName")->setText("a.zip");
    Field(&dialog, "bsSkinEditSavePath")->setText(" ");
    dialog.DownloadClick();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(answerer.Messages.mid(0, 5),
             QStringList({"请输入文件名！", "文件名不能包含“/”！", "文件名不能包含“/”！",
                          "文件名不能是“..”，它表示文件夹！", "文件名不能是“.”，它表示文件夹！"}));
    QVERIFY2(answerer.Messages.value(5).startsWith("文件名太长！"), qPrintable(answerer.Messages.value(5)));
    QCOMPARE(answerer.Messages.mid(6), QStringList("请选择下载地址！"));
    Field(&dialog, "bsSkinEditSavePath")->setText(fixture.Dir.path());
    Field(&dialog, "bsSkinEditFileName")->setText(longest);
    dialog.DownloadClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

// A disk with less room than the announced size: the user is warned and chooses.
void TestFormDownloadSave::smallDiskIsWarnedAbout() {
    TDownloadFixture fixture;
    const qint64 huge = qint64(1) << 60;
    TFormDownloadSave dialog(*fixture.Queue, Notice("http://h/a.iso", "a.iso", huge),
                             fixture.Dir.path() + "/");
    TModalAnswerer answerer;
    dialog.DownloadClick(); // answered No, the default
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(answerer.Messages.size() == 1 && answerer.Messages[0].contains(FormatSize(huge)));
    answerer.Answer = QMessageBox::Yes;
    dialog.DownloadClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

// A double click on a link reports the download twice, the second time while the first one's
// dialog is open: one dialog, one row, nothing renamed.
void TestFormDownloadSave::doubleClickOpensOneDialog() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    config.LastDownloadFolder = fixture.Dir.path() + "/";
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [] { return false; });
    QSignalSpy answered(&center, &TDownloadCenter::downloadAnswered);
    const QString url = "http://127.0.0.1:1/a.zip";
    TModalAnswerer answerer([&](QWidget* dialog) {
        if (answerer.DialogsSeen > 1)
            return static_cast<QDialog*>(dialog)->reject(); // a second dialog
        center.BeforeDownload(url, "a.zip", 10); // another notice while the dialog is open
        ClickDownload(dialog);
    });
    center.BeforeDownload(url, "a.zip", 10);
    center.BeforeDownload(url, "a.zip", 10);
    QTRY_VERIFY(fixture.Queue->DownloadExists(url));
    QCoreApplication::processEvents();
    QCOMPARE(answerer.DialogsSeen, 1);
    QVERIFY(answerer.Messages.isEmpty());
    QCOMPARE(answered.size(), 1);
    QCOMPARE(fixture.Queue->LoadDownload(url).FileName, fixture.FilePath("a.zip"));
    fixture.Queue->PauseDownload(url);
}

void TestFormDownloadSave::copyKeysTakeTheWholeField() {
    TDownloadFixture fixture;
    TFormDownloadSave dialog(*fixture.Queue, Notice("http://h/a.zip", "a.zip", 10), fixture.Dir.path() + "/");
    QLineEdit* url = Field(&dialog, "bsSkinEditUrl");
    url->setSelection(0, 4);
    QTest::keyRelease(url, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("http://h/a.zip"));
    url->deselect();
    QTest::keyRelease(url, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(url->selectedText(), QString("http://h/a.zip"));
    // Ctrl+Shift+C is not the copy key.
    QApplication::clipboard()->setText("before");
    QTest::keyRelease(url, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("before"));
}

void TestFormDownloadSave::listedAddressIsRefused() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    fixture.StoreRow("http://h/a.zip", fixture.FilePath("a.zip"), 10, 10, dsFinished);
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [] { return false; });
    TModalAnswerer answerer([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    center.BeforeDownload("http://h/a.zip", "a.zip", 10);
    QCoreApplication::processEvents();
    QCOMPARE(answerer.Messages, QStringList("文件已经在下载任务中！"));
    QCOMPARE(answerer.DialogsSeen, 0);
    QCOMPARE(fixture.Queue->LoadAllDownloads().size(), 1);
}

// Folder mode 0 proposes the last folder; a download to another folder makes that one the next
// proposal, stored as TConfigKey::LastDownloadFolder. The open manager gets the new row.
void TestFormDownloadSave::acceptedDownloadStartsAndRemembersItsFolder() {
    TDownloadFixture fixture;
    TTestServer server;
    QVERIFY(server.Running());
    QTemporaryDir first, second;
    TConfig config(fixture.TestDb.Db());
    config.DownloadFolderMode = 0;
    config.LastDownloadFolder = first.path() + "/";
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [] { return false; });
    center.ShowManager();
    QVERIFY(center.Manager());

    QStringList proposed;
    TModalAnswerer answerer([&](QWidget* dialog) {
        proposed << Field(dialog, "bsSkinEditSavePath")->text();
        Field(dialog, "bsSkinEditSavePath")->setText(second.path() + "/"); // as the folder picker does
        ClickDownload(dialog);
    });
    const QString url = server.Url("/_gen/2000");
    center.BeforeDownload(url, "gen.bin", 2000);
    QTRY_COMPARE(answerer.DialogsSeen, 1);
    QTRY_VERIFY(fixture.Queue->DownloadExists(url));
    QCOMPARE(center.Manager()->Model().rowCount(), 1);

    const TDownloadInfo row = fixture.Queue->LoadDownload(url);
    QCOMPARE(row.FileName, second.path() + "/gen.bin");
    QCOMPARE(row.TotalSize, qint64(2000));
    QCOMPARE(config.GetValue(TConfigKey::LastDownloadFolder), second.path() + "/");
    QCOMPARE(center.Manager()->Model().Info(0).Url, url);

    center.BeforeDownload(server.Url("/_gen/3000"), "gen3.bin", 3000);
    QTRY_COMPARE(answerer.DialogsSeen, 2);
    QCOMPARE(proposed, QStringList({first.path() + "/", second.path() + "/"}));
}

void TestFormDownloadSave::unknownSizeIsZero() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    config.LastDownloadFolder = fixture.Dir.path() + "/";
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [] { return false; });
    QString sizeText;
    TModalAnswerer answerer([&](QWidget* dialog) {
        sizeText = dialog->findChild<QLabel*>("bsSkinLabelFileSize")->text();
        ClickDownload(dialog);
    });
    center.BeforeDownload("http://127.0.0.1:1/x.zip", "x.zip", -1);
    QTRY_COMPARE(answerer.DialogsSeen, 1);
    QCOMPARE(sizeText, QString("0B"));
    QTRY_VERIFY(fixture.Queue->DownloadExists("http://127.0.0.1:1/x.zip"));
    QCOMPARE(fixture.Queue->LoadDownload("http://127.0.0.1:1/x.zip").TotalSize, qint64(0));
    fixture.Queue->PauseDownload("http://127.0.0.1:1/x.zip");
}

void TestFormDownloadSave::cancelStartsNothing() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [] { return false; });
    QSignalSpy answered(&center, &TDownloadCenter::downloadAnswered);
    TModalAnswerer answerer([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    center.BeforeDownload("http://h/a.zip", "a.zip", 10);
    QTRY_COMPARE(answerer.DialogsSeen, 1);
    QCoreApplication::processEvents();
    QCOMPARE(answered.size(), 1); // the window puts the page's address back into the bar
    QVERIFY(fixture.Queue->LoadAllDownloads().isEmpty());
    QVERIFY(!fixture.Queue->IsRunning("http://h/a.zip"));
    QVERIFY(config.GetValue(TConfigKey::LastDownloadFolder).isEmpty());
}

void TestFormDownloadSave::closingWindowIgnoresDownloads() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    bool closing = false;
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [&] { return closing; });
    TModalAnswerer answerer([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    center.BeforeDownload("http://h/a.zip", "a.zip", 10);
    closing = true; // the window began closing before the message arrived
    center.BeforeDownload("http://h/b.zip", "b.zip", 10);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(answerer.DialogsSeen, 0);
    QVERIFY(answerer.Messages.isEmpty());
}

QTEST_MAIN(TestFormDownloadSave)
#include "tst_FormDownloadSave.moc"
