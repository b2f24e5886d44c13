// How far a search index over the history rows is usable.
#include "history/IndexProbe.h"

#include "common/Logging.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

TIndexProbe ProbeIndex(TDb& db, const QString& rowTable, const QString& searchTable,
                       const QString& unreadableNote) {
    const auto tables =
        db.Query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name IN (") +
                 SqlQuote(rowTable) + QStringLiteral(", ") + SqlQuote(searchTable) + QStringLiteral(")"));
    if (!tables || tables->RowCount() != 2)
        return TIndexProbe::Absent;
    // Preparing a statement on the index opens it, which needs its tokenizer.
    if (!db.Query(QStringLiteral("SELECT rowid FROM %1 LIMIT 0").arg(searchTable))) {
        WriteLog(QStringLiteral("History: ") + unreadableNote);
        return TIndexProbe::Unreadable;
    }
    const auto behind = db.Query(QStringLiteral("SELECT (SELECT IFNULL(MAX(id), 0) FROM qb_history) > "
                                                "(SELECT IFNULL(MAX(id), 0) FROM %1) AS behind")
                                     .arg(rowTable));
    try {
        if (behind && behind->FieldAsInt64(QStringLiteral("behind")) == 0)
            return TIndexProbe::Current;
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
    }
    return TIndexProbe::Behind;
}
