// The shown order of the favorites and the rule that decides where one opens.
#include "favorites/FavoriteEntries.h"

#include "common/TextFit.h"

#include <QFontMetrics>

QVector<TFavoriteEntry> TFavoriteEntries::ShownOrder(const TFavInfoList& items,
                                                     const TFavInfoList& defaults) {
    QVector<TFavoriteEntry> entries;
    entries.reserve(items.size() + defaults.size());
    for (int i = 0; i < defaults.size(); ++i)
        entries.append({int(items.size()) + i, false, defaults.at(i)});
    for (int i = 0; i < items.size(); ++i)
        entries.append({i, true, items.at(i)});
    return entries;
}

QString TFavoriteEntries::AddressOfIndex(const TFavInfoList& items, const TFavInfoList& defaults, int index) {
    if (index < 0)
        return QString();
    if (index < items.size())
        return items.at(index).FavUrl;
    const int defaultIndex = index - int(items.size());
    return defaultIndex < defaults.size() ? defaults.at(defaultIndex).FavUrl : QString();
}

bool TFavoriteEntries::OpensInCurrentTab(bool hasView, const QString& currentUrl, bool loading) {
    return hasView && !loading &&
           currentUrl.trimmed().compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0;
}

int TFavoriteEntries::FitCaption(QString& caption, const QFontMetrics& metrics) {
    caption = TextFit::Prefix(caption, metrics, MaxCaptionWidth);
    return metrics.horizontalAdvance(caption) + 30;
}
