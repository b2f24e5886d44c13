// What the favicon fetcher needs: a page's text, the icon link in it, and the icon's file name.
#pragma once

#include <QString>

// Kept though nothing calls it: the public helper set includes it.
// Blocking GET of a page's text (decoded with the data-file codec): what arrived before a failure,
// empty when nothing did. Reading stops after maxBytes bytes and after timeLimitMs in all (the
// favicon link is in the page's head; a page streamed without end must not hold the caller).
QString FetchUrlText(const QString& url, int maxBytes = 2 * 1024 * 1024, int timeLimitMs = 30000);
// Kept though nothing calls it: the public helper set includes it.
// The address of the page's rel="shortcut icon" link, made absolute; empty when none.
QString FindFavIconLink(const QString& pageUrl, const QString& pageText);
// Md5Hex(url) + ".ico".
QString FavIconFileName(const QString& url);
