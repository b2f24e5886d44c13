// The controls of the main window, by their design names; built by TFormMain::BuildLayout and
// owned by the Qt parent chain (the struct holds plain pointers).
#pragma once

#include <QVector>

class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class QToolButton;
class QWidget;
class TAddressEdit;
class TSuggestionList;

struct TFormMainUi {
    QWidget* TFrameBrowser2 = nullptr;
    // Title row.
    QWidget* bsSkinPanelTop = nullptr;
    QWidget* bsSkinPanelLogo = nullptr;
    QLabel* ImageLogo = nullptr;
    QWidget* bsSkinPanelTitle = nullptr;
    QLabel* LabelTitle = nullptr;
    QWidget* bsSkinPanelMenu = nullptr;
    QMenuBar* bsSkinMainMenuBar = nullptr;
    QWidget* bsSkinPanelControlBox = nullptr;
    QToolButton* bsSkinSpeedButtonChangeSkin = nullptr;
    QToolButton* bsSkinSpeedButtonMin = nullptr;
    QToolButton* bsSkinSpeedButtonMax = nullptr;
    QToolButton* bsSkinSpeedButtonRestore = nullptr;
    QToolButton* bsSkinSpeedButtonClose = nullptr;
    // Tool bar.
    QWidget* bsSkinPanelToolbar = nullptr;
    QWidget* bsSkinPanelTool = nullptr;
    QToolButton* bsSkinSpeedButtonBack = nullptr;
    QToolButton* bsSkinSpeedButtonForward = nullptr;
    QToolButton* bsSkinSpeedButtonRefresh = nullptr;
    QToolButton* bsSkinSpeedButtonStop = nullptr;
    QToolButton* bsSkinSpeedButtonHome = nullptr;
    QWidget* bsSkinPanelDangerWebsite = nullptr;
    QLabel* LabelDangerWebsite = nullptr;
    QWidget* bsSkinPanelSafe = nullptr;
    QWidget* bsSkinPanelSafe1 = nullptr;
    QLabel* LabelSafeName = nullptr;
    QWidget* bsSkinPanelSafe2 = nullptr;
    QLabel* ImageSafeIcon = nullptr;
    QLabel* LabelSafe = nullptr;
    QWidget* bsSkinPanelRight = nullptr;
    QWidget* PanelUrl = nullptr;
    QLabel* ImageUrl = nullptr;
    TAddressEdit* EditUrl = nullptr;
    QToolButton* ImageSafe = nullptr;
    QToolButton* ImageFavAdd = nullptr;
    QToolButton* ImageKernel = nullptr;
    QWidget* bsSkinPanelOpenUrl = nullptr;
    QToolButton* bsSkinSpeedButtonOpenUrl = nullptr;
    QWidget* PanelSearch = nullptr;
    QToolButton* ImageSearch = nullptr;
    QLineEdit* EditSearch = nullptr;
    QToolButton* BitmapButtonSearch = nullptr;
    QWidget* bsSkinPanelManageSoftware = nullptr;
    QToolButton* bsSkinSpeedButtonManageSoftware = nullptr;
    // Tools and favorites row.
    QWidget* bsSkinPanelExt = nullptr;
    QWidget* bsSkinPanelFav = nullptr;
    QToolButton* SpeedButtonFav = nullptr;
    QWidget* bsSkinToolBarFav = nullptr;
    QWidget* bsSkinPanelExtTool = nullptr;
    QVector<QToolButton*> ToolButtons; // SpeedButtonWrite .. SpeedButtonScreenshot
    // Tab strip and pages.
    QWidget* TabStripHost = nullptr;
    QHBoxLayout* TabStripLayout = nullptr;
    QWidget* PageHost = nullptr;
    // Status bar.
    QWidget* bsSkinPanelBottom = nullptr;
    QLabel* LabelAd = nullptr;
    QWidget* bsSkinPanelStatus = nullptr;
    QLabel* LabelStatus = nullptr;
    QToolButton* bsSkinSpeedButtonDownload = nullptr;
    QToolButton* bsSkinSpeedButtonSpeed = nullptr;
    QLabel* LabelScale = nullptr;
    // Floating panels.
    QWidget* PanelConfirm = nullptr;
    QPushButton* bsSkinButtonYes = nullptr;
    QPushButton* bsSkinButtonNo = nullptr;
    QWidget* PanelUpdate = nullptr;
    TSuggestionList* bsSkinListBoxHistory = nullptr;
    QWidget* bsSkinPanelChangeSkin = nullptr;
    QVector<QWidget*> Shapes; // Shape1 .. Shape10
    // Menus.
    QMenu* bsSkinMainMenu1 = nullptr;
    // Timers.
    QTimer* TimerRefreshFav = nullptr;
};
