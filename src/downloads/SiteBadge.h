// The badge a download row shows beside its size when the download's site is known as certified
// or flagged. The window that knows the sites answers the lookup; an empty lookup shows no badges.
#pragma once

#include <QString>
#include <functional>

enum class TSiteBadge { None, Certified, Flagged };
using TSiteBadgeLookup = std::function<TSiteBadge(const QString& url)>;
