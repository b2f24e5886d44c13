// The Chromium engine's live stores, cleared through its profile (UI thread): deleting the
// files below a running engine does not empty what it holds in memory, and it writes that back.
#pragma once

// The live stores that hold the kinds (TCleanKind bits): visited links with history, the HTTP
// cache with the cache, cookies and the HTTP cache with cookies and site data.
void ClearEngineStores(int kinds);

// The default profile's cookies, in memory and on disk.
void ClearChromiumCookies();
// The default profile's visited-link marks (they tell which addresses were visited).
void ClearChromiumVisitedLinks();
// The default profile's HTTP cache.
void ClearChromiumCache();
