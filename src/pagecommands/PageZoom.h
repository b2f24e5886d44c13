// The zoom steps of a tab: how a step moves, the percentage it shows and the caption of the zoom
// submenus, and the Chromium engine's zoom level (factor 1.2^level).
#pragma once

#include <QString>

class TPageZoom final {
public:
    static constexpr int LowestStep = -4;
    // Chromium's zoom level changes by this much per step.
    static constexpr double ChromiumLevelStep = 0.5;
    // The compatibility engine's style zoom changes by this much per step.
    static constexpr double StyleZoomStep = 0.1;

    // One step in, without upper limit.
    static int ZoomedIn(int step) { return step + 1; }
    // One step out, never below LowestStep.
    static int ZoomedOut(int step) { return step > LowestStep ? step - 1 : LowestStep; }

    // The percentage shown for a step: 100 + 25 per step, 10 at the lowest step.
    static int Percent(int step);
    // "100%", "125%" ... for the status bar.
    static QString LabelText(int step);
    // "页面缩放" at step 0, else "页面缩放(125%)".
    static QString MenuCaption(int step);

    // Chromium: the zoom factor of a zoom level and the level of a factor.
    static double ChromiumFactor(double level);
    static double ChromiumLevel(double factor);
};
