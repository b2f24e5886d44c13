// One SQLite connection: open, transactions, statements and fully read result sets.
#include "storage/SQLiteDatabase.h"

#include "common/AnsiCodec.h"
#include "history/IndexFunctions.h"
#include "storage/DbMain.h"

#include <QFileInfo>
#include <QUrl>
#include <cstring>
#include <sqlite3.h>

namespace {

// A second browser process may hold the file for a moment; waiting this long keeps the user's
// change instead of dropping it, and stays short enough not to freeze the window noticeably.
constexpr int kBusyTimeoutMs = 2000;

// The kind of a column with a declared type, compared exactly as written in the schema.
TSQLiteTable::TColumnKind KindOfDeclaredType(const char* declared) {
    static const struct {
        const char* name;
        TSQLiteTable::TColumnKind kind;
    } kinds[] = {
        {"INTEGER", TSQLiteTable::ckInteger}, {"BOOLEAN", TSQLiteTable::ckInteger},
        {"NUMERIC", TSQLiteTable::ckFloat},   {"FLOAT", TSQLiteTable::ckFloat},
        {"DOUBLE", TSQLiteTable::ckFloat},    {"REAL", TSQLiteTable::ckFloat},
        {"BLOB", TSQLiteTable::ckBlob},
    };
    for (const auto& entry : kinds) {
        if (std::strcmp(declared, entry.name) == 0)
            return entry.kind;
    }
    return TSQLiteTable::ckText;
}

TSQLiteTable::TColumnKind KindOfStorageClass(int storageClass) {
    switch (storageClass) {
    case SQLITE_INTEGER:
        return TSQLiteTable::ckInteger;
    case SQLITE_FLOAT:
        return TSQLiteTable::ckFloat;
    case SQLITE_BLOB:
        return TSQLiteTable::ckBlob;
    case SQLITE_NULL:
        return TSQLiteTable::ckNull;
    default:
        return TSQLiteTable::ckText;
    }
}

TSQLiteTable::TCell ReadCell(sqlite3_stmt* statement, int column, TSQLiteTable::TColumnKind kind) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::monostate();
    switch (kind) {
    case TSQLiteTable::ckInteger:
        return static_cast<qint64>(sqlite3_column_int64(statement, column));
    case TSQLiteTable::ckFloat:
        return sqlite3_column_double(statement, column);
    case TSQLiteTable::ckBlob: {
        const void* data = sqlite3_column_blob(statement, column);
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(statement, column));
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return FromAnsi(text, sqlite3_column_bytes(statement, column));
    }
    }
}

} // namespace

TSQLiteDatabase::~TSQLiteDatabase() {
    CloseHandle();
}

bool TSQLiteDatabase::Open(const QString& path) {
    CloseHandle();
    const QFileInfo file(path);
    if (!file.exists() || file.isDir())
        return Fail(QStringLiteral("no such file"));
    const QByteArray name = path.toUtf8();
    QString firstFailure;
    if (file.isWritable()) {
        if (OpenHandle(name, SQLITE_OPEN_READWRITE) && CanReadSchema()) {
            if (!IsReadOnly()) {
                // Write-ahead logging makes a commit one append to the log instead of a journal
                // file plus two syncs; with synchronous=NORMAL a commit stays atomic and the file
                // stays consistent even on power loss. A file system without shared memory keeps
                // the rollback journal, which is slower but just as safe.
                RunPlain("PRAGMA journal_mode=WAL");
                RunPlain("PRAGMA synchronous=NORMAL");
            }
            return true;
        }
        firstFailure = m_lastError;
    }
    if (OpenHandle(name, SQLITE_OPEN_READONLY) && CanReadSchema())
        return true;
    if (firstFailure.isEmpty())
        firstFailure = m_lastError;
    // A write-ahead-logged file in a folder we may not write to cannot get its shared-memory
    // file; nobody can change such a file through us, so it is read as an unchanging file.
    const QByteArray uri = QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded() + "?immutable=1";
    if (OpenHandle(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI) && CanReadSchema())
        return true;
    return Fail(firstFailure);
}

bool TSQLiteDatabase::OpenHandle(const QByteArray& name, int flags) {
    CloseHandle();
    const int rc = sqlite3_open_v2(name.constData(), &m_handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            m_handle ? FromAnsi(QByteArray(sqlite3_errmsg(m_handle))) : QString::fromUtf8(sqlite3_errstr(rc));
        CloseHandle();
        return Fail(message);
    }
    sqlite3_busy_timeout(m_handle, kBusyTimeoutMs);
    AddIndexFunctions(m_handle);
    return true;
}

// Opening is lazy: a file that is not a database (or whose first page is damaged) only fails
// when something is read, so the schema is read once here.
bool TSQLiteDatabase::CanReadSchema() {
    if (RunPlain("SELECT count(*) FROM sqlite_master"))
        return true;
    const QString reason = m_lastError;
    CloseHandle();
    return Fail(reason);
}

void TSQLiteDatabase::CloseHandle() {
    if (!m_handle)
        return;
    if (InTransaction())
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_handle);
    m_handle = nullptr;
}

bool TSQLiteDatabase::IsReadOnly() const {
    return !m_handle || sqlite3_db_readonly(m_handle, "main") != 0;
}

bool TSQLiteDatabase::InTransaction() const {
    return m_handle && sqlite3_get_autocommit(m_handle) == 0;
}

bool TSQLiteDatabase::BeginTransaction() {
    if (InTransaction())
        return Fail(QStringLiteral("Transaction already open"));
    return RunPlain("BEGIN TRANSACTION");
}

bool TSQLiteDatabase::Commit() {
    return RunPlain("COMMIT");
}

bool TSQLiteDatabase::Rollback() {
    if (!InTransaction())
        return true;
    return RunPlain("ROLLBACK");
}

bool TSQLiteDatabase::RunPlain(const char* sql) {
    if (!m_handle)
        return Fail(QStringLiteral("no connection"));
    if (sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return FailWithEngineError(sql);
    return true;
}

bool TSQLiteDatabase::ExecSQL(const QByteArray& sql) {
    if (!m_handle)
        return Fail(QStringLiteral("no connection"));
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_handle, sql.constData(), sql.size(), &statement, nullptr) != SQLITE_OK)
        return FailWithEngineError("prepare");
    if (!statement)
        return Fail(QStringLiteral("no statement in the text"));
    const int rc = sqlite3_step(statement);
    bool done = rc == SQLITE_DONE;
    if (rc == SQLITE_ROW)
        Fail(QStringLiteral("the statement returned rows"));
    else if (!done)
        FailWithEngineError("step");
    sqlite3_finalize(statement);
    return done;
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::ReadTable(const QByteArray& sql) {
    if (!m_handle) {
        Fail(QStringLiteral("no connection"));
        return nullptr;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_handle, sql.constData(), sql.size(), &statement, nullptr) != SQLITE_OK) {
        FailWithEngineError("prepare");
        return nullptr;
    }
    if (!statement) {
        Fail(QStringLiteral("no statement in the text"));
        return nullptr;
    }
    auto table = std::make_unique<TSQLiteTable>();
    const int columns = sqlite3_column_count(statement);
    // A column without a declared type (an expression) takes the storage class of its first
    // non-null cell; until then it has no kind and its cells are null.
    for (int column = 0; column < columns; ++column) {
        table->m_columnNames << FromAnsi(QByteArray(sqlite3_column_name(statement, column))).toUpper();
        const char* declared = sqlite3_column_decltype(statement, column);
        table->m_kinds << (declared ? KindOfDeclaredType(declared) : TSQLiteTable::ckNull);
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QVector<TSQLiteTable::TCell> row;
        row.reserve(columns);
        for (int column = 0; column < columns; ++column) {
            TSQLiteTable::TColumnKind& kind = table->m_kinds[column];
            if (kind == TSQLiteTable::ckNull)
                kind = KindOfStorageClass(sqlite3_column_type(statement, column));
            row << ReadCell(statement, column, kind);
        }
        table->m_rows << row;
    }
    if (rc != SQLITE_DONE) {
        FailWithEngineError("step");
        sqlite3_finalize(statement);
        return nullptr;
    }
    sqlite3_finalize(statement);
    return table;
}

bool TSQLiteDatabase::Fail(const QString& message) {
    m_lastError = message;
    return false;
}

bool TSQLiteDatabase::FailWithEngineError(const char* step) {
    return Fail(QString::fromUtf8(step) + QStringLiteral(": ") +
                FromAnsi(QByteArray(sqlite3_errmsg(m_handle))));
}
