// The title search index of the history.
#include "history/TitleIndex.h"

#include "common/Logging.h"
#include "history/HistoryIndexTables.h"
#include "history/TextPieces.h"
#include "history/TitleKeys.h"
#include "storage/DbMain.h"

#include <algorithm>

namespace {

// The title forms of a row: its copy, or for a title of ASCII characters only (whose forms are the
// title in lower case, the same bytes in the data file) the row's own title in lower case.
const QString kKeysText = QStringLiteral("COALESCE(t.keys, lower(h.site_name))");
const QString kCopiesWithRows = QStringLiteral(" FROM qb_history_title t CROSS JOIN qb_history h ON h.id = t.id");
// Takes the entries of a changed title from that row on out of the index (the store copies
// those rows again); the changed row's copy-less title is its old one.
const QString kTitleTrigger = QStringLiteral(
    "CREATE TRIGGER qb_history_title_update AFTER UPDATE OF site_name ON qb_history BEGIN "
    "INSERT INTO qb_history_title_search (qb_history_title_search, rowid, keys) SELECT 'delete', t.id, "
    "COALESCE(t.keys, lower(CASE WHEN t.id = old.id THEN old.site_name ELSE h.site_name END)) "
    "FROM qb_history_title t LEFT JOIN qb_history h ON h.id = t.id WHERE t.id >= old.id; "
    "DELETE FROM qb_history_title WHERE id >= old.id; END;\n");

} // namespace

bool TrigramCanLookUp(const QString& text) {
    int run = 0;
    for (const uint c : text.toUcs4()) {
        run = (c == '%' || c == '_') ? 0 : run + 1;
        if (run >= 3)
            return true;
    }
    return false;
}

bool IsAsciiText(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

QString TrigramQuery(const QString& text) {
    QStringList terms;
    QVector<uint> run;
    for (const uint c : text.toUcs4()) {
        run = (c == '%' || c == '_') ? QVector<uint>() : run << c;
        if (run.size() >= 3) {
            const QString term = QString::fromUcs4(run.constData() + run.size() - 3, 3);
            terms.append(QLatin1Char('"') + QString(term).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                         QLatin1Char('"'));
        }
    }
    return terms.join(QStringLiteral(" AND "));
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
    const TIndexProbe probe =
        ProbeIndex(m_db, QStringLiteral("qb_history_title"), QStringLiteral("qb_history_title_search"),
                   QStringLiteral("this SQLite cannot open the title search index; titles are not searched"));
    if ((probe == TIndexProbe::Behind || probe == TIndexProbe::Current) && !HasTable(m_db, PiecesTable()))
        return Rebuild();
    return IndexStateOf(probe, TState::GivenUp);
}

QString TTitleIndex::PiecesTable() {
    return QStringLiteral("qb_history_title_pieces");
}

bool HasTable(TDb& db, const QString& name) {
    const auto found = db.Query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '") +
                                name + QStringLiteral("'"));
    return found && found->RowCount() == 1;
}

TTitleIndex::TState TTitleIndex::Rebuild() {
    // An index made before the pieces table existed is emptied and filled again by the catch-up.
    if (m_db.IsReadOnly() ||
        !m_db.ExecuteScript(TTextPieces::Creation(PiecesTable()) +
                            QStringLiteral("INSERT INTO qb_history_title_search (qb_history_title_search) VALUES "
                                           "('delete-all');\n"
                                           "DELETE FROM qb_history_title;\n"
                                           "DROP TRIGGER IF EXISTS qb_history_title_update;\n") +
                            kTitleTrigger))
        return TState::GivenUp;
    return TState::Behind;
}

void TTitleIndex::SetCurrent() {
    TState behind = TState::Behind;
    m_state.compare_exchange_strong(behind, TState::Current);
}

int TTitleIndex::CopyBatch(int batch) {
    if (m_state != TState::Behind && m_state != TState::Current)
        return -1;
    const int copied =
        CopyIndexBatch(m_db, {QStringLiteral("qb_history_title"), QStringLiteral("qb_history_title_search"),
                              PiecesTable(), QStringLiteral("keys"), QStringLiteral("site_name"), kKeysText},
                       batch, TTitleKeys::Of);
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
            ? QStringLiteral("INSERT INTO qb_history_title_search (qb_history_title_search) VALUES ('delete-all');\n"
                             "DELETE FROM qb_history_title_pieces;\n")
            : QStringLiteral("INSERT INTO qb_history_title_search (qb_history_title_search, rowid, keys) "
                             "SELECT 'delete', t.id, ") +
                  kKeysText + kCopiesWithRows + QStringLiteral(" WHERE t.id IN (SELECT id FROM qb_history WHERE ") +
                  condition + QStringLiteral(");\n");
    return entries + QStringLiteral("DELETE FROM qb_history_title") + copies + QStringLiteral(";\n");
}

void TTitleIndex::Remove() {
    if (m_state == TState::Absent)
        return;
    // An unreadable index cannot be dropped by SQL; it then stays unused.
    if (m_db.ExecuteScript(QStringLiteral("DROP TRIGGER IF EXISTS qb_history_title_update;\n"
                                          "DROP TABLE IF EXISTS qb_history_title_search;\n"
                                          "DROP TABLE IF EXISTS qb_history_title;\n"
                                          "DROP TABLE IF EXISTS qb_history_title_pieces;\n"))) {
        m_state = TState::Absent;
        WriteLog(QStringLiteral("History: the title search index could not follow a deletion and was removed"));
        return;
    }
    m_state = TState::GivenUp;
}

QString TTitleIndex::FindStatement(const QString& text, int limit, qint64 block) const {
    const QString pattern = SqlUtf8Literal(QLatin1Char('%') + text.toLower() + QLatin1Char('%'));
    const QString tail = QStringLiteral(" LIMIT 0, ") + QString::number(limit);
    if (!TrigramCanLookUp(text)) {
        const QString inBlock = block < 0 ? QString() : TTextPieces::InBlock(QStringLiteral("t.id"), block) +
                                                             QStringLiteral(" AND ");
        return QStringLiteral("SELECT h.*") + kCopiesWithRows + QStringLiteral(" WHERE ") + inBlock + kKeysText +
               QStringLiteral(" LIKE ") + pattern +
               QStringLiteral(" ORDER BY t.id DESC") + tail;
    }
    return QStringLiteral("SELECT h.* FROM qb_history_title_search s CROSS JOIN qb_history_title t ON t.id = s.rowid "
                          "CROSS JOIN qb_history h ON h.id = s.rowid WHERE qb_history_title_search MATCH ") +
           SqlUtf8Literal(TrigramQuery(text.toLower())) + QStringLiteral(" AND ") + kKeysText + QStringLiteral(" LIKE ") +
           pattern + QStringLiteral(" ORDER BY s.rowid DESC") + tail;
}
