// The history manager's two-day windows and their loading on a worker thread: the window asks for
// a range, the worker reads it (TDb serialises the query) and posts the rows back as
// WM_HISTORY_LOADED, so the window stays responsive while a range loads.
#pragma once

#include "history/History.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
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
    // Moved by whole steps of days (sign: direction) until it holds the time (Unix seconds).
    THistoryRange SteppedTo(qint64 time, int days) const;
};

// The rows of one load, carried by WM_HISTORY_LOADED, with the site icons found for them.
struct THistoryRangeRows {
    THistoryRange Range;
    THistoryInfoList Rows;
    QHash<QString, QImage> Icons; // Md5Hex of an address -> its 16 x 16 icon, when its file exists
};

class THistoryRangeLoader {
public:
    // receiver gets TRecordMessage<THistoryRangeRows>(WM_HISTORY_LOADED, ...) for every load;
    // the icons are read from iconFolder (named by FavIconFileName) on the worker too.
    THistoryRangeLoader(THistory& history, QObject* receiver, QString iconFolder);
    // Waits for a running load, so that nothing is posted to a receiver that is gone.
    ~THistoryRangeLoader();
    THistoryRangeLoader(const THistoryRangeLoader&) = delete;
    THistoryRangeLoader& operator=(const THistoryRangeLoader&) = delete;

    // Starts one load; false (nothing started) while another runs. With a step (-1 earlier, +1
    // later) a range without visits gives way to the next one in that direction that has some,
    // moved in whole steps of the range's length; with none left the empty range is posted.
    bool Load(const THistoryRange& range, int step = 0);
    bool Busy() const;

private:
    THistory& m_history;
    QObject* m_receiver;
    const QString m_iconFolder;
    std::unique_ptr<QThread> m_thread;
};
