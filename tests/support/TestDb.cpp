// A fresh data file for a test, copied from the generated empty template.
#include "support/TestDb.h"

#include <QFile>

bool CopyDataTemplate(const QString& path) {
    if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path))
        return false;
    // The template may be installed read-only; a copy must be writable like a user's data file.
    return QFile::setPermissions(path,
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

TTestDb::TTestDb() {
    if (!m_dir.isValid())
        return;
    m_filePath = m_dir.filePath(QStringLiteral("data.dat"));
    m_ok = CopyDataTemplate(m_filePath) && m_db.Open(m_filePath);
}
