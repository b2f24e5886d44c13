// The history manager's two-day windows and their loading on a worker thread: the window asks for
// a range, the worker reads it (TDb serialises the query) and posts the rows back as
// WM_HISTORY_LOADED, so the window stays responsive while a range loads.
#pragma once

#include "history/History.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <memory>

class QThread;

// A range of local date-times, both bounds included. Both are the date-time zero (30 December
// 1899, 00:00) until a range with rows has been shown.
struct THistoryRange {
    QDateTime From;
    QDateTime To;

    static QDateTime Zero();
    bool IsZero() const { return From == Zero() && To == Zero(); }
    // From now - 2 days to now.
    static THistoryRange Latest(const QDateTime& now);
    // Both bounds moved by days (negative: earlier).
    THistoryRange Shifted(int days) const;
};

// The rows of one load, carried by WM_HISTORY_LOADED.
struct THistoryRangeRows {
    THistoryRange Range;
    THistoryInfoList Rows;
};

class THistoryRangeLoader {
public:
    // receiver gets TRecordMessage<THistoryRangeRows>(WM_HISTORY_LOADED, ...) for every load.
    THistoryRangeLoader(THistory& history, QObject* receiver);
    // Waits for a running load, so that nothing is posted to a receiver that is gone.
    ~THistoryRangeLoader();
    THistoryRangeLoader(const THistoryRangeLoader&) = delete;
    THistoryRangeLoader& operator=(const THistoryRangeLoader&) = delete;

    // Starts one load; false (nothing started) while another runs.
    bool Load(const THistoryRange& range);
    bool Busy() const;

private:
    THistory& m_history;
    QObject* m_receiver;
    std::unique_ptr<QThread> m_thread;
};
