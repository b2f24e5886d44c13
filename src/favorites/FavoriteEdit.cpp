// The checks and the store calls behind the favorites dialogs' OK buttons.
#include "favorites/FavoriteEdit.h"

#include "favorites/Favorites.h"

TFavEditResult TFavoriteEdit::AddToFavorites(TFavorites& favorites, QString& name, const QString& url) {
    name = name.trimmed();
    if (name.isEmpty())
        return TFavEditResult::EmptyName;
    if (!favorites.AddFavorite(name, url, QString::number(TFavorites::NewRanking)))
        return TFavEditResult::AddFailed;
    return TFavEditResult::Saved;
}

TFavEditResult TFavoriteEdit::SaveFavorite(TFavorites& favorites, QString& id, const QString& oldUrl,
                                           QString& name, QString& url) {
    name = name.trimmed();
    url = url.trimmed();
    if (name.isEmpty())
        return TFavEditResult::EmptyName;
    if (url.isEmpty())
        return TFavEditResult::EmptyUrl;
    if (!id.isEmpty())
        return favorites.UpdateFavoriteById(id, name, url) ? TFavEditResult::Saved
                                                           : TFavEditResult::UpdateFailed;
    if (!oldUrl.isEmpty())
        return favorites.UpdateFavoriteByUrl(name, oldUrl, url) ? TFavEditResult::Saved
                                                                : TFavEditResult::UpdateFailed;
    if (!favorites.AddFavorite(name, url, QString::number(TFavorites::NewRanking)))
        return TFavEditResult::AddFailed;
    id = QString::number(favorites.LastInsertId());
    return TFavEditResult::Saved;
}
