// Tests of the generic worker thread: how many passes run, pausing, stopping without the
// finishing call, the thread each callback runs on, errors in a pass, and self-deletion.
#include "downloads/CommonThread.h"

#include <QAtomicInt>
#include <QPointer>
#include <QtTest>
#include <stdexcept>

class TestCommonThread : public QObject {
    Q_OBJECT
private slots:
    void countLimitsThePasses_data();
    void countLimitsThePasses();
    void unlimitedRunsUntilStopped();
    void pausedSkipsPasses();
    void synchronizedRunsOnTheApplicationThread();
    void errorInAPassIsContained();
};

void TestCommonThread::countLimitsThePasses_data() {
    QTest::addColumn<int>("count");
    QTest::newRow("once") << 1;
    QTest::newRow("three times") << 3;
    QTest::newRow("never") << 0;
}

void TestCommonThread::countLimitsThePasses() {
    QFETCH(int, count);
    QAtomicInt passes = 0, finishes = 0;
    std::atomic<QThread*> executeThread{nullptr}, finishThread{nullptr};
    std::atomic<int> priority{-1};
    QPointer<TCommonThread> thread = new TCommonThread;
    thread->Synchronized = false;
    thread->Count = count;
    thread->Interval = 5;
    thread->SetOnExecute([&] {
        passes.fetchAndAddOrdered(1);
        executeThread = QThread::currentThread();
        priority = QThread::currentThread()->priority();
    });
    thread->OnFinish = [&] {
        finishes.fetchAndAddOrdered(1);
        finishThread = QThread::currentThread();
    };
    QThread* const worker = thread.data();
    thread->start();
    // The thread deletes itself once its loop has ended.
    QTRY_VERIFY(thread.isNull());
    QCOMPARE(passes.loadAcquire(), count);
    QCOMPARE(finishes.loadAcquire(), 1);
    QCOMPARE(finishThread.load(), worker);
    if (count > 0) {
        QCOMPARE(executeThread.load(), worker);
        QCOMPARE(priority.load(), int(QThread::LowestPriority));
    }
}

void TestCommonThread::unlimitedRunsUntilStopped() {
    QAtomicInt passes = 0, finishes = 0;
    QPointer<TCommonThread> thread = new TCommonThread;
    thread->Synchronized = false;
    thread->Interval = 1;
    thread->SetOnExecute([&] { passes.fetchAndAddOrdered(1); });
    thread->OnFinish = [&] { finishes.fetchAndAddOrdered(1); };
    thread->start();
    QTRY_VERIFY(passes.loadAcquire() >= 5);
    thread->StopThread();
    QTRY_VERIFY(thread.isNull());
    const int stoppedAt = passes.loadAcquire();
    QTest::qWait(50);
    QCOMPARE(passes.loadAcquire(), stoppedAt);
    QCOMPARE(finishes.loadAcquire(), 0);
}

void TestCommonThread::pausedSkipsPasses() {
    QAtomicInt passes = 0, finishes = 0;
    QPointer<TCommonThread> thread = new TCommonThread;
    thread->Synchronized = false;
    thread->Count = 2;
    thread->Interval = 5;
    thread->Paused = true;
    thread->SetOnExecute([&] { passes.fetchAndAddOrdered(1); });
    thread->OnFinish = [&] { finishes.fetchAndAddOrdered(1); };
    thread->start();
    QTest::qWait(100);
    // Skipped passes are not counted: the thread is still waiting for its two passes.
    QCOMPARE(passes.loadAcquire(), 0);
    QVERIFY(!thread.isNull());
    thread->Paused = false;
    QTRY_VERIFY(thread.isNull());
    QCOMPARE(passes.loadAcquire(), 2);
    QCOMPARE(finishes.loadAcquire(), 1);
}

void TestCommonThread::synchronizedRunsOnTheApplicationThread() {
    std::atomic<QThread*> executeThread{nullptr};
    QPointer<TCommonThread> thread = new TCommonThread; // Synchronized by default
    thread->Count = 1;
    thread->SetOnExecute([&] { executeThread = QThread::currentThread(); });
    thread->start();
    QTRY_VERIFY(thread.isNull());
    QCOMPARE(executeThread.load(), QCoreApplication::instance()->thread());
}

void TestCommonThread::errorInAPassIsContained() {
    QAtomicInt passes = 0, finishes = 0;
    QPointer<TCommonThread> thread = new TCommonThread;
    thread->Synchronized = false;
    thread->Count = 2;
    thread->Interval = 0;
    thread->SetOnExecute([&] {
        passes.fetchAndAddOrdered(1);
        throw std::runtime_error("disk full");
    });
    thread->OnFinish = [&] { finishes.fetchAndAddOrdered(1); };
    QTest::ignoreMessage(QtInfoMsg, "[Brisvane 1.0.0.0]: Exception: disk full");
    QTest::ignoreMessage(QtInfoMsg, "[Brisvane 1.0.0.0]: Exception: disk full");
    thread->start();
    QTRY_VERIFY(thread.isNull());
    QCOMPARE(passes.loadAcquire(), 2);
    QCOMPARE(finishes.loadAcquire(), 1);
}

QTEST_GUILESS_MAIN(TestCommonThread)
#include "tst_CommonThread.moc"
