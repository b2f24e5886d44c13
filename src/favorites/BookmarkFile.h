// Writing the favorites to a bookmark file (Netscape bookmark layout with a FAV_POS attribute).
#pragma once

#include <QByteArray>
#include <QString>

class TFavorites;

// The file's text for the favorites in display order: GB18030, every line ended by CR LF, no
// byte-order mark; & < > " and line breaks of names and addresses written as character references.
QByteArray BookmarkFileText(const TFavorites& favorites);
// Reloads the favorites from the table and writes them to the file (created or replaced). False
// when the file could not be written completely; an existing file is then left unchanged.
bool ExportFavorites(TFavorites& favorites, const QString& fileName);
