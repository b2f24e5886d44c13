// The title search index of the history.
#include "history/TitleIndex.h"

#include "common/Logging.h"
#include "history/HistoryIndexTables.h"
#include "history/TextPieces.h"
#include "history/TitleKeys.h"
#include "storage/DbMain.h"

#include <algorithm>

namespace {

// The title forms of each row (TTitleKeys); a title of ASCII characters only has no copy: its one
// form is the row's own title in lower case (the same bytes in the data file).
const TIndexTables kTitleIndex{QStringLiteral("qb_history_title"),        QStringLiteral("qb_history_title_search"),
                               QStringLiteral("qb_history_title_pieces"), QStringLiteral("keys"),
                               QStringLiteral("site_name"),               QStringLiteral("lower(%1)")};
const QString kKeysText = RowText(kTitleIndex);

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
    return kTitleIndex.PiecesTable;
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
                            ChangeTrigger(kTitleIndex, QStringLiteral("qb_history_title_update"))))
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
        CopyIndexBatch(m_db, kTitleIndex, batch, TTitleKeys::Of);
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
    return EntryDeletion(kTitleIndex, condition) + QStringLiteral("DELETE FROM qb_history_title") + copies + QStringLiteral(";\n");
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
        return QStringLiteral("SELECT h.*") + CopiesWithRows(kTitleIndex) + QStringLiteral(" WHERE ") + inBlock + kKeysText +
               QStringLiteral(" LIKE ") + pattern +
               QStringLiteral(" ORDER BY t.id DESC") + tail;
    }
    return QStringLiteral("SELECT h.* FROM qb_history_title_search s CROSS JOIN qb_history_title t ON t.id = s.rowid "
                          "CROSS JOIN qb_history h ON h.id = s.rowid WHERE qb_history_title_search MATCH ") +
           SqlUtf8Literal(TrigramQuery(text.toLower())) + QStringLiteral(" AND ") + kKeysText + QStringLiteral(" LIKE ") +
           pattern + QStringLiteral(" ORDER BY s.rowid DESC") + tail;
}
