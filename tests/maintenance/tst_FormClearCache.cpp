// The cache cleaner's window: nothing ticked finishes at once, closing while cleaning asks and "否"
// keeps cleaning, "是" stops without touching the next store, the exit box and the ticked kinds
// are stored for cleaning at exit, the engines' live stores are cleared on the window's thread.
#include "common/AppPaths.h"
#include "history/History.h"
#include "maintenance/FormClearCache.h"
#include "support/ModalAnswerer.h"
#include "storage/Config.h"
#include "support/CutTexts.h"
#include "support/TestDb.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>

class TestFormClearCache : public QObject {
    Q_OBJECT

private slots:
    void init() {
        SetAppDir(m_app.path());
        m_data = std::make_unique<TTestDb>();
        QVERIFY(m_data->Ok());
        m_history = std::make_unique<THistory>(m_data->Db());
        m_config = std::make_unique<TConfig>(m_data->Db());
        m_config->LoadConfig();
        THistoryInfo visit;
        visit.SiteUrl = QStringLiteral("http://a.example/");
        QVERIFY(m_history->AddVisit(visit));
        m_cleanedKinds = -1;
        m_release = false;
    }

    void cleanup() {
        m_release = true;
        m_window.reset();
        m_config.reset();
        m_history.reset();
        m_data.reset();
        SetAppDir(QString());
    }

    void initialTicksAndTheExitBox() {
        QVERIFY(m_config->SetValue(TConfigKey::ClearTracesOnExit, QStringLiteral("1")));
        m_config->LoadConfig();
        Open();
        QCOMPARE(m_window->TickedKinds(), int(kDefaultCleanKinds));
        QVERIFY(Box("bsSkinCheckRadioBoxExitClearCache")->isChecked());
        QVERIFY(!Box("bsSkinCheckRadioBoxCookie")->isChecked());
    }

    void exitBoxAndTickedKindsAreStored() {
        Open();
        Box("bsSkinCheckRadioBoxCookie")->click();
        Box("bsSkinCheckRadioBoxCache")->click();
        Box("bsSkinCheckRadioBoxExitClearCache")->click();
        QCOMPARE(m_config->GetValue(TConfigKey::ClearTracesOnExit), QStringLiteral("1"));
        QVERIFY(m_config->ClearTracesOnExit);
        const int kinds = (kDefaultCleanKinds | ckCookies) & ~ckCache;
        QCOMPARE(StoredCleanKinds(*m_config), kinds);
        // The next window shows what will be cleared at exit, but cookies are chosen anew each
        // time; the keyboard is on the list and Enter clears nothing.
        m_window.reset();
        Open();
        QCOMPARE(m_window->TickedKinds(), kinds & ~ckCookies);
        QVERIFY(qobject_cast<QCheckBox*>(m_window->focusWidget()));
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Return);
        QVERIFY(m_window->isVisible());
        QVERIFY(m_window->CleaningDone());
        QCOMPARE(m_liveKinds, QList<int>());
    }

    void aStopQuestionOpenWhenTheCleaningEndsGoesAway() {
        Open();
        HoldWorker();
        Button("bsSkinButtonClear")->click();
        // While the question is up the worker ends: the question closes with the window.
        bool askedAfterTheEnd = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [this, &askedAfterTheEnd] {
            m_release = true;
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && m_window->CleaningDone()) {
                askedAfterTheEnd = true;
                box->done(QMessageBox::No);
            }
        });
        watch.start(10);
        m_window->close();
        QTRY_VERIFY(!m_window->isVisible());
        QVERIFY(!askedAfterTheEnd);
        QCOMPARE(m_cleanedKinds, int(kDefaultCleanKinds));
    }

    void nothingTickedFinishesAtOnceAndCloses() {
        Open();
        for (const char* name : {"bsSkinCheckRadioBoxBrowserPage", "bsSkinCheckRadioBoxDownloadLog",
                                 "bsSkinCheckRadioBoxCache", "bsSkinCheckRadioBoxAddressHistory"})
            Box(name)->click();
        QCOMPARE(m_window->TickedKinds(), 0);
        Button("bsSkinButtonClear")->click();
        QTRY_VERIFY(m_window->CleaningDone());
        QTRY_VERIFY(!m_window->isVisible());
        QCOMPARE(m_cleanedKinds, 0);
        QCOMPARE(m_liveKinds, QList<int>({0}));
    }

    void closingWhileCleaningAndAnsweringNoKeepsCleaning() {
        Open();
        HoldWorker();
        Button("bsSkinButtonClear")->click();
        QVERIFY(!Button("bsSkinButtonClear")->isEnabled());
        QVERIFY(!m_window->findChild<QWidget*>(QStringLiteral("PanelControl"))->isEnabled());
        {
            TModalAnswerer no(QMessageBox::No);
            m_window->close();
            QCOMPARE(no.Messages, QStringList({"清理未完成，确定要停止吗？"}));
        }
        QVERIFY(m_window->isVisible());
        m_release = true;
        QTRY_VERIFY(m_window->CleaningDone());
        QTRY_VERIFY(!m_window->isVisible());
        QCOMPARE(m_cleanedKinds, int(kDefaultCleanKinds));
        QVERIFY(m_history->LoadHistoryRange(0, 0x7FFFFFFF).isEmpty());
        // The live stores were cleared on the window's thread, before the worker ran.
        QCOMPARE(m_liveKinds, QList<int>({int(kDefaultCleanKinds)}));
        QCOMPARE(m_liveThread, QThread::currentThread());
    }

    void answeringYesStopsBeforeTheNextStore() {
        Open();
        HoldWorker();
        Button("bsSkinButtonClear")->click();
        {
            TModalAnswerer yes(QMessageBox::Yes);
            m_window->close();
            QCOMPARE(yes.Messages.size(), 1);
        }
        QVERIFY(!m_window->isVisible());
        m_release = true;
        m_window.reset(); // waits for the worker
        QCOMPARE(m_cleanedKinds, -1);
        QCOMPARE(m_history->LoadHistoryRange(0, 0x7FFFFFFF).size(), 1);
    }

    void captionsAreWhole() {
        Open();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(CutTexts(m_window.get()).join(QLatin1Char(',')), QString());
    }

    void closingAfterTheCleaningAsksNothing() {
        Open();
        Button("bsSkinButtonClear")->click();
        QTRY_VERIFY(m_window->CleaningDone());
        TModalAnswerer boxes;
        m_window->show();
        m_window->close();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(boxes.Messages, QStringList());
    }

private:
    void Open() {
        m_liveKinds.clear();
        m_window = std::make_unique<TFormClearCache>(m_history.get(), nullptr, *m_config,
                                                     [this](int kinds) { m_cleanedKinds = kinds; });
        m_window->ClearLiveStores = [this](int kinds) {
            m_liveKinds.append(kinds);
            m_liveThread = QThread::currentThread();
        };
        m_window->Folders = {m_app.path() + QStringLiteral("/icons/"),
                             m_app.path() + QStringLiteral("/cache/")};
        m_window->show();
    }

    // The worker waits before its first store until the test lets it go on.
    void HoldWorker() {
        m_window->OnStep = [this](int) {
            while (!m_release)
                QThread::msleep(5);
        };
    }

    QCheckBox* Box(const char* name) const { return m_window->findChild<QCheckBox*>(QLatin1String(name)); }
    QPushButton* Button(const char* name) const {
        return m_window->findChild<QPushButton*>(QLatin1String(name));
    }

    QTemporaryDir m_app;
    std::unique_ptr<TTestDb> m_data;
    std::unique_ptr<THistory> m_history;
    std::unique_ptr<TConfig> m_config;
    std::unique_ptr<TFormClearCache> m_window;
    std::atomic<bool> m_release{false};
    int m_cleanedKinds = -1;
    QList<int> m_liveKinds;
    QThread* m_liveThread = nullptr;
};

QTEST_MAIN(TestFormClearCache)
#include "tst_FormClearCache.moc"
