// The title search index of the history (qb_history_title_search): the searchable forms of each
// row's title (TTitleKeys), kept beside the address search index by the history store. A data file made before it existed has none: titles are then not searched.
// Not locked itself: the history store runs every change under its index lock.
#pragma once

#include <QString>
#include <atomic>

class TDb;

// Whether the data file has a table of this name (a name without quotes).
bool HasTable(TDb& db, const QString& name);
// Text as a UTF-8 literal of SQL. The data file's statements are converted to GB18030 on their
// way to SQLite; the search indexes hold UTF-8, which passes that conversion only as a blob literal.
QString SqlUtf8Literal(const QString& text);
// True when the LIKE pattern "%text%" holds a run of at least three characters without a
// wildcard or line feed (the title forms are indexed one a column): only then can a trigram index look the text up instead of reading every row.
bool TrigramCanLookUp(const QString& text);
// The FTS5 query for the rows holding every three-character piece of the runs of the LIKE text
// without wildcards (the trigram tokenizer folds letter case as it does for the index).
QString TrigramQuery(const QString& text);

class TTitleIndex {
public:
    explicit TTitleIndex(TDb& db);

    // Whether searches use it now (present, readable and its rows brought up to date).
    bool IsUsable() const { return m_state == TState::Current; }
    bool IsPresent() const { return m_state != TState::Absent; }

    // Takes in one batch of rows newer than the newest one taken in: the number taken, -1 on failure (then
    // the index is given up for this session).
    int CopyBatch(int batch);
    // Marks the index up to date after its rows were all taken in.
    void SetCurrent();

    // Statements that take the entries of the rows the condition on qb_history picks (empty: every
    // row) out of the index; they run before the rows are deleted. Empty when there is no index
    // or it was given up.
    QString Deletion(const QString& condition) const;
    // Removes the index from the data file after a deletion it could not follow.
    void Remove();

    // The newest rows (up to limit) whose title forms contain the text (LIKE semantics). Texts
    // without a run of three characters read the rows newest first, only those of the block of
    // row ids when block >= 0 (TTextPieces).
    QString FindStatement(const QString& text, int limit, qint64 block = -1) const;
    // The table of the title forms' one- and two-character pieces (TTextPieces).
    static QString PiecesTable();

private:
    enum class TState { Absent, Behind, Current, GivenUp };
    TState Probe();
    TState Rebuild();

    TDb& m_db;
    std::atomic<TState> m_state{TState::Absent};
};
