// Ranking of the address-bar suggestions.
#include "history/SuggestionRank.h"

#include "history/TitleKeys.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// The address without its scheme and without a leading "www.".
QString AddressBody(const QString& address) {
    static const QRegularExpression prefix(QStringLiteral("^[a-z][a-z0-9+.-]*://(www\\.)?"),
                                           QRegularExpression::CaseInsensitiveOption);
    return QString(address).remove(prefix);
}

} // namespace

TSuggestionMatch SuggestionMatch(const QString& text, const THistoryInfo& row) {
    if (text.isEmpty())
        return TSuggestionMatch::Address;
    if (row.SiteUrl.startsWith(text, Qt::CaseInsensitive) ||
        AddressBody(row.SiteUrl).startsWith(text, Qt::CaseInsensitive))
        return TSuggestionMatch::AddressPrefix;
    if (row.SiteName.contains(text, Qt::CaseInsensitive))
        return TSuggestionMatch::Title;
    const QString lower = text.toLower();
    if (TTitleKeys::HasHan(row.SiteName) && TTitleKeys::Of(row.SiteName).contains(lower))
        return TSuggestionMatch::Pinyin;
    // LIKE wildcards in the text: the store matched it, so it is kept, last.
    return TSuggestionMatch::Address;
}

THistoryInfoList RankSuggestions(const QString& text, const THistoryInfoList& rows,
                                 const QHash<QString, qint64>& visits, int limit) {
    struct TEntry {
        THistoryInfo Row;
        TSuggestionMatch Match;
        qint64 Visits;
    };
    QList<TEntry> entries;
    QHash<QString, int> byAddress;
    for (const THistoryInfo& row : rows) {
        const TSuggestionMatch match = SuggestionMatch(text, row);
        const auto known = byAddress.constFind(row.SiteUrl);
        if (known == byAddress.constEnd()) {
            byAddress.insert(row.SiteUrl, entries.size());
            entries.append({row, match, visits.value(row.SiteUrl, 1)});
            continue;
        }
        TEntry& entry = entries[*known];
        entry.Match = std::min(entry.Match, match);
        if (row.CreateTime > entry.Row.CreateTime)
            entry.Row = row;
    }
    std::stable_sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        if (a.Match != b.Match)
            return a.Match < b.Match;
        if (a.Visits != b.Visits)
            return a.Visits > b.Visits;
        return a.Row.CreateTime > b.Row.CreateTime;
    });
    THistoryInfoList ranked;
    for (int i = 0; i < entries.size() && i < limit; ++i)
        ranked.append(entries.at(i).Row);
    return ranked;
}
