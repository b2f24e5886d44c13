// The download manager window: what each kind of row offers where it is drawn (and the click on
// it), the pop-up menu's states, and deleting with and without the question and the file.
#include "DownloadFixture.h"
#include "support/ModalAnswerer.h"
#include "downloads/DownloadCenter.h"
#include "downloads/DownloadListModel.h"
#include "downloads/DownloadRowDelegate.h"
#include "downloads/FormDownload.h"
#include "storage/Config.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

namespace {

using TParts = QSet<int>;

QListView* Grid(TFormDownload& form) {
    return form.findChild<QListView*>(QStringLiteral("StringGrid1"));
}

// Every clickable part found along the middle line of the row, and where each one is.
QHash<int, QPoint> PartsOfRow(TFormDownload& form, int row) {
    QListView* grid = Grid(form);
    const QModelIndex index = grid->model()->index(row, 0);
    const QRect rect = grid->visualRect(index);
    QHash<int, QPoint> parts;
    for (int x = rect.left(); x <= rect.right(); ++x) {
        const QPoint point(x, rect.top() + TDownloadRowDelegate::RowHeight / 2);
        const int part = TDownloadRowDelegate::PartAt(rect, index, point);
        if (part != TDownloadRowDelegate::rpNone && !parts.contains(part))
            parts.insert(part, point);
    }
    return parts;
}

TParts KeysOf(const QHash<int, QPoint>& parts) {
    const QList<int> keys = parts.keys();
    return TParts(keys.begin(), keys.end());
}

QAction* MenuItem(TFormDownload& form, const char* name) {
    return form.findChild<QMenu*>(QStringLiteral("bsSkinPopupMenu1"))
        ->findChild<QAction*>(QLatin1String(name));
}

void ShowMenuItems(TFormDownload& form) {
    emit form.findChild<QMenu*>(QStringLiteral("bsSkinPopupMenu1"))->aboutToShow();
}

} // namespace

class TestFormDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rowsOfferWhatTheirStateAllows();
    void clickOnThePauseIconPauses();
    void menuFollowsTheSelectedRow();
    void emptyListDisablesEveryCommand();
    void deleteRow_data();
    void deleteRow();
    void missingFileIsDownloadedAgainWithoutAsking();
    void failureWhileClosedIsShownWhenOpened();
    void openLinksSayWhenNoProgramOpens();

private:
    std::unique_ptr<TTestServer> m_server;
};

void TestFormDownload::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_server = std::make_unique<TTestServer>();
    QVERIFY2(m_server->Running(), qPrintable(m_server->ErrorText()));
}

void TestFormDownload::rowsOfferWhatTheirStateAllows() {
    TDownloadFixture fixture;
    QVERIFY(WriteTestFile(fixture.FilePath("done.zip"), "data"));
    fixture.StoreRow("http://a/done.zip", fixture.FilePath("done.zip"), 4, 4, dsFinished);
    fixture.StoreRow("http://a/gone.zip", fixture.FilePath("gone.zip"), 4, 4, dsFinished);
    fixture.StoreRow("http://a/part.zip", fixture.FilePath("part.zip"), 1, 4, dsPaused);
    TConfig config(fixture.TestDb.Db());
    TFormDownload form(*fixture.Queue, config, nullptr);
    form.show();
    using D = TDownloadRowDelegate;
    QCOMPARE(KeysOf(PartsOfRow(form, 0)), TParts({D::rpOpenFile, D::rpOpenFolder, D::rpDelete}));
    QCOMPARE(KeysOf(PartsOfRow(form, 1)), TParts({D::rpReDownload, D::rpOpenFolder, D::rpDelete}));
    QCOMPARE(KeysOf(PartsOfRow(form, 2)), TParts({D::rpPause, D::rpDelete}));
}

void TestFormDownload::clickOnThePauseIconPauses() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/400000?rate=50000");
    fixture.StoreRow(url, fixture.FilePath("gen.bin"), 0, 400000, dsPaused);
    TConfig config(fixture.TestDb.Db());
    TFormDownload form(*fixture.Queue, config, nullptr);
    form.show();
    const QPoint pause = PartsOfRow(form, 0).value(TDownloadRowDelegate::rpPause);
    QTest::mouseClick(Grid(form)->viewport(), Qt::LeftButton, Qt::NoModifier, pause);
    QVERIFY(fixture.Queue->IsRunning(url));
    QCOMPARE(form.Model().Info(0).State, dsDownloading);
    QTest::mouseClick(Grid(form)->viewport(), Qt::LeftButton, Qt::NoModifier, pause);
    QVERIFY(!fixture.Queue->IsRunning(url));
    QCOMPARE(fixture.Queue->LoadDownload(url).State, dsPaused);
}

void TestFormDownload::menuFollowsTheSelectedRow() {
    TDownloadFixture fixture;
    fixture.StoreRow("http://a/gone.zip", fixture.FilePath("gone.zip"), 4, 4, dsFinished);
    fixture.StoreRow("http://a/part.zip", fixture.FilePath("part.zip"), 1, 4, dsPaused);
    TConfig config(fixture.TestDb.Db());
    TFormDownload form(*fixture.Queue, config, nullptr);
    Grid(form)->setCurrentIndex(Grid(form)->model()->index(0, 0));
    ShowMenuItems(form);
    QVERIFY(!MenuItem(form, "NStartDownload")->isEnabled());
    QVERIFY(MenuItem(form, "NReDownload")->isEnabled());
    QVERIFY(!MenuItem(form, "NOpenFile")->isEnabled()); // its file is gone
    MenuItem(form, "NCopyDownloadUrl")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("http://a/gone.zip"));

    Grid(form)->setCurrentIndex(Grid(form)->model()->index(1, 0));
    ShowMenuItems(form);
    QCOMPARE(MenuItem(form, "NStartDownload")->text(), QString("开始下载"));
    QVERIFY(MenuItem(form, "NStartDownload")->isEnabled());
    QVERIFY(!MenuItem(form, "NReDownload")->isEnabled());
}

void TestFormDownload::emptyListDisablesEveryCommand() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    TFormDownload form(*fixture.Queue, config, nullptr);
    ShowMenuItems(form);
    for (const char* name : {"NStartDownload", "NDeleteDownload", "NReDownload", "NCopyDownloadUrl",
                             "NOpenFile", "NOpenDirectory"})
        QVERIFY2(!MenuItem(form, name)->isEnabled(), name);
    form.DeleteRow(0); // nothing to do, nothing breaks
}

void TestFormDownload::deleteRow_data() {
    QTest::addColumn<bool>("ask");
    QTest::addColumn<int>("answer"); // the question's end: Accepted or Rejected
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("rowGone");
    QTest::addColumn<bool>("fileGone");
    QTest::newRow("no question: file kept") << false << 0 << false << true << false;
    QTest::newRow("question, file too") << true << int(QDialog::Accepted) << true << true << true;
    QTest::newRow("question, task only") << true << int(QDialog::Accepted) << false << true << false;
    QTest::newRow("question cancelled") << true << int(QDialog::Rejected) << true << false << false;
}

void TestFormDownload::deleteRow() {
    QFETCH(bool, ask);
    QFETCH(int, answer);
    QFETCH(bool, tick);
    QFETCH(bool, rowGone);
    QFETCH(bool, fileGone);
    TDownloadFixture fixture;
    const QString file = fixture.FilePath("done.zip");
    QVERIFY(WriteTestFile(file, "data"));
    fixture.StoreRow("http://a/done.zip", file, 4, 4, dsFinished);
    TConfig config(fixture.TestDb.Db());
    config.ConfirmDeleteDownload = ask;
    TFormDownload form(*fixture.Queue, config, nullptr);
    TModalAnswerer answerer([&](QWidget* dialog) {
        QCOMPARE(dialog->objectName(), QString("TFormDownloadDeleteConfirm"));
        dialog->findChild<QCheckBox*>("bsSkinCheckRadioBoxDeleteFile")->setChecked(tick);
        static_cast<QDialog*>(dialog)->done(answer);
    });
    form.DeleteRow(0);
    QCOMPARE(answerer.DialogsSeen, ask ? 1 : 0);
    QCOMPARE(form.Model().rowCount(), rowGone ? 0 : 1);
    QCOMPARE(fixture.Queue->DownloadExists("http://a/done.zip"), !rowGone);
    QCOMPARE(QFileInfo::exists(file), !fileGone);
}

void TestFormDownload::missingFileIsDownloadedAgainWithoutAsking() {
    TDownloadFixture fixture;
    const QString url = m_server->Url("/_gen/3000");
    const QString file = fixture.FilePath("gen.bin");
    fixture.StoreRow(url, file, 3000, 3000, dsFinished);
    TConfig config(fixture.TestDb.Db());
    TFormDownload form(*fixture.Queue, config, nullptr);
    form.show();
    TModalAnswerer answerer;
    const QPoint link = PartsOfRow(form, 0).value(TDownloadRowDelegate::rpReDownload);
    QTest::mouseClick(Grid(form)->viewport(), Qt::LeftButton, Qt::NoModifier, link);
    QVERIFY(answerer.Messages.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(form.Model().Info(0).State, dsFinished, 15000);
    QCOMPARE(ReadTestFile(file), TTestServer::GeneratedBytes(0, 3000));
    QVERIFY(!form.Model().FileMissing(0));
}

// The manager was not open when the download failed: it shows why once it is opened.
void TestFormDownload::failureWhileClosedIsShownWhenOpened() {
    TDownloadFixture fixture;
    TConfig config(fixture.TestDb.Db());
    TDownloadCenter center(*fixture.Queue, config, nullptr, nullptr, [] { return false; });
    const QString url = m_server->Url("/missing.bin");
    fixture.Queue->StartDownload(url, fixture.FilePath("missing.bin"), 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.Failed.size(), 1, 15000);
    center.ShowManager();
    QCOMPARE(center.Manager()->Model().Info(0).State, dsFailed);
    QCOMPARE(center.Manager()->Model().Info(0).ErrorText, QStringLiteral("服务器上没有这个文件（HTTP 404）"));
}

// The offscreen platform has no opener at all, like a machine without xdg-open: both links say so.
void TestFormDownload::openLinksSayWhenNoProgramOpens() {
    TDownloadFixture fixture;
    QVERIFY(WriteTestFile(fixture.FilePath("done.zip"), "data"));
    fixture.StoreRow("http://a/done.zip", fixture.FilePath("done.zip"), 4, 4, dsFinished);
    TConfig config(fixture.TestDb.Db());
    TFormDownload form(*fixture.Queue, config, nullptr);
    form.show();
    TModalAnswerer answerer;
    for (const int link : {TDownloadRowDelegate::rpOpenFile, TDownloadRowDelegate::rpOpenFolder})
        QTest::mouseClick(Grid(form)->viewport(), Qt::LeftButton, Qt::NoModifier,
                          PartsOfRow(form, 0).value(link));
    QCOMPARE(answerer.Messages.size(), 2);
    QVERIFY(answerer.Messages.first().contains(fixture.FilePath("done.zip")));
}

QTEST_MAIN(TestFormDownload)
#include "tst_FormDownload.moc"
