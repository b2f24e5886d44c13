// One bookmark file import on a worker thread, so that reading, parsing and storing a file of any
// size leave the window responsive.
#pragma once

#include <QString>
#include <functional>

class QObject;
class TFavorites;

// Called on owner's thread with ImportBookmarkFile's answer.
using TBookmarkImportDone = std::function<void(bool)>;

// Imports the file into favorites on a thread of its own and then calls done through owner's
// event queue (not when owner is gone by then). Destroying owner, or the application quitting,
// stops the import at its next batch and waits for it, so that the store outlives the worker.
// False when no thread could be started; done is not called then.
bool StartBookmarkImport(TFavorites& favorites, const QString& fileName, QObject* owner,
                         TBookmarkImportDone done);
