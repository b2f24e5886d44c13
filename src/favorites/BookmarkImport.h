// Reading favorites from a bookmark file: the file's links walked in document order and stored.
#pragma once

#include <QString>

class TFavorites;
struct TBookmarkDocument;

// Adds every link of the parsed document, in document order, whose address is not stored yet,
// with its FAV_POS attribute as ranking and its text as name. False, before anything is added,
// for a document that holds neither a list nor a link. False at the first new link without
// FAV_POS, and when the data file does not take new favorites (read-only, full), keeping the
// favorites added before. A link whose FAV_POS is not a whole number is left out. Stops with
// false when the calling thread is asked to stop. withoutFavPos, when given, tells whether the
// import ended at a link without FAV_POS, the mark of a file another browser wrote.
bool ImportFavorites(TFavorites& favorites, const TBookmarkDocument& document, bool* withoutFavPos = nullptr);

// Reads a bookmark file whole for an import. False (and a log line) for a file that cannot be
// read, is larger than any bookmark file (256 MB), is not a bookmark file (empty, binary) or was
// cut off after its last link.
bool ReadBookmarkFile(const QString& fileName, QByteArray* bytes);

// Reads (see ReadBookmarkFile), parses and imports the file (see ImportFavorites); false before
// anything is added for a file ReadBookmarkFile refuses. Safe to run off the UI thread: it
// touches only the data file, which serialises its statements.
bool ImportBookmarkFile(TFavorites& favorites, const QString& fileName, bool* withoutFavPos = nullptr);
