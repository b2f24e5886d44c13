// The search indexes of the history: probing one and bringing it up to date.
#include "history/HistoryIndexTables.h"

#include "common/Logging.h"
#include "history/TitleIndex.h"
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

int CopyIndexBatch(TDb& db, const QString& rowTable, const QString& searchTable, const QString& column,
                   const QString& sourceColumn, int batch,
                   const std::function<QString(const QString&)>& valueOf) {
    auto table = db.Query(QStringLiteral("SELECT id, %1 FROM qb_history WHERE id > "
                                         "(SELECT IFNULL(MAX(id), 0) FROM %2) ORDER BY id LIMIT %3")
                              .arg(sourceColumn, rowTable)
                              .arg(batch));
    if (!table)
        return -1;
    if (table->RowCount() == 0)
        return 0;
    QString script;
    qint64 firstId = 0;
    try {
        const int id = table->ColumnIndex(QStringLiteral("id"));
        const int source = table->ColumnIndex(sourceColumn);
        firstId = table->GetInt64(id);
        for (; !table->AtEnd(); table->MoveNext()) {
            script += QStringLiteral("INSERT INTO %1 (id, %2) VALUES (").arg(rowTable, column) +
                      QString::number(table->GetInt64(id)) + QStringLiteral(", ") +
                      SqlUtf8Literal(valueOf(table->GetText(source))) + QStringLiteral(");\n");
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        return -1;
    }
    script += QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT id, %2 FROM %3 WHERE id >= ")
                  .arg(searchTable, column, rowTable) +
              QString::number(firstId) + QStringLiteral(";\n");
    return db.ExecuteScript(script) ? table->RowCount() : -1;
}
