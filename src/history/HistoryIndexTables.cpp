// The search indexes of the history: probing one and bringing it up to date.
#include "history/HistoryIndexTables.h"

#include "common/Logging.h"
#include "history/TextPieces.h"
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

QString RowText(const TIndexTables& tables) {
    return QStringLiteral("COALESCE(t.%1, %2)").arg(tables.Column, tables.OwnText.arg(QStringLiteral("h.") + tables.SourceColumn));
}

QString CopiesWithRows(const TIndexTables& tables) {
    return QStringLiteral(" FROM %1 t CROSS JOIN qb_history h ON h.id = t.id").arg(tables.RowTable);
}

QString EntryDeletion(const TIndexTables& tables, const QString& condition) {
    if (condition.isEmpty())
        return QStringLiteral("INSERT INTO %1 (%1) VALUES ('delete-all');\nDELETE FROM %2;\n")
            .arg(tables.SearchTable, tables.PiecesTable);
    return QStringLiteral("INSERT INTO %1 (%1, rowid, %2) SELECT 'delete', t.id, ").arg(tables.SearchTable, tables.Column) +
           RowText(tables) + CopiesWithRows(tables) + QStringLiteral(" WHERE t.id IN (SELECT id FROM qb_history WHERE ") +
           condition + QStringLiteral(");\n");
}

QString ChangeTrigger(const TIndexTables& tables, const QString& name) {
    const QString old = QStringLiteral("CASE WHEN t.id = old.id THEN old.%1 ELSE h.%1 END").arg(tables.SourceColumn);
    return QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON qb_history BEGIN INSERT INTO %3 (%3, rowid, %4) "
                          "SELECT 'delete', t.id, COALESCE(t.%4, %5) FROM %6 t LEFT JOIN qb_history h ON h.id = t.id "
                          "WHERE t.id >= old.id; DELETE FROM %6 WHERE id >= old.id; END;\n")
        .arg(name, tables.SourceColumn, tables.SearchTable, tables.Column, tables.OwnText.arg(old), tables.RowTable);
}

int CopyIndexBatch(TDb& db, const TIndexTables& tables, int batch,
                   const std::function<QString(const QString&)>& valueOf) {
    auto table = db.Query(QStringLiteral("SELECT id, %1 FROM qb_history WHERE id > "
                                         "(SELECT IFNULL(MAX(id), 0) FROM %2) ORDER BY id LIMIT %3")
                              .arg(tables.SourceColumn, tables.RowTable)
                              .arg(batch));
    if (!table)
        return -1;
    if (table->RowCount() == 0)
        return 0;
    QString script;
    qint64 firstId = 0;
    QList<QPair<qint64, QString>> texts;
    try {
        const int id = table->ColumnIndex(QStringLiteral("id"));
        const int source = table->ColumnIndex(tables.SourceColumn);
        firstId = table->GetInt64(id);
        for (; !table->AtEnd(); table->MoveNext()) {
            const QString text = table->GetText(source);
            texts.append({table->GetInt64(id), valueOf(text)});
            script += QStringLiteral("INSERT INTO %1 (id, %2) VALUES (").arg(tables.RowTable, tables.Column) +
                      QString::number(texts.last().first) + QStringLiteral(", ") +
                      (IsAsciiText(text) ? QStringLiteral("NULL") : SqlUtf8Literal(texts.last().second)) +
                      QStringLiteral(");\n");
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("History: ") + e.Message());
        return -1;
    }
    script += QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT t.id, %3 FROM %4 t CROSS JOIN qb_history h ON "
                             "h.id = t.id WHERE t.id >= ")
                  .arg(tables.SearchTable, tables.Column, RowText(tables), tables.RowTable) +
              QString::number(firstId) + QStringLiteral(";\n") + TTextPieces::Insertion(tables.PiecesTable, texts);
    return db.ExecuteScript(script) ? table->RowCount() : -1;
}
