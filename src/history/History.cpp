// The history store over qb_history.
#include "history/History.h"

#include "common/AnsiCodec.h"
#include "common/LocalTime.h"
#include "common/Logging.h"
#include "history/AddressKey.h"
#include "history/HistoryIndexTables.h"
#include "history/StoredText.h"
#include "history/SuggestionRank.h"
#include "history/TextPieces.h"
#include "history/TitleIndex.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

#include <QThread>
#include <QRegularExpression>
#include <QVector>
#include <QUrl>
#include <algorithm>

namespace {

// Rows handed to the search index per batch while it catches up.
constexpr int kIndexBatch = 2000;
// Rows of each kind of match the suggestions choose from.
constexpr int kCandidates = 30;
// The address search index: the addresses as UTF-8, made by the data file's function from the
// rows, the trigrams of their parts after "https://www." and the like (TAddressKey), and their
// pieces for texts the trigram index cannot look up.
const TIndexTables kAddressIndex{QStringLiteral("qb_history_search"), QStringLiteral("qb_history_search_pieces"),
                                 QStringLiteral("site_url"),          QStringLiteral("site_url"),
                                 QStringLiteral("quellon_utf8"),      QStringLiteral("quellon_url_key(%1)"),
                                 QStringLiteral("qb_history_text")};
const QString kAddressText = RowText(kAddressIndex);
const QString kAddressPieces = kAddressIndex.PiecesTable;
const QString kAddressTrigger = QStringLiteral("qb_history_search_update");

// " WHERE " and the condition; nothing for every row.
QString Where(const QString& condition) {
    return condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition;
}

QString RowDeletion(const QString& condition) {
    return QStringLiteral("DELETE FROM qb_history") + Where(condition) + QStringLiteral(";\n");
}

// Removes the search index and its trigger from the data file. DROP TABLE opens a virtual table
// first, which fails for an index this SQLite cannot open: such an index loses its own tables and
// then its schema row, and the schema is read again at once.
QString IndexRemovalScript(bool readable) {
    if (readable)
        return IndexRemoval(kAddressIndex, kAddressTrigger);
    QString script = QStringLiteral("DROP TRIGGER IF EXISTS qb_history_search_update;\n");
    for (const char* part : {"data", "idx", "docsize", "config", "content"})
        script += QStringLiteral("DROP TABLE IF EXISTS qb_history_search_%1;\n").arg(QLatin1String(part));
    return script + QStringLiteral("PRAGMA writable_schema = ON;\n"
                                   "DELETE FROM sqlite_master WHERE type = 'table' AND name = 'qb_history_search';\n"
                                   "PRAGMA writable_schema = RESET;\n"
                                   "DROP TABLE IF EXISTS qb_history_text;\n"
                                   "DROP TABLE IF EXISTS qb_history_search_pieces;\n");
}

// SQLite builds with SECURE_DELETE (the default of several Linux distributions) overwrite every
// freed page with zeros, which writes each page of a deleted table once more through the log:
// emptying a million-row history then rewrites the whole file. While everything is deleted the
// pages are only freed; the file is compacted afterwards, so the deleted text leaves it anyway.
class TFreeWithoutZeroing {
public:
    explicit TFreeWithoutZeroing(TDb& db) : m_db(db) {
        const auto table = m_db.Query(QStringLiteral("PRAGMA secure_delete"));
        try {
            if (table && table->RowCount() == 1)
                m_previous = table->GetInt64(0);
        } catch (const ESQLiteException&) {
        }
        if (m_previous > 0)
            m_db.Query(QStringLiteral("PRAGMA secure_delete = FAST"));
    }
    ~TFreeWithoutZeroing() {
        // 2 is FAST, which the pragma takes only by name.
        if (m_previous > 0)
            m_db.Query(m_previous == 2 ? QStringLiteral("PRAGMA secure_delete = FAST")
                                       : QStringLiteral("PRAGMA secure_delete = %1").arg(m_previous));
    }
    TFreeWithoutZeroing(const TFreeWithoutZeroing&) = delete;
    TFreeWithoutZeroing& operator=(const TFreeWithoutZeroing&) = delete;

private:
    TDb& m_db;
    qint64 m_previous = -1;
};

} // namespace

THistory::THistory(TDb& db, TClock clock)
    : m_db(db), m_clock(std::move(clock)), m_titles(std::make_unique<TTitleIndex>(db)) {
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
    m_index = ProbeSearchIndex();
}

THistory::~THistory() = default;

THistory::TSearchIndex THistory::ProbeSearchIndex() {
    const TIndexProbe probe = ProbeIndex(m_db, kAddressIndex,
                                         QStringLiteral("this SQLite cannot open the address search index; "
                                                        "addresses are searched without it"));
    if (probe == TIndexProbe::Older)
        return RebuildSearchIndex();
    return IndexStateOf(probe, TSearchIndex::Unreadable, TSearchIndex::GivenUp);
}

THistory::TSearchIndex THistory::RebuildSearchIndex() {
    // An index of an earlier format is made anew and filled by the catch-up; until then searches
    // read qb_history. A read-only file keeps it unused.
    if (m_db.IsReadOnly() || !m_db.ExecuteScript(IndexRecreation(kAddressIndex, kAddressTrigger)))
        return TSearchIndex::GivenUp;
    WriteLog(QStringLiteral("History: the address search index is rebuilt in the new format"));
    return TSearchIndex::Behind;
}

qint64 THistory::Now() const {
    return DateTimeToUnixTime(m_clock());
}

qint64 THistory::StartOfToday() const {
    const QDateTime now = m_clock();
    return DateTimeToUnixTime(now.date().startOfDay(now.timeSpec(), now.offsetFromUtc()));
}

bool THistory::AddVisit(const THistoryInfo& visit) {
    THistoryInfo info = visit;
    info.SiteName = TStoredText::Title(visit.SiteName);
    info.SiteUrl = TStoredText::Address(visit.SiteUrl);
    const qint64 today = StartOfToday();
    // Only the newest of today's rows is updated: its id and title are all that is read.
    auto table = m_db.Query(QStringLiteral("SELECT id, site_name FROM qb_history WHERE site_url = ") +
                            SqlQuote(info.SiteUrl) + QStringLiteral(" AND create_time >= ") +
                            QString::number(today) + QStringLiteral(" ORDER BY id DESC LIMIT 1"));
    if (!table)
        return false;
    QString id;
    QString storedTitle;
    try {
        if (table->RowCount() > 0) {
            id = table->FieldAsText(QStringLiteral("id"));
            storedTitle = table->FieldAsText(QStringLiteral("site_name"));
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        return false;
    }
    const QString isClose = info.IsClose ? QStringLiteral("1") : QStringLiteral("0");
    const QString now = QString::number(Now());
    if (!id.isEmpty()) {
        // The day's first title stays, unless it was only what the engine showed before the
        // page's own title arrived.
        const bool betterTitle =
            IsStandInTitle(storedTitle, info.SiteUrl) && !IsStandInTitle(info.SiteName, info.SiteUrl);
        const QString title =
            betterTitle ? QStringLiteral("site_name = ") + SqlQuote(info.SiteName) + QStringLiteral(", ")
                        : QString();
        return m_db.Execute(QStringLiteral("UPDATE qb_history SET ") + title +
                            QStringLiteral("create_time = ") + now + QStringLiteral(", isclose = ") +
                            isClose + QStringLiteral(" WHERE id = ") + id);
    }
    return m_db.Execute(
        QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) VALUES (") +
        SqlQuote(info.SiteName) + QStringLiteral(", ") + SqlQuote(info.SiteUrl) + QStringLiteral(", ") + now +
        QStringLiteral(", ") + isClose + QStringLiteral(")"));
}

bool THistory::IsStandInTitle(const QString& title, const QString& address) {
    const QString text = title.trimmed();
    if (text.isEmpty() || text == address ||
        text.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0)
        return true;
    const QUrl url(address);
    const QString bare = address.section(QStringLiteral("://"), 1);
    const QString fileName = url.fileName(QUrl::FullyDecoded);
    // A picture shown alone: its file name and its size, "picture.png (800×600)".
    static const QRegularExpression pictureSize(QStringLiteral("^ \\(\\d+\\x{00D7}\\d+\\)$"));
    const bool pictureTitle = !fileName.isEmpty() && text.startsWith(fileName) &&
                              pictureSize.match(text.mid(fileName.size())).hasMatch();
    return pictureTitle || (!bare.isEmpty() && text == bare) || (!fileName.isEmpty() && text == fileName) ||
           text == QUrl::fromPercentEncoding(address.toUtf8()) ||
           (url.isLocalFile() && text == url.toLocalFile());
}

bool THistory::ClearHistory() {
    return DeleteRows(QString());
}

bool THistory::ClearAllHistory() {
    return DeleteRows(QString(), QStringLiteral("DELETE FROM qb_page_log;\n"));
}

bool THistory::DeleteHistoryItem(const QString& id) {
    if (!IsRowId(id)) {
        WriteLog(QStringLiteral("History: not a row id: ") + id);
        return false;
    }
    return DeleteRows(QStringLiteral("id = ") + id);
}

bool THistory::DeleteRows(const QString& condition, const QString& alsoRun) {
    QMutexLocker locker(&m_indexLock);
    if (!condition.isEmpty())
        return DeleteRowsLocked(condition, alsoRun);
    bool deleted = false;
    {
        const TFreeWithoutZeroing quickly(m_db);
        deleted = DeleteRowsLocked(condition, alsoRun);
    }
    if (deleted)
        Compact();
    return deleted;
}

void THistory::Compact() {
    // The freed pages still hold the deleted rows: rewriting the file without them (the rows left
    // are few) and moving the log's pages into it removes them from the disk file, and the file
    // shrinks. The rows are gone whether or not this works.
    if (!m_db.Query(QStringLiteral("VACUUM")))
        WriteLog(QStringLiteral("History: the data file could not be compacted after clearing the history"));
    m_db.Query(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

bool THistory::DeleteRowsLocked(const QString& condition, const QString& alsoRun) {
    const TSearchIndex index = m_index;
    // The index entries go first: they are taken out with the texts made from the rows.
    const QString titles = m_titles->Deletion(condition);
    const bool readable = index != TSearchIndex::Absent && index != TSearchIndex::Unreadable;
    const QString addresses = readable ? EntryDeletion(kAddressIndex, condition) : QString();
    if (index != TSearchIndex::Unreadable && m_db.ExecuteScript(titles + addresses + RowDeletion(condition) + alsoRun))
        return true;
    // The indexes cannot follow the deletion: the rows go without them.
    if (m_db.IsReadOnly() || !m_db.ExecuteScript(RowDeletion(condition) + alsoRun))
        return false;
    m_titles->Remove();
    if (index != TSearchIndex::Absent)
        RemoveSearchIndex(index != TSearchIndex::Unreadable);
    return true;
}

void THistory::RemoveSearchIndex(bool readable) {
    // An index that missed a deletion still holds the deleted addresses: it leaves the data file,
    // and searches read qb_history from now on.
    if (m_db.ExecuteScript(IndexRemovalScript(readable))) {
        if (!m_titles->IsPresent())
            m_db.Execute(QStringLiteral("DROP TABLE IF EXISTS ") + kIndexedRows);
        m_index = TSearchIndex::Absent;
        WriteLog(QStringLiteral("History: the address search index could not follow a deletion and was "
                                "removed from the data file"));
        return;
    }
    if (!readable)
        m_db.Execute(QStringLiteral("PRAGMA writable_schema = RESET"));
    m_index = TSearchIndex::GivenUp;
}

QString THistory::FindStatement(const QString& text, bool useSearchIndex, int limit, qint64 block) {
    const QString tail = QStringLiteral(" LIMIT 0, ") + QString::number(limit);
    if (!useSearchIndex) {
        return QStringLiteral("SELECT * FROM qb_history WHERE site_url LIKE ") +
               SqlQuote(QLatin1Char('%') + text + QLatin1Char('%')) + QStringLiteral(" ORDER BY id DESC") + tail;
    }
    // LIKE is tested on the address made UTF-8 by the data file's function, so it compares
    // characters (on the GB18030 bytes of qb_history it would take different Chinese characters
    // for equal ones). When the text has a run of three characters, the index hands over only
    // rows holding its three-character pieces; otherwise the rows themselves are read newest
    // first, in the block given (ordered by id, so the walk stops at the sixth match without a
    // sort and without the index's per-row overhead).
    const QString pattern = SqlUtf8Literal(QLatin1Char('%') + text + QLatin1Char('%'));
    const QString query = TAddressKey::TrigramQuery(text);
    if (query.isEmpty()) {
        const QString inBlock = block < 0 ? QString() : TTextPieces::InBlock(QStringLiteral("h.id"), block) +
                                                             QStringLiteral(" AND ");
        return QStringLiteral("SELECT h.* FROM qb_history h WHERE ") + inBlock + kAddressText +
               QStringLiteral(" LIKE ") + pattern + QStringLiteral(" ORDER BY h.id DESC") + tail;
    }
    return QStringLiteral("SELECT h.* FROM qb_history_search s CROSS JOIN qb_history h ON h.id = s.rowid "
                          "WHERE qb_history_search MATCH ") +
           SqlUtf8Literal(query) + QStringLiteral(" AND ") + kAddressText + QStringLiteral(" LIKE ") +
           pattern + QStringLiteral(" ORDER BY s.rowid DESC") + tail;
}

THistoryInfoList THistory::FindSuggestions(const QString& text) {
    THistoryInfoList candidates;
    if (UseSearchIndex() && !FindIndexed(text, kCandidates, candidates))
        LeaveSearchIndex(TSearchIndex::Current, TSearchIndex::GivenUp);
    if (!HasSearchIndex())
        candidates = ReadList(FindStatement(text, false, kCandidates));
    THistoryInfoList titles;
    if (UseTitleIndex())
        FindRows(text.toLower(), TrigramCanLookUp(text), m_titles->PiecesTable(), kCandidates,
                 [&](qint64 block, int limit) { return m_titles->FindStatement(text, limit, block); }, titles);
    candidates += titles;
    return RankSuggestions(text, candidates, VisitCounts(candidates), 6);
}

bool THistory::FindIndexed(const QString& text, int limit, THistoryInfoList& rows) {
    return FindRows(text, !TAddressKey::TrigramQuery(text).isEmpty(), kAddressPieces, limit,
                    [&](qint64 block, int wanted) { return FindStatement(text, true, wanted, block); }, rows);
}

bool THistory::FindRows(const QString& key, bool trigram, const QString& pieces, int limit,
                        const TBlockStatement& statement, THistoryInfoList& rows) {
    rows.clear();
    QList<qint64> blocks{-1};
    const QString piece = trigram ? QString() : TTextPieces::KeyOf(key);
    if (!piece.isEmpty()) {
        blocks.clear();
        auto table = m_db.Query(TTextPieces::BlocksStatement(pieces, piece));
        if (!table)
            return false;
        try {
            for (; !table->AtEnd(); table->MoveNext())
                blocks.append(table->GetInt64(0));
        } catch (const ESQLiteException& e) {
            WriteLog(QStringLiteral("History: ") + e.Message());
            return false;
        }
    }
    for (const qint64 block : blocks) {
        if (rows.size() >= limit)
            break;
        const auto table = m_db.Query(statement(block, limit - rows.size()));
        if (!table)
            return false;
        rows += ReadRows(*table);
    }
    return true;
}

QHash<QString, qint64> THistory::VisitCounts(const THistoryInfoList& rows) {
    QHash<QString, qint64> counts;
    QStringList quoted;
    for (const THistoryInfo& row : rows) {
        if (!counts.contains(row.SiteUrl)) {
            counts.insert(row.SiteUrl, 1);
            quoted.append(SqlQuote(row.SiteUrl));
        }
    }
    if (quoted.isEmpty())
        return counts;
    auto table = m_db.Query(QStringLiteral("SELECT site_url, COUNT(*) AS visits FROM qb_history WHERE site_url IN (") +
                            quoted.join(QLatin1Char(',')) + QStringLiteral(") GROUP BY site_url"));
    try {
        for (; table && !table->AtEnd(); table->MoveNext())
            counts.insert(table->FieldAsText(QStringLiteral("site_url")),
                          table->FieldAsInt64(QStringLiteral("visits")));
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
    }
    return counts;
}

bool THistory::UseTitleIndex() {
    if (!m_titles->IsUsable())
        return false;
    // The rows added since the last search go in first; rows it cannot take give it up.
    int copied = 0;
    do {
        QMutexLocker locker(&m_indexLock);
        copied = m_titles->CopyBatch(kIndexBatch);
    } while (copied == kIndexBatch);
    return copied >= 0;
}

bool THistory::CatchUpTitleIndex() {
    if (!m_titles->IsPresent() || m_db.IsReadOnly())
        return false;
    int copied = 0;
    do {
        if (QThread::currentThread()->isInterruptionRequested())
            return false;
        QMutexLocker locker(&m_indexLock);
        copied = m_titles->CopyBatch(kIndexBatch);
    } while (copied == kIndexBatch);
    if (copied < 0)
        return false;
    m_titles->SetCurrent();
    return true;
}

THistoryInfoList THistory::FindHistoryByUrl(const QString& text) {
    if (UseSearchIndex()) {
        THistoryInfoList rows;
        if (FindIndexed(text, 6, rows))
            return rows;
        // The index cannot be read after all (damaged): searches go without it from now on.
        LeaveSearchIndex(TSearchIndex::Current, TSearchIndex::GivenUp);
    }
    return ReadList(FindStatement(text, false));
}

bool THistory::UseSearchIndex() {
    if (m_index != TSearchIndex::Current)
        return false;
    // The rows added since the last search (a few at most) go in first.
    if (UpdateSearchIndex())
        return true;
    // Rows it could not take in would be missing from its answers.
    LeaveSearchIndex(TSearchIndex::Current, TSearchIndex::GivenUp);
    return false;
}

bool THistory::CatchUpSearchIndex() {
    CatchUpTitleIndex();
    if (m_index != TSearchIndex::Behind)
        return m_index == TSearchIndex::Current;
    if (m_db.IsReadOnly()) {
        WriteLog(QStringLiteral("History: the data file is read-only and its address search index is behind; "
                                "addresses are searched without it"));
        LeaveSearchIndex(TSearchIndex::Behind, TSearchIndex::GivenUp);
        return false;
    }
    const bool done = UpdateSearchIndex();
    if (!done && QThread::currentThread()->isInterruptionRequested())
        return false; // the next start tries again
    LeaveSearchIndex(TSearchIndex::Behind, done ? TSearchIndex::Current : TSearchIndex::GivenUp);
    return done;
}

void THistory::LeaveSearchIndex(TSearchIndex from, TSearchIndex to) {
    // A deletion may have removed the index meanwhile; that state stays.
    m_index.compare_exchange_strong(from, to);
}

bool THistory::UpdateSearchIndex() {
    int copied = 0;
    do {
        if (QThread::currentThread()->isInterruptionRequested())
            return false;
        copied = CopyBatch();
    } while (copied == kIndexBatch);
    return copied >= 0;
}

int THistory::CopyBatch() {
    QMutexLocker locker(&m_indexLock);
    if (m_index != TSearchIndex::Behind && m_index != TSearchIndex::Current)
        return -1;
    return CopyIndexBatch(m_db, kAddressIndex, kIndexBatch, [](const QString& url) { return url; });
}

THistoryInfoList THistory::LoadHistoryRange(qint64 from, qint64 to) {
    return ReadList(QStringLiteral("SELECT * FROM qb_history WHERE create_time <= ") + QString::number(to) +
                    QStringLiteral(" AND create_time >= ") + QString::number(from) +
                    QStringLiteral(" ORDER BY create_time DESC"));
}

THistoryInfoList THistory::NearestVisit(qint64 time, bool earlier) {
    return ReadList(QStringLiteral("SELECT * FROM qb_history WHERE create_time ") +
                    (earlier ? QStringLiteral("< ") : QStringLiteral("> ")) + QString::number(time) +
                    QStringLiteral(" ORDER BY create_time ") +
                    (earlier ? QStringLiteral("DESC") : QStringLiteral("ASC")) + QStringLiteral(" LIMIT 1"));
}

THistoryInfoList THistory::LoadRecentlyClosed() {
    return ReadList(
        QStringLiteral("SELECT * FROM qb_history WHERE isclose = 1 ORDER BY create_time DESC LIMIT 0, 10"));
}

THistoryInfoList THistory::ReadList(const QString& sql) {
    const auto table = m_db.Query(sql);
    return table ? ReadRows(*table) : THistoryInfoList();
}

THistoryInfoList THistory::ReadRows(TSQLiteTable& table) {
    THistoryInfoList list;
    if (table.RowCount() == 0)
        return list;
    try {
        const int id = table.ColumnIndex(QStringLiteral("id"));
        const int name = table.ColumnIndex(QStringLiteral("site_name"));
        const int url = table.ColumnIndex(QStringLiteral("site_url"));
        const int time = table.ColumnIndex(QStringLiteral("create_time"));
        for (; !table.AtEnd(); table.MoveNext()) {
            THistoryInfo info;
            info.Id = table.GetText(id);
            info.SiteName = table.GetText(name);
            info.SiteUrl = table.GetText(url);
            info.CreateTime = static_cast<qint32>(table.GetInt64(time));
            list.append(info);
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        list.clear();
    }
    return list;
}
