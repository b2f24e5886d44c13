// Captions cut by their window's layout: labels, buttons and check boxes shown narrower or lower
// than their text needs ("objectName text" of each).
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>

inline QStringList CutTexts(const QWidget* window) {
    QStringList cut;
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(control);
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        if (!control->isVisibleTo(window) || (!label && !button) || (label && label->wordWrap()))
            continue;
        const QSize needed = control->sizeHint();
        if (control->width() < needed.width() || control->height() < needed.height())
            cut.append(control->objectName() + QLatin1Char(' ') + (label ? label->text() : button->text()));
    }
    return cut;
}
