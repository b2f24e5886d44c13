// The shape both search indexes of the history share: a contentless full-text table over a text
// made from one qb_history column by an SQL function of the data file's connections, a table of
// the texts' short pieces, and the newest row id taken in. How far such an index is usable, and
// how it is brought up to date.
#pragma once

#include <QString>
#include <functional>

class TDb;

enum class TIndexProbe {
    Absent,     // its full-text table is missing
    Unreadable, // this SQLite cannot open its full-text table (its tokenizer or FTS5 is missing)
    Older,      // an earlier format (with a table of text copies, or without its pieces table)
    Behind,     // qb_history has rows past the newest one it holds
    Current     // up to date
};

// The tables of one search index and how a row's text is made.
struct TIndexTables {
    QString SearchTable;  // the contentless full-text table over the texts
    QString PiecesTable;  // the texts' one- and two-character pieces (TTextPieces)
    QString Columns;      // the columns of SearchTable, separated by commas
    QString SourceColumn; // the qb_history column the text is made from
    QString Function;     // the SQL function making the text from the source column (TSQLiteDatabase)
    QString IndexedValues; // SQL of the values of Columns, %1 standing for the source column
    QString CopyTable;    // the table of UTF-8 copies of the earlier format
};

// The table holding, per full-text table, the newest history id it has taken in.
extern const QString kIndexedRows;

// Probes the index. An unreadable index logs "History: " + unreadableNote.
TIndexProbe ProbeIndex(TDb& db, const TIndexTables& tables, const QString& unreadableNote);
// The probe's answer in an index's own states, which name Absent, Behind and Current alike;
// an unreadable index becomes `unreadable`, an older one `older`.
template <class TState> TState IndexStateOf(TIndexProbe probe, TState unreadable, TState older) {
    switch (probe) {
    case TIndexProbe::Absent:
        return TState::Absent;
    case TIndexProbe::Unreadable:
        return unreadable;
    case TIndexProbe::Older:
        return older;
    case TIndexProbe::Current:
        return TState::Current;
    case TIndexProbe::Behind:
        break;
    }
    return TState::Behind;
}

// SQL of the text of the qb_history row "h", and of the values the index holds for it.
QString RowText(const TIndexTables& tables);
QString IndexedText(const TIndexTables& tables);
// Replaces an index of an earlier format by an empty one of this format (the catch-up fills it).
QString IndexRecreation(const TIndexTables& tables, const QString& triggerName);
// Takes the index entries of the rows the condition on qb_history picks out of the full-text
// table (with the texts they were indexed under), and everything for an empty condition.
QString EntryDeletion(const TIndexTables& tables, const QString& condition);
// Removes the index's tables (a readable full-text table) and its trigger from the data file.
QString IndexRemoval(const TIndexTables& tables, const QString& triggerName);

// Takes the next `batch` history rows past the newest one taken in: their texts go into the
// full-text table and (as valueOf(the row's source column)) into the pieces table. The number of
// rows taken (0 when the index was up to date), -1 when it failed (logged).
int CopyIndexBatch(TDb& db, const TIndexTables& tables, int batch,
                   const std::function<QString(const QString&)>& valueOf);
