// The data file's access layer: one lock around one connection, one transaction per write, and
// the result sets handed to the stores.
#include "storage/DbMain.h"

#include "common/AnsiCodec.h"
#include "common/Logging.h"
#include "storage/SQLiteDatabase.h"
#include "storage/SqlText.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <cmath>
#include <limits>

namespace {

const QString kAtEnd = QStringLiteral("Table is at End of File");

qint64 TruncateToInt64(double value) {
    // Truncation toward zero; values beyond the 64-bit range saturate instead of being undefined.
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(value);
}

} // namespace

// ---- TSQLiteTable ----

bool TSQLiteTable::MoveNext() {
    if (AtEnd())
        return false;
    ++m_current;
    return true;
}

int TSQLiteTable::ColumnIndex(const QString& name) const {
    // Column names are only trusted once a row was read.
    if (RowCount() == 0)
        throw ESQLiteException(QStringLiteral("Field ") + name + QStringLiteral(" Not found. Empty dataset"));
    const int index = m_columnNames.indexOf(name.toUpper());
    if (index < 0)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + name);
    return index;
}

const TSQLiteTable::TCell& TSQLiteTable::Cell(int column) const {
    if (AtEnd())
        throw ESQLiteException(kAtEnd);
    if (column < 0 || column >= ColumnCount())
        throw ESQLiteException(QStringLiteral("Column index out of range: ") + QString::number(column));
    return m_rows.at(m_current).at(column);
}

QString TSQLiteTable::GetText(int column) const {
    const TCell& cell = Cell(column);
    if (const auto* number = std::get_if<qint64>(&cell))
        return QString::number(*number);
    if (const auto* number = std::get_if<double>(&cell))
        return QString::number(*number, 'g', 15);
    if (const auto* text = std::get_if<QString>(&cell))
        return *text;
    if (const auto* bytes = std::get_if<QByteArray>(&cell))
        return FromAnsi(*bytes);
    return QString();
}

qint64 TSQLiteTable::GetInt64(int column) const {
    const TCell& cell = Cell(column);
    const TColumnKind kind = ColumnKind(column);
    if (kind == ckText || kind == ckBlob)
        throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
    if (const auto* number = std::get_if<qint64>(&cell))
        return *number;
    if (const auto* number = std::get_if<double>(&cell))
        return TruncateToInt64(*number);
    return 0;
}

// ---- TDb ----

TDb::TDb() = default;

TDb::~TDb() = default;

bool TDb::Open(const QString& path) {
    QMutexLocker locker(&m_lock);
    m_connection.reset();
    m_path = path;
    if (!QFileInfo::exists(path)) {
        WriteLog(QStringLiteral("Data file not found, nothing will be stored: ") + path);
        return false;
    }
    auto connection = std::make_unique<TSQLiteDatabase>();
    if (!connection->Open(path)) {
        WriteLog(QStringLiteral("Data file cannot be used (") + connection->LastError() +
                 QStringLiteral("), nothing will be stored: ") + path);
        return false;
    }
    if (connection->IsReadOnly())
        WriteLog(QStringLiteral("Data file is read-only, changes will not be stored: ") + path);
    m_connection = std::move(connection);
    return true;
}

void TDb::Close() {
    QMutexLocker locker(&m_lock);
    m_connection.reset();
}

bool TDb::IsReadOnly() const {
    QMutexLocker locker(&m_lock);
    return !m_connection || m_connection->IsReadOnly();
}

QString TDb::Path() const {
    QMutexLocker locker(&m_lock);
    return m_path;
}

std::unique_ptr<TSQLiteTable> TDb::Query(const QString& sql) {
    if (sql.isEmpty())
        return nullptr;
    QMutexLocker locker(&m_lock);
    if (!m_connection)
        return nullptr;
    return m_connection->ReadTable(ToAnsi(sql));
}

bool TDb::FreeTable(std::unique_ptr<TSQLiteTable>& table) {
    table.reset();
    return true;
}

bool TDb::Execute(const QString& sql) {
    if (sql.isEmpty())
        return false;
    QMutexLocker locker(&m_lock);
    if (!m_connection || !m_connection->BeginTransaction() || !m_connection->ExecSQL(ToAnsi(sql)) ||
        !m_connection->Commit())
        return FailWrite(sql);
    return true;
}

bool TDb::ExecuteScript(const QString& script) {
    if (script.isEmpty())
        return false;
    // CR LF, CR and LF each end a line.
    QString text = script;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QMutexLocker locker(&m_lock);
    if (!m_connection || !m_connection->BeginTransaction())
        return FailWrite(script);
    for (const QString& line : lines) {
        // Only a line that ends a statement runs; a statement spread over lines never does.
        const QString statement = TrimText(line);
        if (!statement.endsWith(QLatin1Char(';')))
            continue;
        if (!m_connection->ExecSQL(ToAnsi(statement)))
            return FailWrite(script);
    }
    if (!m_connection->Commit())
        return FailWrite(script);
    return true;
}

qint32 TDb::LastInsertId() {
    auto table = Query(QStringLiteral("SELECT last_insert_rowid() AS id"));
    if (!table || table->RowCount() == 0)
        return 0;
    try {
        return static_cast<qint32>(table->FieldAsInt64(QStringLiteral("id")));
    } catch (const ESQLiteException&) {
        return 0;
    }
}

bool TDb::FailWrite(const QString& text) {
    const QString reason = m_connection ? m_connection->LastError() : QStringLiteral("no data file open");
    if (m_connection)
        m_connection->Rollback();
    WriteLog(text);
    WriteLog(QStringLiteral("The statement above was not stored: ") + reason);
    return false;
}
