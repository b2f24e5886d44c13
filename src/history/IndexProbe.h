// How far a search index over the history rows is usable, as the data file holds it. Both the
// address index and the title index are probed this way when the history opens.
#pragma once

#include <QString>

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
