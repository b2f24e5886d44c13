// The rules of the favorites dialogs without their windows: what the add-to-favorites dialog and
// the favorite dialog check and store when their OK button is pressed.
#pragma once

#include <QString>

class TFavorites;

// What an OK press came to; every answer but Saved keeps the dialog open with its message.
enum class TFavEditResult { Saved, EmptyName, EmptyUrl, AddFailed, UpdateFailed };

class TFavoriteEdit {
public:
    // The add-to-favorites dialog: name is trimmed in place; an empty name is refused; the address
    // is stored as the address bar showed it, with the ranking of new favorites.
    static TFavEditResult AddToFavorites(TFavorites& favorites, QString& name, const QString& url);
    // The favorite dialog, its mode chosen by the keys: id set: change that row; else oldUrl set:
    // change every row with that address; else add, and id becomes the new row's id. Name and url
    // are trimmed in place; neither may be empty.
    static TFavEditResult SaveFavorite(TFavorites& favorites, QString& id, const QString& oldUrl,
                                       QString& name, QString& url);
};
