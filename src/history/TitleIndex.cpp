// The title search index of the history.
#include "history/TitleIndex.h"

#include "common/Logging.h"
#include "history/HistoryIndexTables.h"
#include "history/TitleKeys.h"
#include "storage/DbMain.h"

bool TrigramCanLookUp(const QString& text) {
    int run = 0;
    for (const uint c : text.toUcs4()) {
        run = (c == '%' || c == '_') ? 0 : run + 1;
        if (run >= 3)
            return true;
    }
    return false;
}

QString WhereCopiesOf(const QString& condition) {
    return condition.isEmpty() ? QString()
                               : QStringLiteral(" WHERE id IN (SELECT id FROM qb_history WHERE ") +
                                     condition + QStringLiteral(")");
}

QString SqlUtf8Literal(const QString& text) {
    return QStringLiteral("CAST(X'") + QString::fromLatin1(text.toUtf8().toHex()) +
           QStringLiteral("' AS TEXT)");
}

TTitleIndex::TTitleIndex(TDb& db) : m_db(db) {
    m_state = Probe();
}

TTitleIndex::TState TTitleIndex::Probe() {
    return IndexStateOf(
        ProbeIndex(m_db, QStringLiteral("qb_history_title"), QStringLiteral("qb_history_title_search"),
                   QStringLiteral("this SQLite cannot open the title search index; titles are not "
                                  "searched")),
        TState::GivenUp);
}

void TTitleIndex::SetCurrent() {
    TState behind = TState::Behind;
    m_state.compare_exchange_strong(behind, TState::Current);
}

int TTitleIndex::CopyBatch(int batch) {
    if (m_state != TState::Behind && m_state != TState::Current)
        return -1;
    const int copied =
        CopyIndexBatch(m_db, QStringLiteral("qb_history_title"), QStringLiteral("qb_history_title_search"),
                       QStringLiteral("keys"), QStringLiteral("site_name"), batch, TTitleKeys::Of);
    if (copied < 0)
        m_state = TState::GivenUp;
    return copied;
}

QString TTitleIndex::Deletion(const QString& condition) const {
    if (m_state == TState::Absent)
        return QString();
    const QString copies = WhereCopiesOf(condition);
    if (m_state == TState::GivenUp) // perhaps unreadable: only the copies go
        return QStringLiteral("DELETE FROM qb_history_title") + copies + QStringLiteral(";\n");
    const QString entries =
        condition.isEmpty()
            ? QStringLiteral("INSERT INTO qb_history_title_search (qb_history_title_search) VALUES ('delete-all');\n")
            : QStringLiteral("INSERT INTO qb_history_title_search (qb_history_title_search, rowid, keys) "
                             "SELECT 'delete', id, keys FROM qb_history_title") +
                  copies + QStringLiteral(";\n");
    return entries + QStringLiteral("DELETE FROM qb_history_title") + copies + QStringLiteral(";\n");
}

void TTitleIndex::Remove() {
    if (m_state == TState::Absent)
        return;
    // An unreadable index cannot be dropped by SQL; it then stays unused.
    if (m_db.ExecuteScript(QStringLiteral("DROP TRIGGER IF EXISTS qb_history_title_update;\n"
                                          "DROP TABLE IF EXISTS qb_history_title_search;\n"
                                          "DROP TABLE IF EXISTS qb_history_title;\n"))) {
        m_state = TState::Absent;
        WriteLog(QStringLiteral("History: the title search index could not follow a deletion and was removed"));
        return;
    }
    m_state = TState::GivenUp;
}

QString TTitleIndex::FindStatement(const QString& text, int limit, int window) const {
    const QString pattern = SqlUtf8Literal(QLatin1Char('%') + text.toLower() + QLatin1Char('%'));
    const QString tail = QStringLiteral(" LIMIT 0, ") + QString::number(limit);
    if (!TrigramCanLookUp(text)) {
        return QStringLiteral("SELECT h.* FROM qb_history_title t CROSS JOIN qb_history h ON h.id = t.id "
                              "WHERE t.id > (SELECT IFNULL(MAX(id), 0) FROM qb_history_title) - ") +
               QString::number(window) + QStringLiteral(" AND t.keys LIKE ") + pattern +
               QStringLiteral(" ORDER BY t.id DESC") + tail;
    }
    return QStringLiteral("SELECT h.* FROM qb_history_title_search s CROSS JOIN qb_history h ON h.id = s.rowid "
                          "WHERE s.keys LIKE ") +
           pattern + QStringLiteral(" AND (s.keys || '') LIKE ") + pattern + QStringLiteral(" ORDER BY s.rowid DESC") +
           tail;
}
