// The shape both search indexes of the history share: a row table holding one text per history id
// and a full-text table over it. How far such an index is usable, and how it is brought up to date.
#pragma once

#include <QString>
#include <functional>

class TDb;

enum class TIndexProbe {
    Absent,     // one of its two tables is missing
    Unreadable, // this SQLite cannot open its full-text table (its tokenizer or FTS5 is missing)
    Behind,     // qb_history has rows past the newest one it holds
    Current     // up to date
};

// Probes the index made of rowTable (one row per history id) and its full-text table searchTable.
// An unreadable index logs "History: " + unreadableNote.
TIndexProbe ProbeIndex(TDb& db, const QString& rowTable, const QString& searchTable,
                       const QString& unreadableNote);
// The probe's answer in an index's own states, which name Absent, Behind and Current alike;
// an unreadable index becomes `unreadable`.
template <class TState> TState IndexStateOf(TIndexProbe probe, TState unreadable) {
    switch (probe) {
    case TIndexProbe::Absent:
        return TState::Absent;
    case TIndexProbe::Unreadable:
        return unreadable;
    case TIndexProbe::Current:
        return TState::Current;
    case TIndexProbe::Behind:
        break;
    }
    return TState::Behind;
}

// Copies the next `batch` history rows past the newest one of rowTable: column gets
// valueOf(the row's sourceColumn), and the copies go on into searchTable. The number of rows copied
// (0 when the index was up to date), -1 when it failed (logged).
int CopyIndexBatch(TDb& db, const QString& rowTable, const QString& searchTable, const QString& column,
                   const QString& sourceColumn, int batch,
                   const std::function<QString(const QString&)>& valueOf);
