// The SQL functions the history's search indexes and their triggers call (quellon_utf8,
// quellon_url_key, quellon_title_keys, quellon_title_form): the data file holds GB18030 text,
// and the indexes hold UTF-8 made from it. Every connection that may change qb_history needs them.
#pragma once

struct sqlite3;

// Adds the functions to the connection.
void AddIndexFunctions(sqlite3* handle);
