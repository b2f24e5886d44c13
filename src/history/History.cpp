// The history store over qb_history.
#include "history/History.h"

#include "common/AnsiCodec.h"
#include "common/CommonFunc.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

namespace {

// Rows handed to the search index per batch while it catches up.
constexpr int kIndexBatch = 2000;

// Text as a UTF-8 literal. The data file's statements are converted to GB18030 on their way to
// SQLite; the search index holds UTF-8, which passes that conversion only as a blob literal.
QString Utf8Literal(const QString& text) {
    return QStringLiteral("CAST(X'") + QString::fromLatin1(text.toUtf8().toHex()) +
           QStringLiteral("' AS TEXT)");
}

// True when the LIKE pattern "%text%" holds a run of at least three characters without a
// wildcard: only then can the search index look the text up instead of reading every row.
bool IndexCanLookUp(const QString& text) {
    int run = 0;
    for (const uint c : text.toUcs4()) {
        run = (c == '%' || c == '_') ? 0 : run + 1;
        if (run >= 3)
            return true;
    }
    return false;
}

} // namespace

THistory::THistory(TDb& db, TClock clock) : m_db(db), m_clock(std::move(clock)) {
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
    const auto table = m_db.Query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                                 "name IN ('qb_history_search', 'qb_history_text')"));
    m_hasSearchIndex = table && table->RowCount() == 2;
}

qint64 THistory::Now() const {
    return DateTimeToUnixTime(m_clock());
}

qint64 THistory::StartOfToday() const {
    const QDateTime now = m_clock();
    return DateTimeToUnixTime(QDateTime(now.date(), QTime(0, 0), now.timeSpec()));
}

bool THistory::AddVisit(const THistoryInfo& info) {
    const qint64 today = StartOfToday();
    // Only the newest of today's rows is updated: its id is all that is read.
    auto table = m_db.Query(QStringLiteral("SELECT id FROM qb_history WHERE site_url = ") +
                            SqlQuote(info.SiteUrl) + QStringLiteral(" AND create_time >= ") +
                            QString::number(today) + QStringLiteral(" ORDER BY id DESC LIMIT 1"));
    if (!table)
        return false;
    QString id;
    try {
        if (table->RowCount() > 0)
            id = table->FieldAsText(QStringLiteral("id"));
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        return false;
    }
    const QString isClose = info.IsClose ? QStringLiteral("1") : QStringLiteral("0");
    const QString now = QString::number(Now());
    if (!id.isEmpty()) {
        return m_db.Execute(QStringLiteral("UPDATE qb_history SET create_time = ") + now +
                            QStringLiteral(", isclose = ") + isClose + QStringLiteral(" WHERE id = ") + id);
    }
    return m_db.Execute(
        QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) VALUES (") +
        SqlQuote(info.SiteName) + QStringLiteral(", ") + SqlQuote(info.SiteUrl) + QStringLiteral(", ") + now +
        QStringLiteral(", ") + isClose + QStringLiteral(")"));
}

bool THistory::ClearHistory() {
    if (!m_hasSearchIndex)
        return m_db.Execute(QStringLiteral("DELETE FROM qb_history"));
    return m_db.ExecuteScript(
        QStringLiteral("DELETE FROM qb_history;\n"
                       "DELETE FROM qb_history_text;\n"
                       "INSERT INTO qb_history_search (qb_history_search) VALUES ('delete-all');\n"));
}

bool THistory::DeleteHistoryItem(const QString& id) {
    if (!IsRowId(id)) {
        WriteLog(QStringLiteral("History: not a row id: ") + id);
        return false;
    }
    if (!m_hasSearchIndex)
        return m_db.Execute(QStringLiteral("DELETE FROM qb_history WHERE id = ") + id);
    return m_db.ExecuteScript(
        QStringLiteral("DELETE FROM qb_history WHERE id = %1;\n"
                       "INSERT INTO qb_history_search (qb_history_search, rowid, site_url) "
                       "SELECT 'delete', id, site_url FROM qb_history_text WHERE id = %1;\n"
                       "DELETE FROM qb_history_text WHERE id = %1;\n")
            .arg(id));
}

QString THistory::FindStatement(const QString& text, bool useSearchIndex) {
    if (!useSearchIndex) {
        return QStringLiteral("SELECT * FROM qb_history WHERE site_url LIKE ") +
               SqlQuote(QLatin1Char('%') + text + QLatin1Char('%')) +
               QStringLiteral(" ORDER BY id DESC LIMIT 0, 6");
    }
    // The index holds every address as UTF-8 under its row id. LIKE is tested on that copy, so
    // it compares characters (on the GB18030 bytes of qb_history it would take different Chinese
    // characters for equal ones). When the text has a run of three characters, the index hands
    // over only rows holding its three-character pieces; otherwise the copy itself is read
    // newest first (its rows are ordered by id, so the walk stops at the sixth match without a
    // sort and without the index's per-row overhead).
    const QString pattern = Utf8Literal(QLatin1Char('%') + text + QLatin1Char('%'));
    if (!IndexCanLookUp(text)) {
        return QStringLiteral("SELECT h.* FROM qb_history_text t CROSS JOIN qb_history h ON h.id = t.id "
                              "WHERE t.site_url LIKE ") +
               pattern + QStringLiteral(" ORDER BY t.id DESC LIMIT 0, 6");
    }
    return QStringLiteral("SELECT h.* FROM qb_history_search s CROSS JOIN qb_history h ON h.id = s.rowid "
                          "WHERE s.site_url LIKE ") +
           pattern + QStringLiteral(" AND (s.site_url || '') LIKE ") + pattern +
           QStringLiteral(" ORDER BY s.rowid DESC LIMIT 0, 6");
}

THistoryInfoList THistory::FindHistoryByUrl(const QString& text) {
    return ReadList(FindStatement(text, m_hasSearchIndex && UpdateSearchIndex()));
}

bool THistory::UpdateSearchIndex() {
    for (;;) {
        auto table =
            m_db.Query(QStringLiteral("SELECT id, site_url FROM qb_history WHERE id > "
                                      "(SELECT IFNULL(MAX(id), 0) FROM qb_history_text) ORDER BY id LIMIT ") +
                       QString::number(kIndexBatch));
        if (!table)
            return false;
        if (table->RowCount() == 0)
            return true;
        QString script;
        qint64 firstId = 0;
        try {
            const int id = table->ColumnIndex(QStringLiteral("id"));
            const int url = table->ColumnIndex(QStringLiteral("site_url"));
            firstId = table->GetInt64(id);
            for (; !table->AtEnd(); table->MoveNext()) {
                script += QStringLiteral("INSERT INTO qb_history_text (id, site_url) VALUES (") +
                          QString::number(table->GetInt64(id)) + QStringLiteral(", ") +
                          Utf8Literal(table->GetText(url)) + QStringLiteral(");\n");
            }
        } catch (const ESQLiteException& e) {
            WriteLog(QStringLiteral("History: ") + e.Message());
            return false;
        }
        script +=
            QStringLiteral(
                "INSERT INTO qb_history_search (rowid, site_url) SELECT id, site_url FROM qb_history_text "
                "WHERE id >= ") +
            QString::number(firstId) + QStringLiteral(";\n");
        const bool full = table->RowCount() == kIndexBatch;
        if (!m_db.ExecuteScript(script))
            return false;
        if (!full)
            return true;
    }
}

THistoryInfoList THistory::LoadHistoryRange(qint64 from, qint64 to) {
    return ReadList(QStringLiteral("SELECT * FROM qb_history WHERE create_time <= ") + QString::number(to) +
                    QStringLiteral(" AND create_time >= ") + QString::number(from) +
                    QStringLiteral(" ORDER BY create_time DESC"));
}

THistoryInfoList THistory::LoadRecentlyClosed() {
    return ReadList(
        QStringLiteral("SELECT * FROM qb_history WHERE isclose = 1 ORDER BY create_time DESC LIMIT 0, 10"));
}

THistoryInfoList THistory::ReadList(const QString& sql) {
    THistoryInfoList list;
    auto table = m_db.Query(sql);
    if (!table || table->RowCount() == 0)
        return list;
    try {
        const int id = table->ColumnIndex(QStringLiteral("id"));
        const int name = table->ColumnIndex(QStringLiteral("site_name"));
        const int url = table->ColumnIndex(QStringLiteral("site_url"));
        const int time = table->ColumnIndex(QStringLiteral("create_time"));
        for (; !table->AtEnd(); table->MoveNext()) {
            THistoryInfo info;
            info.Id = table->GetText(id);
            info.SiteName = table->GetText(name);
            info.SiteUrl = table->GetText(url);
            info.CreateTime = static_cast<qint32>(table->GetInt64(time));
            list.append(info);
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        list.clear();
    }
    return list;
}
