// The one- and two-character pieces of a search index's texts, per block of 4096 row ids: the
// trigram indexes cannot look up a text shorter than three characters, and reading every row of
// a long history takes longer than a key press may. A short text is looked for only in the blocks
// that hold it, newest first; a block is read only when it holds at least one match, so a search
// for N rows reads at most N blocks. Pieces of deleted rows may stay: they only cost a block read.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

class TTextPieces {
public:
    // Row ids per block: id >> kBlockBits is the block of a row.
    static constexpr int kBlockBits = 12;

    // The table of pieces beside a search index (`table` is its name).
    static QString Creation(const QString& table);
    // One statement adding the pieces of the texts (row id, text) to the table; empty for none.
    // ASCII letters are stored in lower case, as LIKE compares them.
    static QString Insertion(const QString& table, const QList<QPair<qint64, QString>>& texts);
    // The piece every match of the LIKE text "%text%" holds: its longest run without wildcards,
    // at most two characters, ASCII letters in lower case. Empty when the text is all wildcards.
    static QString KeyOf(const QString& text);
    // The blocks holding the piece, newest first.
    static QString BlocksStatement(const QString& table, const QString& piece);
    // The condition on a row id column that picks the rows of the block.
    static QString InBlock(const QString& column, qint64 block);
};
