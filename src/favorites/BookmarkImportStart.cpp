// Starting a bookmark import through the compatibility engine's module.
#include "favorites/BookmarkImportStart.h"

#include "common/ModuleLoader.h"

namespace {
// The function the module exports; see BookmarkImportModule.cpp.
using TImportFunction = void (*)(TFavorites&, const QString&, QObject*, const TBookmarkImportDone&);
} // namespace

bool StartBookmarkImport(TFavorites& favorites, const QString& fileName, QObject* owner,
                         TBookmarkImportDone done) {
    static const auto import = reinterpret_cast<TImportFunction>(
        ResolveModuleFunction(QStringLiteral("quellon_webkit"), "QuellonImportBookmarks"));
    if (!import)
        return false;
    import(favorites, fileName, owner, done);
    return true;
}
