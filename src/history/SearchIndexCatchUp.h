// Brings the history's address search index up to date once, on a worker thread of its own: an
// older data file may hold many rows the index lacks, and the window must not wait for them.
#pragma once

#include <QThread>
#include <memory>

class THistory;

class TSearchIndexCatchUp {
public:
    // Starts the worker at once, at the lowest priority.
    explicit TSearchIndexCatchUp(THistory& history);
    // Asks the worker to stop after its current batch and waits for it: the history store and
    // the data file must outlive the worker.
    ~TSearchIndexCatchUp();
    TSearchIndexCatchUp(const TSearchIndexCatchUp&) = delete;
    TSearchIndexCatchUp& operator=(const TSearchIndexCatchUp&) = delete;

    // Waits until the worker has finished.
    void Wait();

private:
    std::unique_ptr<QThread> m_thread;
};
