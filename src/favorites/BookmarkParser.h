// Reading the links of a bookmark file with libxml2's HTML parser: a parser only, no script runs and
// nothing is loaded, whatever the file holds.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// One "a" element of the file.
struct TBookmarkLink {
    QString Name;   // its text, descendants included; a <br> inside gives a line break
    QString Url;    // its href attribute as the file spells it (character references decoded)
    QString FavPos; // its FAV_POS attribute (the first one when it is given twice)
    bool HasFavPos = false;
    QStringList Folders; // names of the folders (an <h3> before a "dl") it stands in, outermost first
};

struct TBookmarkDocument {
    QVector<TBookmarkLink> Links; // every "a" element, in document order, nested folders included
    bool HasList = false;         // a "dl" element was met
};

// How the file's bytes are read: as the data file's text (GB18030, what this program writes) or as
// UTF-8 (what other browsers write).
enum class TBookmarkText { Ansi, Utf8 };

// Parses the file's bytes, decoded as text says whatever the file declares. Fed to the parser in
// pieces, so no document tree is built; stops early (with the links met so far) when the calling
// thread is asked to stop.
TBookmarkDocument ParseBookmarkHtml(const QByteArray& bytes, TBookmarkText text = TBookmarkText::Ansi);

// Utf8 for bytes that are valid UTF-8 (a byte order mark allowed), Ansi otherwise.
TBookmarkText GuessBookmarkText(const QByteArray& bytes);

// False for bytes that cannot be a whole bookmark file: empty or blank, binary (a NUL byte), or
// cut off after its last link (that link or the list after it is not closed). The parser closes
// whatever a cut-off file leaves open, so this is read from the bytes themselves.
bool BookmarkBytesLookWhole(const QByteArray& bytes);
