// Page pictures: a view as it is shown, saved as JPEG of quality 90 (the compatibility engine's
// whole-document picture, SaveWebBrowserSnapshot, is in its module: WebControl.h).
#pragma once

#include <QString>

class QImage;
class QWidget;

// Writes the picture as JPEG of quality 90; false (and a log line) when it cannot be written.
bool SaveJpegPicture(const QImage& image, const QString& fileName);
// Saves what the widget shows now at its own size; false on failure.
bool SaveWindowSnapshot(QWidget* view, const QString& fileName);
