// The search indexes of the history: probing one and bringing it up to date.
#include "history/HistoryIndexTables.h"

#include "common/Logging.h"
#include "history/TextPieces.h"
#include "history/TitleIndex.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

const QString kIndexedRows = QStringLiteral("qb_history_indexed");

namespace {

// SQL of the newest row id the index has taken in.
QString LastIndexed(const TIndexTables& tables) {
    return QStringLiteral("(SELECT last_id FROM %1 WHERE name = '%2')").arg(kIndexedRows, tables.SearchTable);
}

// The trigger that takes the entries from a changed row on out of the index (with the texts they
// were indexed under: the changed row's old one) and has the store take those rows in again.
QString ChangeTrigger(const TIndexTables& tables, const QString& name) {
    const QString old = QStringLiteral("CASE WHEN h.id = old.id THEN old.%1 ELSE h.%1 END").arg(tables.SourceColumn);
    return QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON qb_history WHEN old.id <= %3 BEGIN "
                          "INSERT INTO %4 (%4, rowid, %5) SELECT 'delete', h.id, %6 FROM qb_history h "
                          "WHERE h.id >= old.id AND h.id <= %3; "
                          "UPDATE %8 SET last_id = old.id - 1 WHERE name = '%4'; END;\n")
        .arg(name, tables.SourceColumn, LastIndexed(tables), tables.SearchTable, tables.Columns,
             QString(tables.IndexedValues).replace(QStringLiteral("%1"), old), kIndexedRows);
}

} // namespace

TIndexProbe ProbeIndex(TDb& db, const TIndexTables& tables, const QString& unreadableNote) {
    if (!HasTable(db, tables.SearchTable))
        return TIndexProbe::Absent;
    // Preparing a statement on the index opens it, which needs its tokenizer.
    if (!db.Query(QStringLiteral("SELECT rowid FROM %1 LIMIT 0").arg(tables.SearchTable))) {
        WriteLog(QStringLiteral("History: ") + unreadableNote);
        return TIndexProbe::Unreadable;
    }
    if (HasTable(db, tables.CopyTable) || !HasTable(db, tables.PiecesTable) || !HasTable(db, kIndexedRows))
        return TIndexProbe::Older;
    const auto behind = db.Query(QStringLiteral("SELECT (SELECT IFNULL(MAX(id), 0) FROM qb_history) > "
                                                "IFNULL(%1, -1) AS behind, %1 IS NULL AS missing")
                                     .arg(LastIndexed(tables)));
    try {
        if (behind && behind->FieldAsInt64(QStringLiteral("missing")) != 0)
            return TIndexProbe::Older;
        if (behind && behind->FieldAsInt64(QStringLiteral("behind")) == 0)
            return TIndexProbe::Current;
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
    }
    return TIndexProbe::Behind;
}

QString RowText(const TIndexTables& tables) {
    return QStringLiteral("%1(h.%2)").arg(tables.Function, tables.SourceColumn);
}

QString IndexedText(const TIndexTables& tables) {
    return QString(tables.IndexedValues).replace(QStringLiteral("%1"), QStringLiteral("h.") + tables.SourceColumn);
}

QString IndexRecreation(const TIndexTables& tables, const QString& triggerName) {
    return IndexRemoval(tables, triggerName) + TTextPieces::Creation(tables.PiecesTable) +
           QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name TEXT PRIMARY KEY, last_id INTEGER NOT NULL);\n"
                          "INSERT OR REPLACE INTO %1 (name, last_id) VALUES ('%2', 0);\n"
                          "CREATE VIRTUAL TABLE %2 USING fts5(%3, content = '', tokenize = 'trigram', "
                          "detail = 'none', columnsize = 0);\n")
               .arg(kIndexedRows, tables.SearchTable, tables.Columns) +
           ChangeTrigger(tables, triggerName);
}

QString EntryDeletion(const TIndexTables& tables, const QString& condition) {
    if (condition.isEmpty())
        return QStringLiteral("INSERT INTO %1 (%1) VALUES ('delete-all');\nDELETE FROM %2;\n")
            .arg(tables.SearchTable, tables.PiecesTable);
    return QStringLiteral("INSERT INTO %1 (%1, rowid, %2) SELECT 'delete', h.id, ").arg(tables.SearchTable, tables.Columns) +
           IndexedText(tables) + QStringLiteral(" FROM qb_history h WHERE h.id <= ") + LastIndexed(tables) +
           QStringLiteral(" AND h.id IN (SELECT id FROM qb_history WHERE ") + condition + QStringLiteral(");\n");
}

QString IndexRemoval(const TIndexTables& tables, const QString& triggerName) {
    return QStringLiteral("DROP TRIGGER IF EXISTS %1;\nDROP TABLE IF EXISTS %2;\nDROP TABLE IF EXISTS %3;\n"
                          "DROP TABLE IF EXISTS %4;\n")
        .arg(triggerName, tables.SearchTable, tables.CopyTable, tables.PiecesTable);
}

int CopyIndexBatch(TDb& db, const TIndexTables& tables, int batch,
                   const std::function<QString(const QString&)>& valueOf) {
    auto table = db.Query(QStringLiteral("SELECT id, %1 FROM qb_history WHERE id > %2 ORDER BY id LIMIT %3")
                              .arg(tables.SourceColumn, LastIndexed(tables))
                              .arg(batch));
    if (!table)
        return -1;
    if (table->RowCount() == 0)
        return 0;
    qint64 firstId = 0;
    qint64 lastId = 0;
    QList<QPair<qint64, QString>> texts;
    try {
        const int id = table->ColumnIndex(QStringLiteral("id"));
        const int source = table->ColumnIndex(tables.SourceColumn);
        firstId = table->GetInt64(id);
        for (; !table->AtEnd(); table->MoveNext()) {
            lastId = table->GetInt64(id);
            texts.append({lastId, valueOf(table->GetText(source))});
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        return -1;
    }
    const QString range = QStringLiteral(" BETWEEN %1 AND %2").arg(firstId).arg(lastId);
    const QString script =
        QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT h.id, %3 FROM qb_history h WHERE h.id")
            .arg(tables.SearchTable, tables.Columns, IndexedText(tables)) +
        range + QStringLiteral(";\n") + TTextPieces::Insertion(tables.PiecesTable, texts) +
        QStringLiteral("UPDATE %1 SET last_id = %2 WHERE name = '%3';\n").arg(kIndexedRows).arg(lastId).arg(tables.SearchTable);
    return db.ExecuteScript(script) ? table->RowCount() : -1;
}
