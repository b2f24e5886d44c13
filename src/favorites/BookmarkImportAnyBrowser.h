// Reading favorites from a bookmark file another browser wrote (the Netscape bookmark layout every
// browser exports): every link taken in document order, folders flattened into the names.
#pragma once

#include <QString>

class TFavorites;
struct TBookmarkDocument;
struct TBookmarkLink;

// What an import took and left out (a stored or repeated address, or one that is not a web or file
// address).
struct TBookmarkImportCount {
    int Taken = 0;
    int Skipped = 0;
};

// True for an http, https, ftp or file address; anything else (javascript:, data:, place:, an
// empty or relative href) is not taken from a foreign file.
bool IsImportableAddress(const QString& url);
// The name a link is stored under: its folders and its text (its address when it has none)
// joined by "/", as in "甲/乙/名字".
QString FlattenedFavoriteName(const TBookmarkLink& link);

// Adds every importable link whose address is new, after the favorites there are, and counts
// what was taken and skipped. False for a document that holds neither a list nor a link, when
// the data file does not take new favorites (keeping the ones added before), and when the calling
// thread is asked to stop.
bool ImportAnyBrowserFavorites(TFavorites& favorites, const TBookmarkDocument& document,
                               TBookmarkImportCount* count);
// Reads (see ReadBookmarkFile), parses (as UTF-8 when the bytes are UTF-8, as the data file's
// text otherwise) and imports the file. Safe to run off the UI thread.
bool ImportAnyBrowserBookmarkFile(TFavorites& favorites, const QString& fileName, TBookmarkImportCount* count);
