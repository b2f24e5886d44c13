// One bookmark file import on a hidden compatibility-engine page, started through the engine's
// module so that the windows never load QtWebKit themselves.
#pragma once

#include <QString>
#include <functional>

class QObject;
class TFavorites;

// Called with ImportFavorites' answer once the page has parsed the file.
using TBookmarkImportDone = std::function<void(bool)>;

// Loads the file into a hidden page owned by owner and, when the page reports the document
// complete, imports its links into favorites and calls done (not when owner is gone by then).
// False when the compatibility engine's module cannot be opened; done is not called then.
bool StartBookmarkImport(TFavorites& favorites, const QString& fileName, QObject* owner,
                         TBookmarkImportDone done);
