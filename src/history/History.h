// The history store: one row of qb_history per address and local day, the address-bar
// suggestions, date ranges and the recently closed pages.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class TDb;
class TSQLiteTable;
class TTitleIndex;

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

    // How far the address search index of the data file can be used.
    enum class TSearchIndex {
        Absent,     // the data file has none
        Unreadable, // this SQLite cannot open it (its tokenizer or FTS5 itself is missing)
        Behind,     // rows were added since it was last brought up to date
        Current,    // up to date: searches use it and hand it the rows added meanwhile
        GivenUp     // it could not be brought up to date (read-only file): not used this session
    };

    explicit THistory(TDb& db, TClock clock = {});
    ~THistory();

    // Records a visit: refreshes the time and the closed flag of today's row of the address, or
    // inserts a row when the address was not seen today. The first title of the day is kept,
    // unless it was a stand-in and this one is the page's own. Title and address are stored as
    // TStoredText makes them (cut, without NUL characters).
    bool AddVisit(const THistoryInfo& info);
    // A title the engines show before (or instead of) the page's own: nothing, the address with
    // or without its scheme, the decoded address, or the file name of its path ("123.html").
    static bool IsStandInTitle(const QString& title, const QString& address);
    // The deletions remove the rows whatever state the search index is in; the index loses the
    // rows' addresses with them, or is removed from the data file when it cannot follow.
    bool ClearHistory();
    // False for an id that is not a row number (nothing is run then).
    bool DeleteHistoryItem(const QString& id);
    // ClearHistory and the page log emptied in the same transaction: nothing the user visited is
    // left for the address-bar suggestions, the recently closed pages or the restore offer.
    bool ClearAllHistory();
    // The six newest rows whose address contains the text (LIKE semantics: "%" and "_" are
    // wildcards, ASCII letters match in either case).
    THistoryInfoList FindHistoryByUrl(const QString& text);
    // The address-bar suggestions for the typed text: up to six rows of distinct addresses whose
    // address or title contains the text, or whose title's pinyin or pinyin initials do (知乎 is
    // found by "zhihu" and "zh"). Addresses that start with the text come first (after the scheme
    // and "www."), then title matches, then pinyin matches, then other address matches; each by
    // visit count, then by recency, among the newest matches of each kind (all rows are searched,
    // also for texts of one or two characters). Titles are searched only in a data file with the title search index.
    THistoryInfoList FindSuggestions(const QString& text);
    // Rows with from <= create_time <= to, newest first.
    THistoryInfoList LoadHistoryRange(qint64 from, qint64 to);
    // The newest row before the time (earlier) or the oldest after it; empty when there is none.
    THistoryInfoList NearestVisit(qint64 time, bool earlier);
    // The ten newest rows recorded as closed.
    THistoryInfoList LoadRecentlyClosed();

    // Unix seconds of the first moment of the clock's current local day (00:00:00, or the end of
    // a daylight-saving gap where the clock skips midnight).
    qint64 StartOfToday() const;

    // Hands the title search index, then the address search index every row added since it was last brought up to date, in batches,
    // so that searches can use it. Meant to run once after start-up on a worker thread (TDb
    // serialises the statements); it stops between batches when its thread is asked to stop.
    // On a read-only data file it gives up at once, without a write. True when the index is up
    // to date.
    bool CatchUpSearchIndex();
    TSearchIndex SearchIndexState() const { return m_index; }
    // Whether searches use the search index now.
    bool HasSearchIndex() const { return m_index == TSearchIndex::Current; }

    // The statement FindHistoryByUrl runs for the text: with the search index it tests LIKE on
    // each address made UTF-8, else the plain LIKE on qb_history.
    // At most limit rows; block >= 0 makes a text the trigram index cannot look up read only the
    // rows of that block of row ids (TTextPieces).
    static QString FindStatement(const QString& text, bool useSearchIndex, int limit = 6, qint64 block = -1);

private:
    // Makes a statement reading the matches of one block of row ids (-1: every row), at most limit.
    using TBlockStatement = std::function<QString(qint64 block, int limit)>;

    TSearchIndex ProbeSearchIndex();
    TSearchIndex RebuildSearchIndex();
    // The newest rows (up to limit) of the address search index for the text; false when a
    // statement fails.
    bool FindIndexed(const QString& text, int limit, THistoryInfoList& rows);
    // Runs the statement once on every row for a text the trigram index can look up (`trigram`),
    // or one that is all wildcards, else on the blocks of the pieces table holding the text,
    // newest first, until limit rows are found. False when a statement fails.
    bool FindRows(const QString& key, bool trigram, const QString& pieces, int limit, const TBlockStatement& statement,
                  THistoryInfoList& rows);
    bool UseSearchIndex();
    bool UseTitleIndex();
    bool CatchUpTitleIndex();
    // How many rows each address of the rows has.
    QHash<QString, qint64> VisitCounts(const THistoryInfoList& rows);
    // Takes rows newer than the newest one taken in into the index; false when that fails.
    bool UpdateSearchIndex();
    // One batch of UpdateSearchIndex: the number of rows taken in, or -1 on failure.
    int CopyBatch();
    // Deletes the rows matching the condition (empty: every row) and runs the extra statements
    // in the same transaction.
    bool DeleteRows(const QString& condition, const QString& alsoRun = QString());
    bool DeleteRowsLocked(const QString& condition, const QString& alsoRun);
    // Rewrites the data file without its free pages, after everything was deleted.
    void Compact();
    // Drops the search index after a deletion it could not follow.
    void RemoveSearchIndex(bool readable);
    void LeaveSearchIndex(TSearchIndex from, TSearchIndex to);
    THistoryInfoList ReadList(const QString& sql);
    THistoryInfoList ReadRows(TSQLiteTable& table);
    qint64 Now() const;

    TDb& m_db;
    TClock m_clock;
    std::atomic<TSearchIndex> m_index{TSearchIndex::Absent};
    std::unique_ptr<TTitleIndex> m_titles;
    // One change of the search index at a time: the catch-up worker's batches, the searches'
    // updates and the deletions.
    QMutex m_indexLock;
};
