// The title search index of the history.
#include "history/TitleIndex.h"

#include "common/Logging.h"
#include "history/HistoryIndexTables.h"
#include "history/TextPieces.h"
#include "history/TitleKeys.h"
#include "storage/DbMain.h"

#include <algorithm>

namespace {

// The title forms of each row (TTitleKeys), made by the data file's functions from its title: one
// column each, so that no piece runs from one form into the next.
const TIndexTables kTitleIndex{
    QStringLiteral("qb_history_title_search"),
    QStringLiteral("qb_history_title_pieces"),
    QStringLiteral("keys, pinyin, initials"),
    QStringLiteral("site_name"),
    QStringLiteral("quellon_title_keys"),
    QStringLiteral("quellon_title_form(%1, 0), quellon_title_form(%1, 1), quellon_title_form(%1, 2)"),
    QStringLiteral("qb_history_title")};
const QString kKeysText = RowText(kTitleIndex);
const QString kTrigger = QStringLiteral("qb_history_title_update");

} // namespace

bool TrigramCanLookUp(const QString& text) {
    int run = 0;
    for (const uint c : text.toUcs4()) {
        run = (c == '%' || c == '_' || c == '\n') ? 0 : run + 1;
        if (run >= 3)
            return true;
    }
    return false;
}

QString TrigramQuery(const QString& text) {
    QStringList terms;
    QVector<uint> run;
    for (const uint c : text.toUcs4()) {
        run = (c == '%' || c == '_' || c == '\n') ? QVector<uint>() : run << c;
        if (run.size() >= 3) {
            const QString term = QString::fromUcs4(run.constData() + run.size() - 3, 3);
            terms.append(QLatin1Char('"') + QString(term).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                         QLatin1Char('"'));
        }
    }
    return terms.join(QStringLiteral(" AND "));
}

QString SqlUtf8Literal(const QString& text) {
    return QStringLiteral("CAST(X'") + QString::fromLatin1(text.toUtf8().toHex()) +
           QStringLiteral("' AS TEXT)");
}

TTitleIndex::TTitleIndex(TDb& db) : m_db(db) {
    m_state = Probe();
}

TTitleIndex::TState TTitleIndex::Probe() {
    const TIndexProbe probe = ProbeIndex(
        m_db, kTitleIndex, QStringLiteral("this SQLite cannot open the title search index; titles are not searched"));
    if (probe == TIndexProbe::Older)
        return Rebuild();
    return IndexStateOf(probe, TState::GivenUp, TState::GivenUp);
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
    // An index of an earlier format is made anew and filled by the catch-up.
    if (m_db.IsReadOnly() || !m_db.ExecuteScript(IndexRecreation(kTitleIndex, kTrigger)))
        return TState::GivenUp;
    WriteLog(QStringLiteral("History: the title search index is rebuilt in the new format"));
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
    // An index given up (perhaps unreadable) is removed after the deletion.
    if (m_state == TState::Absent || m_state == TState::GivenUp)
        return QString();
    return EntryDeletion(kTitleIndex, condition);
}

void TTitleIndex::Remove() {
    if (m_state == TState::Absent)
        return;
    // An unreadable index cannot be dropped by SQL; it then stays unused.
    if (m_db.ExecuteScript(IndexRemoval(kTitleIndex, kTrigger))) {
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
        const QString inBlock = block < 0 ? QString() : TTextPieces::InBlock(QStringLiteral("h.id"), block) +
                                                             QStringLiteral(" AND ");
        return QStringLiteral("SELECT h.* FROM qb_history h WHERE ") + inBlock + kKeysText + QStringLiteral(" LIKE ") +
               pattern + QStringLiteral(" ORDER BY h.id DESC") + tail;
    }
    return QStringLiteral("SELECT h.* FROM qb_history_title_search s CROSS JOIN qb_history h ON h.id = s.rowid "
                          "WHERE qb_history_title_search MATCH ") +
           SqlUtf8Literal(TrigramQuery(text.toLower())) + QStringLiteral(" AND ") + kKeysText + QStringLiteral(" LIKE ") +
           pattern + QStringLiteral(" ORDER BY s.rowid DESC") + tail;
}
