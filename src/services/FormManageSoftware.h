// The software market: a frameless window with its own title bar (drag it by the bar) over the
// vendor's software page. Its downloads go to the browser's own downloader like a tab's (the
// engine's profile hands them to the main window's download centre).
#pragma once

#include "services/SiteToolWindow.h"

#include <QPoint>

class QLabel;
class QPushButton;
class QToolButton;

class TFormManageSoftware final : public TSiteToolWindow {
    Q_OBJECT
public:
    TFormManageSoftware(QObject* mainWindow, const QString& siteRoot, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bsSkinButtonSubmitSoftwareClick();

    QWidget* bsSkinPanelTool = nullptr;
    QLabel* LabelTitle = nullptr;
    QPushButton* bsSkinButtonSubmitSoftware = nullptr;
    QToolButton* bsSkinSpeedButtonClose = nullptr;
    // Where the bar was grabbed, relative to the window; null while not dragging.
    QPoint m_grab;
    bool m_dragging = false;
};
