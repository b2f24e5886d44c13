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

// The tables of one search index and how a row's text is read.
struct TIndexTables {
    QString RowTable;     // one row per history id: the text, NULL where the row's own text is it
    QString SearchTable;  // the full-text table over the texts
    QString PiecesTable;  // the texts' one- and two-character pieces (TTextPieces)
    QString Column;       // the text's column in RowTable and SearchTable
    QString SourceColumn; // the qb_history column the text is made from
    QString OwnText;      // SQL of the text of a copy-less row, %1 standing for its source column
};

// SQL of a row's text over "t" (the row table) joined with "h" (qb_history): its copy, or the
// row's own text.
QString RowText(const TIndexTables& tables);
// " FROM " the row table "t" joined with its qb_history rows "h".
QString CopiesWithRows(const TIndexTables& tables);
// Takes the index entries of the rows the condition on qb_history picks out of the full-text
// table (with the texts they were indexed under), and everything for an empty condition.
QString EntryDeletion(const TIndexTables& tables, const QString& condition);
// The trigger that takes the entries from a changed row on out of the index and drops their
// copies (the store copies those rows again); a changed copy-less row's text is its old one.
QString ChangeTrigger(const TIndexTables& tables, const QString& name);

// Copies the next `batch` history rows past the newest one of the row table: the column gets
// valueOf(the row's source column), or NULL for a source text of ASCII characters only, whose
// text TextOfRow reads from the row itself (the same bytes in the data file's GB18030). The texts
// go on into the full-text table and the pieces table. The number of rows copied (0 when the
// index was up to date), -1 when it failed (logged).
int CopyIndexBatch(TDb& db, const TIndexTables& tables, int batch,
                   const std::function<QString(const QString&)>& valueOf);
