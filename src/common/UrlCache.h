// Clearing the compatibility engine's disk cache and cookie store by source address.
#pragma once

#include <QString>
#include <atomic>

// Deletes entries of the compatibility engine's disk cache (CacheDir() + "webcontrol/") and its
// cookie store by their source address; polls stopFlag before each entry.
void ClearUrlCache(const QString& filter, bool txtOnly, const std::atomic<bool>* stopFlag);
