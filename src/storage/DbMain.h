// The data file's access layer: TDb serialises every statement on one SQLite connection behind one
// lock, runs each write as its own transaction and never lets a database error escape; queries come
// back as fully read result sets (TSQLiteTable).
#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <stdexcept>
#include <variant>

class TSQLiteDatabase;

// Raised by the result-set accessors (they are the only database errors that reach callers).
class ESQLiteException : public std::runtime_error {
public:
    explicit ESQLiteException(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};

class TSQLiteTable {
public:
    enum TColumnKind { ckInteger, ckFloat, ckText, ckBlob, ckNull };
    using TCell = std::variant<std::monostate, qint64, double, QString, QByteArray>;

    int RowCount() const { return m_rows.size(); }
    int ColumnCount() const { return m_columnNames.size(); }
    bool AtEnd() const { return m_current >= RowCount(); }
    // Advances one row and answers true; at the end it stays there and answers false.
    bool MoveNext();
    // Index of the column with this name, letter case ignored.
    // Throws "Field not found in dataset: <name>" or "Field <name> Not found. Empty dataset".
    int ColumnIndex(const QString& name) const;
    // The current row's cell. Both throw "Table is at End of File"; GetInt64 also throws
    // "Not an integer or numeric field" for text and blob columns (null reads as "" and 0).
    QString GetText(int column) const;
    qint64 GetInt64(int column) const;
    // By name: ColumnIndex + GetText / GetInt64.
    QString FieldAsText(const QString& name) const { return GetText(ColumnIndex(name)); }
    qint64 FieldAsInt64(const QString& name) const { return GetInt64(ColumnIndex(name)); }
    TColumnKind ColumnKind(int column) const { return m_kinds.value(column, ckNull); }
    QString ColumnName(int column) const { return m_columnNames.value(column); }

private:
    friend class TSQLiteDatabase;
    const TCell& Cell(int column) const;

    QStringList m_columnNames; // upper-cased
    QVector<TColumnKind> m_kinds;
    QVector<QVector<TCell>> m_rows;
    int m_current = 0;
};

class TDb {
public:
    TDb();
    ~TDb();
    TDb(const TDb&) = delete;
    TDb& operator=(const TDb&) = delete;

    // Opens an existing data file; false when it does not exist, is not a readable database or
    // cannot be opened (no connection then, and the reason is logged). A file without write
    // permission opens for reading: every write answers false.
    bool Open(const QString& path);
    void Close();
    // True when no write can be stored: the file is read-only or none is open.
    bool IsReadOnly() const;
    // The path given to the last Open.
    QString Path() const;

    // Every row of the first statement of the text; nullptr when the text is empty or anything fails.
    std::unique_ptr<TSQLiteTable> Query(const QString& sql);
    // Releases a result set; always true.
    bool FreeTable(std::unique_ptr<TSQLiteTable>& table);
    // One statement in its own transaction; false (and the text on the log) on any failure.
    bool Execute(const QString& sql);
    // One statement per line (lines ending in ";"; other lines are skipped), all in one transaction:
    // either every statement is kept or none.
    bool ExecuteScript(const QString& script);
    // Row id of the most recent insert on the connection; 0 when it cannot be read.
    qint32 LastInsertId();

private:
    // Rolls back the failed write and logs its text with the reason; answers false.
    bool FailWrite(const QString& text);

    mutable QMutex m_lock;
    std::unique_ptr<TSQLiteDatabase> m_connection;
    QString m_path;
};
