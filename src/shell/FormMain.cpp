// TFormMain: creation, deferred initialisation, first show, resizing and closing; the operations
// other windows call.
#include "shell/FormMain.h"

#include "BuildConfig.h"
#include "browser/BrowserTab.h"
#include "browser/DomainKernel.h"
#include "browser/EngineNoticeRule.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "common/CompatEngineHost.h"
#include "common/DefaultBrowser.h"
#include "common/Dialogs.h"
#include "common/Logging.h"
#include "common/Messages.h"
#include "common/Screen.h"
#include "downloads/DownloadCenter.h"
#include "downloads/DownloadQueue.h"
#include "favorites/Favorites.h"
#include "favorites/FavoritesBar.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "history/RecentlyClosed.h"
#include "history/SearchIndexCatchUp.h"
#include "navigation/AddressBar.h"
#include "navigation/SearchBox.h"
#include "pagecommands/PageZoom.h"
#include "services/DomainAuth.h"
#include "shell/BossKey.h"
#include "shell/EngineNotice.h"
#include "shell/FileDropFilter.h"
#include "shell/FormMainUi.h"
#include "shell/Icons.h"
#include "shell/SkinStyle.h"
#include "shell/StartupDefaults.h"
#include "storage/Config.h"
#include "storage/DbMain.h"
#include "tools/TranslateRunService.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>

TFormMain::TFormMain(TDb& db, const QString& commandLineUrl, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_db(db), m_ui(std::make_unique<TFormMainUi>()),
      m_commandLineUrl(commandLineUrl) {
    setObjectName(QStringLiteral("TFormMain"));
    setAttribute(Qt::WA_StyledBackground, true);
    setWindowIcon(AppIcon(QStringLiteral("logo")));
    QDir().mkpath(UserDataDir());
    QDir().mkpath(DataDir());

    BuildLayout();
    TFormMainUi& ui = *m_ui;
    m_addressBar = new TAddressBar(*this, ui.EditUrl, ui.bsSkinListBoxHistory, ui.ImageUrl, ui.PanelUrl,
                                   ui.bsSkinSpeedButtonOpenUrl, this);
    m_searchBox = new TSearchBox(*this, ui.EditSearch, ui.ImageSearch, ui.BitmapButtonSearch, this);
    m_addressBar->SetSearchBox(m_searchBox);
    setStyleSheet(TSkinStyle::StyleSheet(TSkinStyle::SkinColor(0)));
    ui.LabelAd->clear();
    ui.LabelStatus->clear();
    ui.bsSkinPanelSafe->hide();
    ui.bsSkinPanelDangerWebsite->hide();
    ui.ImageSafe->hide();

    // Design size, centred on the screen; never smaller than 640 x 480.
    resize(1026, 741);
    setMinimumSize(640, 480);
    const QSize screen = ScreenResolution();
    move(qAbs(screen.width() - width()) / 2, qAbs(screen.height() - height()) / 2);

    const QString caption = QStringLiteral("%1 %2").arg(QLatin1String(BuildConfig::ProductName),
                                                        QLatin1String(BuildConfig::Version));
    setWindowTitle(caption);
    ui.LabelTitle->setText(caption);
    m_trayIcon = new QSystemTrayIcon(windowIcon(), this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_trayIcon->setToolTip(QLatin1String(BuildConfig::ProductName));
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_trayIcon->show();

    m_config = std::make_unique<TConfig>(m_db);
    m_pageLog = std::make_unique<TPageLog>(m_db);
    m_domainAuth = std::make_unique<TDomainAuth>();
    m_config->LoadConfig();
    SetTranslateConfig(m_config.get());
    m_bossKey = new TBossKey(this);
    ConnectChrome();
    ConnectServices();
    ConnectTools();

    // The deferred initialisation runs now, before the first show, as a posted message of its own.
    QCoreApplication::postEvent(this, new TMessageEvent(WM_DEFERRED_INIT));
    QCoreApplication::sendPostedEvents(this, WM_DEFERRED_INIT);
    QCoreApplication::postEvent(this,
                                new TRecordMessage<QString>(WM_STARTUP_SETTINGS, BuiltInStartupSettings()));

    setAcceptDrops(true);
    new TFileDropFilter(this, [this](const QString& url) { OpenInNewTab(url, kChromium); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { close(); });
    qApp->installEventFilter(this);
}

TFormMain::~TFormMain() {
    SetTranslateConfig(nullptr);
    if (qApp)
        qApp->removeEventFilter(this);
    if (!Closing) {
        Closing = true;
        CleanUp();
    }
}

void TFormMain::DeferredInit() {
    TFormMainUi& ui = *m_ui;
    m_domainKernel = std::make_unique<TDomainKernel>(m_db);
    m_domainKernel->LoadKernels();
    m_history = std::make_unique<THistory>(m_db);
    // The address search index of an older data file catches up on a worker, once.
    m_indexCatchUp = std::make_unique<TSearchIndexCatchUp>(*m_history);
    m_recentlyClosed = std::make_unique<TRecentlyClosed>(*m_history);
    m_tabs = std::make_unique<TTabController>(*m_config, *m_history, *m_domainKernel, *m_recentlyClosed,
                                              ui.PageHost);
    ui.TabStripLayout->addWidget(m_tabs->TabStrip(), 1);
    // The row is as high as the strip with its base line, below the row's top margin.
    ui.TabStripHost->setFixedHeight(m_tabs->TabStrip()->height() + ui.TabStripLayout->contentsMargins().top());
    ConnectTabController();
    ConnectPageCommands();
    ConnectSettings();
    StartDownloads();
    m_addressBar->SetSuggestionSource([this](const QString& text) {
        QStringList addresses;
        if (m_history) {
            for (const THistoryInfo& row : m_history->FindSuggestions(text))
                addresses.append(row.SiteUrl);
        }
        return addresses;
    });

    m_searchBox->SetSearchEngine(3);
    ShowKernel(kChromium);
    m_tabs->PlaceNewTabButton();
    StartFavorites();
    OfferRestore();
    RegisterBossKey();
    SetBrowserEmulation(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (m_config->MakeDefaultBrowser && DefaultBrowserProgId() != QLatin1String(BuildConfig::VendorName)) {
        const TDefaultBrowserResult result = RegisterAsDefaultBrowser(QCoreApplication::applicationFilePath());
        // Said once the window is on the screen (this runs before its first show).
        QTimer::singleShot(0, this, [result] {
            MsgBox(result.Message, result.Ok ? MB_ICONINFORMATION : MB_ICONWARNING);
        });
    }
    CheckForUpdate();
}

void TFormMain::ConnectTabController() {
    TFormMainUi& ui = *m_ui;
    TTabController* tabs = m_tabs.get();
    connect(tabs, &TTabController::addressShown, this, &TFormMain::ShowAddress);
    connect(tabs, &TTabController::windowCaptionChanged, this, [this](const QString& caption) {
        setWindowTitle(caption);
        m_ui->LabelTitle->setText(caption);
    });
    connect(tabs, &TTabController::loadingStateShown, this, [&ui](bool idle) {
        ui.bsSkinSpeedButtonStop->setVisible(!idle);
        ui.bsSkinSpeedButtonRefresh->setVisible(idle);
    });
    connect(tabs, &TTabController::statusTextChanged, ui.LabelStatus, &QLabel::setText);
    connect(tabs, &TTabController::kernelShown, this, &TFormMain::ShowKernel);
    auto* engineNotice = new TEngineNotice(*m_config, ui.PageHost, this);
    connect(tabs, &TTabController::hostSentToCompatEngine, engineNotice, &TEngineNotice::Offer);
    connect(tabs, &TTabController::kernelShown, engineNotice, &TEngineNotice::EngineShown);
    connect(tabs, &TTabController::zoomStepShown, this, &TFormMain::ShowZoomStep);
    connect(tabs, &TTabController::siteBadgeRefreshRequested, this, &TFormMain::RefreshSiteBadge);
    connect(tabs, &TTabController::optionsTabRequested, this, &TFormMain::ShowOptionsTab);
    connect(tabs, &TTabController::optionsTabShown, this, [this] {
        ShowAddress(QStringLiteral("about:config"));
        RefreshSiteBadge(QString());
        ShowZoomStep(0);
        ShowKernel(kChromium);
    });
    connect(tabs, &TTabController::popupTabOpened, this, &TFormMain::ShowPopupTab);
    connect(tabs, &TTabController::currentTabChanged, this, [this](int) { m_addressBar->HideSuggestions(); });
    connect(tabs, &TTabController::lastTabClosed, this, &QWidget::close, Qt::QueuedConnection);
    KeepPageLogCurrent();

    connect(ui.bsSkinSpeedButtonBack, &QToolButton::clicked, tabs, &TTabController::GoBack);
    connect(ui.bsSkinSpeedButtonForward, &QToolButton::clicked, tabs, &TTabController::GoForward);
    connect(ui.bsSkinSpeedButtonRefresh, &QToolButton::clicked, tabs, &TTabController::Refresh);
    connect(ui.bsSkinSpeedButtonStop, &QToolButton::clicked, tabs, &TTabController::StopLoading);
    connect(ui.bsSkinSpeedButtonHome, &QToolButton::clicked, tabs, &TTabController::GoHome);
    connect(ui.ImageKernel, &QToolButton::clicked, tabs, &TTabController::SwitchEngine);
}

void TFormMain::ShowKernel(int kernel) {
    m_ui->ImageKernel->setIcon(KernelIcon(kernel == kWebControl ? kWebControl : kChromium));
    m_ui->ImageKernel->setToolTip(TEngineNoticeRule::EngineHint(kernel == kWebControl ? 1 : 0));
    RefreshEngineCaptions(kernel);
}

void TFormMain::ShowZoomStep(int zoomStep) {
    m_ui->LabelScale->setText(TPageZoom::LabelText(zoomStep));
    if (auto* menu = findChild<QMenu*>(QStringLiteral("NPageZoom")))
        menu->setTitle(TPageZoom::MenuCaption(zoomStep));
}

void TFormMain::ShowOptionsTab() {
    if (!m_tabs || Closing)
        return;
    if (!m_optionsWindow)
        m_optionsWindow = CreateOptionsWindow();
    m_tabs->OpenOptionsTab(m_optionsWindow);
}

void TFormMain::FirstShow() {
    ShapeClick(qBound(0, m_config->SkinIndex, TSkinStyle::SkinCount - 1));
    if (x() < 0 || y() < 0)
        move(qMax(0, x()), qMax(0, y()));
    MaximizeWindow();
}

void TFormMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_firstShow) {
        m_firstShow = false;
        FirstShow();
    }
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceFloatingPanels();
    if (!m_tabs || Closing)
        return;
    m_tabs->UpdateTabWidth();
    m_tabs->PlaceNewTabButton();
    m_tabs->RelayoutTabs();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!Closing) {
        Closing = true;
        // Closing is never refused; a failing step is logged and the rest still runs.
        try {
            if (m_tabs)
                m_tabs->SetClosing(true);
            SaveOpenPages();
        } catch (const std::exception& error) {
            WriteLog(QStringLiteral("Exception: ") + QString::fromLocal8Bit(error.what()));
        }
        CleanUp();
    }
    m_trayIcon->hide();
    event->accept();
}

void TFormMain::CleanUp() {
    if (m_bossKey)
        m_bossKey->Unregister();
    setAcceptDrops(false);
    FlushOptionsPage();
    // The tabs go first: their pages still reach the stores while they are disposed.
    m_tabs.reset();
    ClearTracesAtExit();
    StopDownloads();
    StopFavorites();
    m_recentlyClosed.reset();
    m_domainKernel.reset();
    m_indexCatchUp.reset(); // stops between two batches and waits for its worker
    m_history.reset();
    m_pageLog.reset();
    m_domainAuth.reset();
    m_config.reset();
    m_db.Close();
}

void TFormMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || Closing)
        return;
    // An activated window hands the keyboard to the current page, unless a control of the window
    // itself has it (the address bar keeps what the user is typing). While the activation is
    // under way the application has no focus widget yet: the window's own one is the control
    // that gets the keyboard, also when it was clicked just before the window became active.
    TBrowserTab* tab = CurrentTab();
    QWidget* focus = focusWidget();
    if (!tab || (focus && focus != this && isAncestorOf(focus) && !tab->Page->isAncestorOf(focus)))
        return;
    if (TPageView* view = tab->View())
        view->Widget()->setFocus(Qt::ActiveWindowFocusReason);
}

bool TFormMain::HasCurrentTab() const {
    return CurrentTab() != nullptr;
}

TBrowserTab* TFormMain::CurrentTab() const {
    return m_tabs ? m_tabs->CurrentTab() : nullptr;
}

QString TFormMain::CurrentTabAddress() const {
    const TBrowserTab* tab = CurrentTab();
    if (!tab)
        return QString();
    if (tab->Kernel == kOptionsPage)
        return QStringLiteral("about:config");
    return tab->CurrentUrl();
}

void TFormMain::OpenInNewTab(const QString& url, int kernel) {
    if (m_tabs && !Closing)
        m_tabs->OpenInNewTab(url, kernel);
}

void TFormMain::OpenInCurrentTab(const QString& url) {
    if (m_tabs && !Closing)
        m_tabs->OpenInCurrentTab(url);
}

void TFormMain::ShowAddress(const QString& url) {
    const TBrowserTab* tab = CurrentTab();
    m_addressBar->ShowAddress(url, tab && tab->View() && tab->View()->CertificateRefused());
}
