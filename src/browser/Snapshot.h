// Page pictures: the whole document of a compatibility-engine page, or a view as it is shown,
// saved as JPEG of quality 90.
#pragma once

#include <QString>

class QWidget;
class TWebControl;

// Renders the full document (its scroll size; the control's size + 100 when that cannot be read)
// and saves it; false when nothing could be rendered or written.
bool SaveWebBrowserSnapshot(TWebControl* control, const QString& fileName);
// Saves what the widget shows now at its own size; false on failure.
bool SaveWindowSnapshot(QWidget* view, const QString& fileName);
