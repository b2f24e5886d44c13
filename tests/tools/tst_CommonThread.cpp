// Tests of the generic worker thread: how many passes run, pausing, stopping without the
// finishing call, the thread each callback runs on, errors in a pass, and self-deletion.
#include "tools/CommonThread.h"

#include <QAtomicInt>
#include <QPointer>
#include <QtTest>
#include <stdexcept>

namespace {
// Counts the passes and finishing calls of one worker.
struct TCounters {
    QAtomicInt Passes = 0;
    QAtomicInt Finishes = 0;
};

// An unsynchronized worker that counts into the counters (not started).
TCommonThread* CountingThread(TCounters& counters, int count, int interval) {
    auto* thread = new TCommonThread;
    thread->Synchronized = false;
    thread->Count = count;
    thread->Interval = interval;
    thread->SetOnExecute([&counters] { counters.Passes.fetchAndAddOrdered(1); });
    thread->OnFinish = [&counters] { counters.Finishes.fetchAndAddOrdered(1); };
    return thread;
}
} // namespace

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
    TCounters counters;
    QPointer<TCommonThread> thread = CountingThread(counters, -1, 1);
    thread->start();
    QTRY_VERIFY(counters.Passes.loadAcquire() >= 5);
    thread->StopThread();
    QTRY_VERIFY(thread.isNull());
    const int stoppedAt = counters.Passes.loadAcquire();
    QTest::qWait(50);
    QCOMPARE(counters.Passes.loadAcquire(), stoppedAt);
    QCOMPARE(counters.Finishes.loadAcquire(), 0);
}

void TestCommonThread::pausedSkipsPasses() {
    TCounters counters;
    QPointer<TCommonThread> thread = CountingThread(counters, 2, 5);
    thread->Paused = true;
    thread->start();
    QTest::qWait(100);
    // Skipped passes are not counted: the thread is still waiting for its two passes.
    QCOMPARE(counters.Passes.loadAcquire(), 0);
    QVERIFY(!thread.isNull());
    thread->Paused = false;
    QTRY_VERIFY(thread.isNull());
    QCOMPARE(counters.Passes.loadAcquire(), 2);
    QCOMPARE(counters.Finishes.loadAcquire(), 1);
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
    TCounters counters;
    QPointer<TCommonThread> thread = CountingThread(counters, 2, 0);
    thread->SetOnExecute([&counters] {
        counters.Passes.fetchAndAddOrdered(1);
        throw std::runtime_error("disk full");
    });
    QTest::ignoreMessage(QtInfoMsg, "[Brisvane 1.0.0.0]: Exception: disk full");
    QTest::ignoreMessage(QtInfoMsg, "[Brisvane 1.0.0.0]: Exception: disk full");
    thread->start();
    QTRY_VERIFY(thread.isNull());
    QCOMPARE(counters.Passes.loadAcquire(), 2);
    QCOMPARE(counters.Finishes.loadAcquire(), 1);
}

QTEST_GUILESS_MAIN(TestCommonThread)
#include "tst_CommonThread.moc"
