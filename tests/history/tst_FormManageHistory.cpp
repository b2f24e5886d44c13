// The history manager: two-day windows read on a worker and stepped earlier and later (empty
// windows are passed over), deleting one visit, clearing all of history with what is drawn from it,
// opening a visit through WM_OPEN_URL and the site icons.
#include "common/AppPaths.h"
#include "common/FavIcons.h"
#include "common/LocalTime.h"
#include "common/Messages.h"
#include "history/FormManageHistory.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "history/RecentlyClosed.h"
#include "storage/DbMain.h"
#include "support/ModalAnswerer.h"
#include "support/SettingsFixture.h"

#include <QDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 6, 10), QTime(12, 0));

} // namespace

class TestFormManageHistory : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_fixture = std::make_unique<TSettingsFixture>();
        QVERIFY(m_fixture->Ok());
        m_history = &m_fixture->History();
        m_cleared = 0;
    }

    void cleanup() {
        m_window.reset();
        m_fixture.reset();
    }

    void opensWithTheLatestTwoDaysNewestFirst() {
        Visit("a", kNow.addSecs(-3600));
        Visit("b", kNow.addDays(-1));
        Visit("lower bound", kNow.addDays(-2));
        Visit("too old", kNow.addDays(-2).addSecs(-1));
        Open();
        QCOMPARE(Column(2), QStringList({"http://a/", "http://b/", "http://lower bound/"}));
        QCOMPARE(List()->topLevelItem(0)->text(0), QStringLiteral("2026-06-10 11:00"));
        // The whole time shows, and the headers are there to widen a column.
        QVERIFY(!List()->isHeaderHidden());
        QVERIFY(List()->columnWidth(0) >= List()->fontMetrics().horizontalAdvance(QStringLiteral("2026-06-10 11:00")) + 16 + 8);
        QCOMPARE(m_window->ShownRange().To, kNow);
    }

    void laterFromTheLatestWindowKeepsTheList() {
        Visit("a", kNow.addSecs(-60));
        Open();
        const THistoryRange shown = m_window->ShownRange();
        Step(&TFormManageHistory::LoadLater);
        QCOMPARE(Column(2), QStringList({"http://a/"}));
        QCOMPARE(m_window->ShownRange().From, shown.From);
    }

    void olderVisitsOnlyShowAnEmptyListAndStepsCannotCrossAGap() {
        Visit("old", kNow.addDays(-9));
        Open();
        QCOMPARE(List()->topLevelItemCount(), 0);
        QVERIFY(m_window->ShownRange().IsZero());
        // Before any window had rows, the range is the date-time zero: stepping finds nothing.
        Step(&TFormManageHistory::LoadEarlier);
        QCOMPARE(List()->topLevelItemCount(), 0);
    }

    void stepsPassOverEmptyWindows() {
        Visit("now", kNow.addSecs(-60));
        Visit("three days", kNow.addDays(-3));
        Visit("nine days", kNow.addDays(-9));
        Open();
        Step(&TFormManageHistory::LoadEarlier);
        QCOMPARE(Column(2), QStringList({"http://three days/"}));
        Step(&TFormManageHistory::LoadEarlier); // days -6 .. -4 are empty: on to -10 .. -8
        QCOMPARE(Column(2), QStringList({"http://nine days/"}));
        QCOMPARE(m_window->ShownRange().From, kNow.addDays(-10));
        Step(&TFormManageHistory::LoadEarlier); // nothing older: the list stays
        QCOMPARE(Column(2), QStringList({"http://nine days/"}));
        Step(&TFormManageHistory::LoadLater);
        QCOMPARE(Column(2), QStringList({"http://three days/"}));
        QCOMPARE(m_window->ShownRange().From, kNow.addDays(-4));
    }

    void rangeButtonsWaitForTheRunningLoad() {
        Visit("a", kNow.addSecs(-60));
        Open();
        m_window->LoadLatest();
        const QList<QToolButton*> buttons = {Button("bsSkinSpeedButtonLastest"),
                                             Button("bsSkinSpeedButtonBack"),
                                             Button("bsSkinSpeedButtonForward")};
        for (QToolButton* button : buttons)
            QVERIFY(!button->isEnabled());
        QVERIFY(Button("bsSkinSpeedButtonDel")->isEnabled());
        QTRY_VERIFY(!m_window->Loading());
        for (QToolButton* button : buttons)
            QVERIFY(button->isEnabled());
    }

    void deletingRowsSelectsTheRowThatTakesThePlace() {
        Visit("a", kNow.addSecs(-60));
        Visit("b", kNow.addSecs(-120));
        Visit("c", kNow.addSecs(-180));
        Open();
        QCOMPARE(List()->currentItem(), List()->topLevelItem(0)); // the newest visit is selected
        List()->setCurrentItem(List()->topLevelItem(2));
        m_window->DeleteSelected();
        QCOMPARE(Column(2), QStringList({"http://a/", "http://b/"}));
        QCOMPARE(List()->currentItem()->text(2), QStringLiteral("http://b/"));
        List()->setCurrentItem(List()->topLevelItem(0));
        m_window->DeleteSelected();
        QCOMPARE(List()->currentItem()->text(2), QStringLiteral("http://b/"));
        QTest::keyClick(List(), Qt::Key_Delete); // the key does what "删除" does
        QCOMPARE(List()->topLevelItemCount(), 0);
        QCOMPARE(m_history->LoadHistoryRange(0, DateTimeToUnixTime(kNow)).size(), 0);
    }

    void clearAllAnsweredNoChangesNothing() {
        Visit("a", kNow.addSecs(-60));
        Open();
        TModalAnswerer no(QMessageBox::No);
        m_window->ClearAll();
        QCOMPARE(no.Messages, QStringList({"确定要全部删除吗？"}));
        QCOMPARE(List()->topLevelItemCount(), 1);
        QCOMPARE(m_cleared, 0);
    }

    void clearAllLeavesNothingVisitedAnywhere() {
        Visit("a.example", kNow.addSecs(-60), true);
        Visit("b.example", kNow.addDays(-30), true);
        TPageLog log(m_fixture->Db());
        QVERIFY(log.SavePageLog({{QStringLiteral("http://a.example/")}}));
        TRecentlyClosed closed(*m_history);
        closed.Reload();
        QCOMPARE(closed.Entries().size(), 2);
        Open();
        TModalAnswerer yes(QMessageBox::Yes);
        m_window->ClearAll();
        QCOMPARE(List()->topLevelItemCount(), 0);
        QCOMPARE(m_cleared, 1);
        QCOMPARE(m_history->FindHistoryByUrl(QStringLiteral("example")).size(), 0);
        QCOMPARE(log.CountPageLog(), 0);
        closed.Reload();
        QVERIFY(!closed.NextToReopen().has_value());
    }

    void doubleClickOpensTheAddressInTheMainWindow() {
        Visit("a", kNow.addSecs(-60));
        Open();
        QTreeWidgetItem* item = List()->topLevelItem(0);
        emit List()->itemDoubleClicked(item, 1);
        QCoreApplication::sendPostedEvents(&m_fixture->Main());
        QCOMPARE(m_fixture->Main().Texts, QStringList({"http://a/"}));
        QVERIFY(m_window->isVisible());
    }

    void rowsOfOneAddressShareItsSiteIcon() {
        QVERIFY(QDir().mkpath(UserDataDir()));
        const QString iconFile = UserDataDir() + FavIconFileName(QStringLiteral("http://icon/"));
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QVERIFY(icon.save(iconFile, "PNG"));
        Visit("icon", kNow.addSecs(-60));
        Visit("icon", kNow.addDays(-1));
        Visit("plain", kNow.addSecs(-120));
        Open();
        QFile::remove(iconFile);
        const QIcon first = List()->topLevelItem(0)->icon(0);
        QCOMPARE(List()->topLevelItem(2)->icon(0).cacheKey(), first.cacheKey());
        QVERIFY(List()->topLevelItem(1)->icon(0).cacheKey() != first.cacheKey());
        QCOMPARE(first.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    }

private:
    void Visit(const QString& host, const QDateTime& at, bool closed = false) {
        QVERIFY(m_fixture->Db().Execute(
            QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) VALUES "
                           "('标题 %1', 'http://%1/', %2, %3)")
                .arg(host)
                .arg(DateTimeToUnixTime(at))
                .arg(closed ? 1 : 0)));
    }

    void Open() {
        m_window = std::make_unique<TFormManageHistory>(&m_fixture->Main(), *m_history, [this] { ++m_cleared; });
        m_window->Now = [] { return kNow; };
        m_window->show();
        QTRY_VERIFY(!m_window->Loading());
    }

    void Step(void (TFormManageHistory::*step)()) {
        (m_window.get()->*step)();
        QTRY_VERIFY(!m_window->Loading());
    }

    QTreeWidget* List() const { return m_window->findChild<QTreeWidget*>(QStringLiteral("bsSkinListView1")); }
    QToolButton* Button(const char* name) const {
        return m_window->findChild<QToolButton*>(QLatin1String(name));
    }

    QStringList Column(int column) const {
        QStringList texts;
        for (int row = 0; row < List()->topLevelItemCount(); ++row)
            texts.append(List()->topLevelItem(row)->text(column));
        return texts;
    }

    std::unique_ptr<TSettingsFixture> m_fixture;
    THistory* m_history = nullptr;
    std::unique_ptr<TFormManageHistory> m_window;
    int m_cleared = 0;
};

QTEST_MAIN(TestFormManageHistory)
#include "tst_FormManageHistory.moc"
