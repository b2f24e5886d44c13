// The zoom steps of a tab and the Chromium engine's zoom level.
#include "pagecommands/PageZoom.h"

#include <QCoreApplication>
#include <cmath>

int TPageZoom::Percent(int step) {
    // The engines cannot show 0%: the lowest step is their floor of 10%.
    return step <= LowestStep ? 10 : 100 + 25 * step;
}

QString TPageZoom::LabelText(int step) {
    return QStringLiteral("%1%").arg(Percent(step));
}

QString TPageZoom::MenuCaption(int step) {
    const QString caption = QCoreApplication::translate("TFormMain", "页面缩放");
    return step == 0 ? caption : QStringLiteral("%1(%2%)").arg(caption).arg(Percent(step));
}

double TPageZoom::ChromiumFactor(double level) {
    return std::pow(1.2, level);
}

double TPageZoom::ChromiumLevel(double factor) {
    if (factor <= 0)
        return 0;
    // Rounded to the half steps the commands make, so repeated steps do not drift.
    return std::round(std::log(factor) / std::log(1.2) * 2.0) / 2.0;
}
