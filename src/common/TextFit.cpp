// Fitting text into a width by halving the candidate length over character boundaries.
#include "common/TextFit.h"

#include <QFontMetrics>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QVector>

namespace {
// The ends of the characters of text, in order (after each grapheme).
QVector<int> CharacterEnds(const QString& text) {
    QVector<int> ends;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    for (int end = boundaries.toNextBoundary(); end > 0; end = boundaries.toNextBoundary())
        ends.append(end);
    return ends;
}

// The end of the last whole character at or before limit.
int WholeCharacterEnd(const QString& text, int limit) {
    if (limit >= text.size())
        return text.size();
    if (limit > 0 && text.at(limit - 1).isHighSurrogate() && text.at(limit).isLowSurrogate())
        return limit - 1;
    return limit;
}
} // namespace

namespace TextFit {

QString Prefix(const QString& text, const QFontMetrics& metrics, int width) {
    if (width <= 0 || text.isEmpty())
        return QString();
    // Every visible character is at least one pixel wide: more characters than that (with room for
    // marks that take no width) can never fit, so only that much is ever looked at.
    const int looked = WholeCharacterEnd(text, 4 * width + 16);
    const QString candidate = text.left(looked);
    if (looked == text.size() && metrics.horizontalAdvance(candidate) <= width)
        return text;
    const QVector<int> ends = CharacterEnds(candidate);
    int low = 0; // ends[0 .. low) fit
    int high = ends.size();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (metrics.horizontalAdvance(candidate.left(ends.at(middle))) <= width)
            low = middle + 1;
        else
            high = middle;
    }
    return low > 0 ? candidate.left(ends.at(low - 1)) : QString();
}

QString Capped(const QString& text, int maxChars) {
    if (text.size() <= maxChars)
        return text;
    return text.left(WholeCharacterEnd(text, qMax(0, maxChars - 1))) + QChar(0x2026);
}

QString PlainToolTip(const QString& text) {
    if (text.isEmpty())
        return text;
    return Qt::convertFromPlainText(Capped(text, MaxToolTipChars), Qt::WhiteSpaceNormal);
}

} // namespace TextFit
