// The shown order of the favorites and the rule that decides where one opens.
#include "favorites/FavoriteEntries.h"

#include <QFontMetrics>
#include <QTextBoundaryFinder>

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
    if (metrics.horizontalAdvance(caption) > MaxCaptionWidth) {
        // The places a cut may end at (never inside a character of two UTF-16 units), then the
        // longest prefix that fits, found by halving: the width grows with the prefix.
        QVector<int> ends;
        QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, caption);
        for (int end = boundaries.toNextBoundary(); end > 0; end = boundaries.toNextBoundary())
            ends.append(end);
        int low = 0; // ends[0 .. low) fit
        int high = ends.size() - 1;
        while (low < high) {
            const int middle = (low + high) / 2;
            if (metrics.horizontalAdvance(caption.left(ends.at(middle))) <= MaxCaptionWidth)
                low = middle + 1;
            else
                high = middle;
        }
        caption.truncate(low > 0 ? ends.at(low - 1) : 0);
    }
    return metrics.horizontalAdvance(caption) + 30;
}
