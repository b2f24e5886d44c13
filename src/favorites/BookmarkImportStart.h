// One bookmark file import on a worker thread, so that reading, parsing and storing a file of any
// size leave the window responsive.
#pragma once

#include "favorites/BookmarkImportAnyBrowser.h"

#include <QString>
#include <functional>

class QObject;
class TFavorites;

// Which import runs: of a file this program wrote (FAV_POS rankings), or of any browser's file.
enum class TBookmarkImportKind { OwnFile, AnyBrowser };

struct TBookmarkImportAnswer {
    TBookmarkImportKind Kind = TBookmarkImportKind::OwnFile;
    bool Imported = false;
    bool WithoutFavPos = false;  // an own-file import ended at a link without FAV_POS
    TBookmarkImportCount Count;  // of an any-browser import
};

// Called on owner's thread with the import's answer.
using TBookmarkImportDone = std::function<void(const TBookmarkImportAnswer&)>;

// Imports the file into favorites on a thread of its own and then calls done through owner's
// event queue (not when owner is gone by then). Destroying owner, or the application quitting,
// stops the import at its next batch and waits for it, so that the store outlives the worker.
// False when no thread could be started; done is not called then.
bool StartBookmarkImport(TFavorites& favorites, const QString& fileName, TBookmarkImportKind kind,
                         QObject* owner, TBookmarkImportDone done);
