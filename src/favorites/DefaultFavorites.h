// The favorites that come with the program: shown ahead of the stored ones on the favorites bar
// and in the favorites menu, never written to the data file.
#pragma once

#include "favorites/Favorites.h"

#include <QString>

// The built-in list as JSON text: an array of {"fav_name", "fav_url"} objects, written with a
// comma before its closing bracket. The first one is the navigation page.
QString BuiltInDefaultFavorites();
// The name and address of every object of the array, in order (Id empty). Objects without an
// address are left out; text that is not a JSON array gives an empty list.
TFavInfoList ParseDefaultFavorites(const QString& json);
