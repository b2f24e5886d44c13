// The history store: one row of qb_history per address and local day, the address-bar
// suggestions, date ranges and the recently closed pages.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class TDb;

// One history row, copied by value. Rows read back fill Id, SiteName, SiteUrl and CreateTime.
struct THistoryInfo {
    QString Id;            // row id as decimal text; empty before the row is stored
    QString SiteName;      // page title
    QString SiteUrl;       // page address
    qint32 CreateTime = 0; // Unix seconds (local clock) of the latest visit
    bool IsClose = false;  // recorded when the tab was closed
};

using THistoryInfoList = QList<THistoryInfo>;

class THistory {
public:
    // The local clock; tests inject their own to cross midnight.
    using TClock = std::function<QDateTime()>;

    explicit THistory(TDb& db, TClock clock = {});

    // Records a visit: refreshes the time and the closed flag of today's row of the address, or
    // inserts a row when the address was not seen today. The first title of the day is kept.
    bool AddVisit(const THistoryInfo& info);
    // Both also remove the addresses' copies in the search index.
    bool ClearHistory();
    // False for an id that is not a row number (nothing is run then).
    bool DeleteHistoryItem(const QString& id);
    // The six newest rows whose address contains the text (LIKE semantics: "%" and "_" are
    // wildcards, ASCII letters match in either case).
    THistoryInfoList FindHistoryByUrl(const QString& text);
    // Rows with from <= create_time <= to, newest first.
    THistoryInfoList LoadHistoryRange(qint64 from, qint64 to);
    // The ten newest rows recorded as closed.
    THistoryInfoList LoadRecentlyClosed();

    // Unix seconds of 00:00:00 of the clock's current local day.
    qint64 StartOfToday() const;
    // Whether the address search index of the data file is present and used.
    bool HasSearchIndex() const { return m_hasSearchIndex; }

    // The statement FindHistoryByUrl runs for the text: with the search index it tests LIKE on
    // the index's UTF-8 copy of each address, else the plain LIKE on qb_history.
    static QString FindStatement(const QString& text, bool useSearchIndex);
    // Hands the rows added since the last call to the search index; false when the index
    // cannot be brought up to date (searches then read qb_history directly).
    bool UpdateSearchIndex();

private:
    THistoryInfoList ReadList(const QString& sql);
    qint64 Now() const;

    TDb& m_db;
    TClock m_clock;
    bool m_hasSearchIndex = false;
};
