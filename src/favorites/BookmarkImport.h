// Reading favorites from a bookmark file parsed by the compatibility engine (QtWebKit).
#pragma once

#include <QString>

class QWebFrame;
class TFavorites;

// Navigates the (hidden) frame to the bookmark file, decoded as GB18030 as the writer writes it.
// ImportFavorites runs once the frame reports the load finished.
void LoadBookmarkFile(QWebFrame* frame, const QString& fileName);

// Adds every link of the parsed document, in document order, whose address is not stored yet,
// with its FAV_POS attribute as ranking and its text as name. False, before anything is added,
// for a document that is not a bookmark file (no list and no link; an empty or binary file; a
// file cut off after its last link). False at the first new link without FAV_POS, and when the
// data file does not take new favorites (read-only, full), keeping the favorites added before.
// A link whose FAV_POS is not a whole number is left out.
bool ImportFavorites(TFavorites& favorites, QWebFrame* frame);
