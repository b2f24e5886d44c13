// A worker thread that runs one bound function a given number of times, off the UI thread
// (or on it, waiting, when Synchronized). It runs at the lowest priority and deletes itself when
// its loop ends, so the owner must not touch it after that (keep a QPointer to stop it).
#pragma once

#include <QThread>
#include <atomic>
#include <functional>

class TCommonThread : public QThread {
    Q_OBJECT
public:
    // Not started: the owner sets the fields, then calls start().
    TCommonThread();

    void SetOnExecute(std::function<void()> onExecute) { OnExecute = std::move(onExecute); }
    // Ends the loop at its next check; OnFinish is then not called.
    void StopThread();

    std::atomic<int> Interval{100};       // ms of sleep after every pass
    std::atomic<bool> Synchronized{true}; // run OnExecute on the UI thread and wait for it
    std::atomic<bool> Running{true};
    std::atomic<bool> Paused{false};
    std::atomic<int> Count{-1}; // passes; -1 without limit
    std::function<void()> OnExecute;
    std::function<void()> OnFinish; // on the worker, once the passes are used up

protected:
    void run() override;

private:
    void Execute();
    void SleepInterval();
    static void RunOnce(const std::function<void()>& callback);
};
