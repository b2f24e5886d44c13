// A fresh data file for a test: the generated empty template copied into a temporary folder and
// opened with a TDb. Each instance is independent and removes its folder when destroyed.
#pragma once

#include "storage/DbMain.h"

#include <QString>
#include <QTemporaryDir>

class TTestDb {
public:
    // Copies the template and opens it; Ok() tells whether both worked.
    TTestDb();
    TTestDb(const TTestDb&) = delete;
    TTestDb& operator=(const TTestDb&) = delete;

    bool Ok() const { return m_ok; }
    TDb& Db() { return m_db; }
    // Full path of the copied data file.
    QString FilePath() const { return m_filePath; }
    // The temporary folder that holds the data file (tests may place other files there).
    QString DirPath() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_filePath;
    TDb m_db;
    bool m_ok = false;
};

// Copies the generated empty data file to path (which must not exist); true when copied and writable.
bool CopyDataTemplate(const QString& path);
