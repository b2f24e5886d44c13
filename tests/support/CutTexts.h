// Captions cut by their window's layout: labels, buttons and check boxes shown narrower or lower
// than their text needs. Windows are checked at the normal font and at a font half as big again
// (a desktop scaled to 150 %).
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QStringList>
#include <QTest>
#include <QWidget>

inline QStringList CutTexts(const QWidget* window) {
    QStringList cut;
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(control);
        if (!control->isVisibleTo(window) || (!label && !qobject_cast<const QAbstractButton*>(control)))
            continue;
        if (label && (label->wordWrap() || label->text().isEmpty()))
            continue;
        const QSize needed = control->sizeHint();
        if (control->width() < needed.width() || control->height() < needed.height())
            cut.append(control->objectName() + QLatin1Char(' ') +
                       (label ? label->text() : static_cast<const QAbstractButton*>(control)->text()));
    }
    return cut;
}

// Sets the application's font to the scale (1.5: half as big again) until it goes out of scope.
class TScaledFont {
public:
    explicit TScaledFont(qreal scale) : m_normal(QApplication::font()) {
        QFont scaled = m_normal;
        if (scaled.pointSizeF() > 0)
            scaled.setPointSizeF(scaled.pointSizeF() * scale);
        else
            scaled.setPixelSize(qRound(scaled.pixelSize() * scale));
        QApplication::setFont(scaled);
    }
    ~TScaledFont() { QApplication::setFont(m_normal); }

private:
    const QFont m_normal;
};

// The data rows of a check run at both scales: column "scale", rows "100 %" and "150 %".
inline void AddScaleRows() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("150 %") << 1.5;
}
