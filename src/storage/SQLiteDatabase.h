// The thin wrapper over one SQLite connection: opening an existing file, transactions, running one
// statement and reading a statement's rows into a TSQLiteTable. It has no lock of its own: TDb
// serialises every call.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

struct sqlite3;
class TSQLiteTable;

class TSQLiteDatabase final {
public:
    TSQLiteDatabase() = default;
    // Rolls back an open transaction and closes the connection.
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // Opens an existing database file (never creates one) and proves it is a readable database.
    // A file without write permission opens read-only. A writable file is switched to write-ahead
    // logging with normal synchronisation.
    bool Open(const QString& path);
    bool IsReadOnly() const;
    bool InTransaction() const;

    // "BEGIN TRANSACTION"; fails with "Transaction already open" when one is open.
    bool BeginTransaction();
    bool Commit();
    bool Rollback();
    // Prepares the first statement of the text and steps it once; it must report that it is done.
    bool ExecSQL(const QByteArray& sql);
    // Every row of the first statement of the text; nullptr when preparing or stepping fails.
    std::unique_ptr<TSQLiteTable> ReadTable(const QByteArray& sql);

    // What went wrong in the last failed call.
    QString LastError() const { return m_lastError; }

private:
    bool OpenHandle(const QByteArray& name, int flags);
    bool CanReadSchema();
    void CloseHandle();
    bool RunPlain(const char* sql);
    bool Fail(const QString& message);
    bool FailWithEngineError(const char* step);

    sqlite3* m_handle = nullptr;
    QString m_lastError;
};
