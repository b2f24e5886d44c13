// The capture's text box size (see CaptureTextBox.h).
#include "tools/CaptureTextBox.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

QSize CaptureTextBoxSize(const QFont& font, const QString& text, const QPoint& boxPos,
                         const QRect& selection) {
    const QFontMetrics metrics(font);
    int width = 0;
    int height = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        width = qMax(width, metrics.horizontalAdvance(line));
        height += metrics.height();
    }
    const QString sample = QStringLiteral("啊");
    width += 2 * metrics.horizontalAdvance(sample);
    height += 2 * metrics.height();
    width = qMin(width, selection.x() + selection.width() - boxPos.x());
    height = qMin(height, selection.y() + selection.height() - boxPos.y());
    return {qMax(0, width), qMax(0, height)};
}
