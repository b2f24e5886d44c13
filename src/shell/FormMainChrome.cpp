// The window chrome: caption buttons, moving and resizing the frameless window from its 6-pixel
// borders, the skin panel and its ten colours, the tray icon, the boss key and full screen.
#include "shell/FormMain.h"

#include "BuildConfig.h"
#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/Logging.h"
#include "navigation/AddressBar.h"
#include "shell/BossKey.h"
#include "shell/ClickFilter.h"
#include "shell/FormMainUi.h"
#include "shell/SkinStyle.h"
#include "storage/Config.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QWindow>

namespace {

constexpr int kBorder = 6;

// Hit codes of the border zones (the numbers the window system gives them).
enum TBorderZone : int {
    bzNone = 0,
    bzLeft = 10,
    bzRight = 11,
    bzTop = 12,
    bzTopLeft = 13,
    bzTopRight = 14,
    bzBottom = 15,
    bzBottomLeft = 16,
    bzBottomRight = 17
};

} // namespace

void TFormMain::ConnectChrome() {
    TFormMainUi& ui = *m_ui;
    connect(ui.bsSkinSpeedButtonMin, &QToolButton::clicked, this, &QWidget::showMinimized);
    connect(ui.bsSkinSpeedButtonMax, &QToolButton::clicked, this, &TFormMain::MaximizeWindow);
    connect(ui.bsSkinSpeedButtonRestore, &QToolButton::clicked, this, &TFormMain::RestoreWindow);
    connect(ui.bsSkinSpeedButtonClose, &QToolButton::clicked, this, &QWidget::close);
    connect(ui.bsSkinSpeedButtonChangeSkin, &QToolButton::clicked, this, &TFormMain::ToggleSkinPanel);
    connect(ui.bsSkinButtonYes, &QPushButton::clicked, this, &TFormMain::RestorePages);
    connect(ui.bsSkinButtonNo, &QPushButton::clicked, ui.PanelConfirm, &QWidget::hide);

    // A press on the title, its label or the logo moves the window (not while maximised).
    auto* mover = new TClickFilter(this, QEvent::MouseButtonPress, [this] {
        if (!IsMaximizedState() && windowHandle())
            windowHandle()->startSystemMove();
    });
    for (QWidget* widget :
         {ui.bsSkinPanelTitle, static_cast<QWidget*>(ui.LabelTitle), static_cast<QWidget*>(ui.ImageLogo)})
        widget->installEventFilter(mover);

    // The status-bar link opens the offer address carried in its hint.
    ui.LabelAd->installEventFilter(new TClickFilter(this, QEvent::MouseButtonPress, [this] {
        const QString url = m_ui->LabelAd->toolTip().trimmed();
        if (!url.isEmpty())
            OpenInNewTab(url, 0);
    }));
    QToolButton* game = ui.ToolButtons.value(5);
    connect(game, &QToolButton::clicked, this, [this] {
        if (m_config)
            OpenInNewTab(QString::fromUtf8(BuildConfig::GamesUrl), 0);
    });

    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            ToggleVisibility();
    });
    connect(m_bossKey, &TBossKey::activated, this, &TFormMain::ToggleVisibility);
}

void TFormMain::ToggleSkinPanel() {
    QWidget* panel = m_ui->bsSkinPanelChangeSkin;
    if (panel->isVisible()) {
        panel->hide();
        return;
    }
    PlaceFloatingPanels();
    panel->show();
    panel->raise();
}

void TFormMain::ShapeClick(int index) {
    if (index < 0 || index >= TSkinStyle::SkinCount)
        return;
    m_ui->bsSkinPanelChangeSkin->hide();
    setStyleSheet(TSkinStyle::StyleSheet(TSkinStyle::SkinColor(index)));
    m_skinIndex = index;
    if (m_config && m_config->SkinIndex != index) {
        m_config->SkinIndex = index;
        m_config->SetValue(TConfigKey::Skin, QString::number(index));
    }
}

bool TFormMain::IsMaximizedState() const {
    return m_ui->bsSkinSpeedButtonRestore->isVisible();
}

void TFormMain::MaximizeWindow() {
    // The window draws its own frame, so it fills the screen's work area itself: that behaves the
    // same with and without a window manager.
    if (!IsMaximizedState())
        setProperty("normalGeometry", geometry());
    QScreen* screen = windowHandle() ? windowHandle()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->availableGeometry());
    m_ui->bsSkinSpeedButtonMax->hide();
    m_ui->bsSkinSpeedButtonRestore->show();
}

void TFormMain::RestoreWindow() {
    const QRect normal = property("normalGeometry").toRect();
    if (normal.isValid())
        setGeometry(normal);
    m_ui->bsSkinSpeedButtonRestore->hide();
    m_ui->bsSkinSpeedButtonMax->show();
}

int TFormMain::BorderZone(const QPoint& pos) const {
    if (IsMaximizedState() || m_fullScreen)
        return bzNone;
    const bool left = pos.x() >= 0 && pos.x() < kBorder;
    const bool right = pos.x() < width() && pos.x() >= width() - kBorder;
    const bool top = pos.y() >= 0 && pos.y() < kBorder;
    const bool bottom = pos.y() < height() && pos.y() >= height() - kBorder;
    if (!rect().contains(pos))
        return bzNone;
    if (top && left)
        return bzTopLeft;
    if (top && right)
        return bzTopRight;
    if (bottom && left)
        return bzBottomLeft;
    if (bottom && right)
        return bzBottomRight;
    if (left)
        return bzLeft;
    if (right)
        return bzRight;
    if (top)
        return bzTop;
    if (bottom)
        return bzBottom;
    return bzNone;
}

void TFormMain::UpdateBorderCursor(int zone) {
    if (zone == m_cursorZone)
        return;
    if (m_cursorZone != bzNone)
        QApplication::restoreOverrideCursor();
    m_cursorZone = zone;
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (zone) {
    case bzLeft:
    case bzRight:
        shape = Qt::SizeHorCursor;
        break;
    case bzTop:
    case bzBottom:
        shape = Qt::SizeVerCursor;
        break;
    case bzTopLeft:
    case bzBottomRight:
        shape = Qt::SizeFDiagCursor;
        break;
    case bzTopRight:
    case bzBottomLeft:
        shape = Qt::SizeBDiagCursor;
        break;
    default:
        return;
    }
    QApplication::setOverrideCursor(shape);
}

bool TFormMain::StartSystemMoveOrResize(int zone) {
    QWindow* window = windowHandle();
    if (!window || zone == bzNone)
        return false;
    Qt::Edges edges;
    switch (zone) {
    case bzLeft:
        edges = Qt::LeftEdge;
        break;
    case bzRight:
        edges = Qt::RightEdge;
        break;
    case bzTop:
        edges = Qt::TopEdge;
        break;
    case bzBottom:
        edges = Qt::BottomEdge;
        break;
    case bzTopLeft:
        edges = Qt::TopEdge | Qt::LeftEdge;
        break;
    case bzTopRight:
        edges = Qt::TopEdge | Qt::RightEdge;
        break;
    case bzBottomLeft:
        edges = Qt::BottomEdge | Qt::LeftEdge;
        break;
    case bzBottomRight:
        edges = Qt::BottomEdge | Qt::RightEdge;
        break;
    default:
        return false;
    }
    WriteLog(QStringLiteral("set size"));
    return window->startSystemResize(edges);
}

bool TFormMain::IsCaptionPress(QWidget* target, const QPoint& pos) const {
    // The caption strip: the title row right of the tab area's new-tab button and left of the
    // caption buttons; its controls (menu bar, buttons) keep their own clicks.
    if (IsMaximizedState() || m_fullScreen || pos.y() >= 30 || pos.x() >= width() - 120)
        return false;
    if (!target || qobject_cast<QAbstractButton*>(target) || qobject_cast<QMenuBar*>(target))
        return false;
    const QWidget* panelAdd = findChild<QWidget*>(QStringLiteral("PanelAdd"));
    const int addLeft = panelAdd ? panelAdd->mapTo(this, QPoint(0, 0)).x() : 0;
    return pos.x() > addLeft + 24 || target == m_ui->bsSkinPanelTitle || target == m_ui->LabelTitle;
}

void TFormMain::ToggleVisibility() {
    if (isVisible() && !isMinimized()) {
        m_hiddenWindows.HideAllBut(this);
        hide();
        return;
    }
    if (IsMaximizedState())
        RestoreWindow();
    showNormal();
    raise();
    activateWindow();
    m_hiddenWindows.Restore();
}

void TFormMain::RegisterBossKey() {
    m_bossKey->Unregister();
    if (m_config && m_config->BossKeyEnabled && (m_config->BossKey & 0xFF) != 0)
        m_bossKey->Register(m_config->BossKey);
}

void TFormMain::ToggleFullScreen() {
    if (m_fullScreen)
        LeaveFullScreen();
    else
        EnterFullScreen();
}

void TFormMain::EnterFullScreen() {
    if (!CurrentTab() || Closing)
        return;
    m_fullScreen = true;
    m_addressBar->HideSuggestions();
    m_ui->bsSkinPanelChangeSkin->hide();
    m_fullScreenMaximized = !IsMaximizedState();
    if (m_fullScreenMaximized)
        MaximizeWindow();
    ShowChromeRows(false);
    // The keyboard goes to the page: the address and search boxes are hidden now.
    if (TPageView* view = CurrentTab()->View())
        view->Widget()->setFocus(Qt::OtherFocusReason);
}

void TFormMain::LeaveFullScreen() {
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    ShowChromeRows(true);
    if (m_fullScreenMaximized)
        RestoreWindow();
    m_fullScreenMaximized = false;
    if (m_tabs)
        m_tabs->RelayoutTabs();
}

void TFormMain::ShowChromeRows(bool visible) {
    TFormMainUi& ui = *m_ui;
    for (QWidget* row : {ui.bsSkinPanelTop, ui.bsSkinPanelExt, ui.TabStripHost, ui.bsSkinPanelBottom})
        row->setVisible(visible);
    const int frame = visible ? 1 : 0;
    layout()->setContentsMargins(frame, frame, frame, frame);
    // The page stack moves at once, so the bars that float over its top follow it.
    layout()->activate();
    ui.TFrameBrowser2->layout()->activate();
    PlaceFloatingPanels();
}

void TFormMain::ShowPopupTab(int index) {
    if (m_fullScreen && m_tabs)
        m_tabs->SetCurrentIndex(index);
}
