// Bringing pages back: the restore offer of the last session's pages, Ctrl+Shift+T over the
// recently closed pages, and writing the open pages to the page log at exit. Also the site badges
// of the address bar.
#include "shell/FormMain.h"

#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "history/RecentlyClosed.h"
#include "services/DomainAuth.h"
#include "shell/FormMainUi.h"
#include "storage/Config.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace {

// The title history last recorded for the address; empty when it has none.
QString LastTitleOf(THistory* history, const QString& url) {
    if (!history)
        return QString();
    for (const THistoryInfo& visit : history->FindHistoryByUrl(url))
        if (visit.SiteUrl == url)
            return visit.SiteName;
    return QString();
}

} // namespace

void TFormMain::OfferRestore() {
    if (m_restoreOffered)
        return;
    m_restoreOffered = true;
    m_startAddress = m_commandLineUrl;
    if (!m_startAddress.isEmpty()) {
        OpenInNewTab(m_startAddress, 0);
        return;
    }
    // The home page itself opens in a tab of its own with the start-up settings.
    if (m_config->StartMode == 0 && m_pageLog->CountPageLog() > 0) {
        // Read now: the page log follows this session's pages from here on.
        m_offeredPages = m_pageLog->LoadPageLog();
        m_ui->PanelConfirm->show();
        m_ui->PanelConfirm->raise();
    }
}

void TFormMain::RestorePages() {
    m_ui->PanelConfirm->hide();
    if (!m_tabs || Closing)
        return;
    const TRestorePlan plan = PlanRestore(m_offeredPages, true);
    m_offeredPages.clear();
    if (plan.CurrentTabUrl) {
        // The first page goes into the current engine tab. Without one it gets a tab of its own
        // rather than being dropped.
        TBrowserTab* tab = CurrentTab();
        if (tab && tab->Kernel != kOptionsPage && tab->View())
            tab->View()->Navigate(*plan.CurrentTabUrl);
        else
            OpenInNewTab(*plan.CurrentTabUrl, 0);
        QCoreApplication::processEvents();
    }
    // The others open asleep: caption and icon now, the page when the tab is first shown.
    for (const QString& url : plan.NewTabUrls)
        m_tabs->OpenSleepingTab(url, LastTitleOf(m_history.get(), url));
}

void TFormMain::ReopenClosedTab() {
    if (!m_recentlyClosed || Closing)
        return;
    if (const std::optional<QString> url = m_recentlyClosed->NextToReopen())
        OpenInNewTab(*url, 0);
}

void TFormMain::KeepPageLogCurrent() {
    // A burst of changes (restoring ten pages, a page redirecting) costs one write.
    m_timerSavePages = new QTimer(this);
    m_timerSavePages->setObjectName(QStringLiteral("TimerSavePages"));
    m_timerSavePages->setSingleShot(true);
    m_timerSavePages->setInterval(1000);
    connect(m_timerSavePages, &QTimer::timeout, this, [this] {
        if (!Closing)
            SaveOpenPages();
    });
    connect(m_tabs.get(), &TTabController::openPagesChanged, m_timerSavePages, qOverload<>(&QTimer::start));
}

void TFormMain::SaveOpenPages() {
    if (m_timerSavePages)
        m_timerSavePages->stop();
    if (!m_tabs || !m_pageLog)
        return;
    QList<TOpenPage> pages;
    for (const TBrowserTab* tab : m_tabs->Tabs())
        pages.append(TOpenPage{tab->PageKind, tab->PageUrl});
    ::SaveOpenPages(*m_pageLog, pages);
}

void TFormMain::RefreshSiteBadge(const QString& url) {
    TFormMainUi& ui = *m_ui;
    QString siteName;
    // An empty address is the options page: no lookup, both badges hidden.
    const int state =
        url.isEmpty() || !m_domainAuth ? TDomainAuth::asUnknown : m_domainAuth->Lookup(url, &siteName);
    ui.bsSkinPanelDangerWebsite->setVisible(state == TDomainAuth::asFlagged);
    const bool certified = state == TDomainAuth::asCertified;
    ui.bsSkinPanelSafe->setVisible(certified);
    ui.ImageSafe->setVisible(certified);
    ui.LabelSafeName->setText(certified ? siteName : QString());
    // The name part grows with the name, 5 pixels either side.
    const int nameWidth = ui.LabelSafeName->fontMetrics().horizontalAdvance(ui.LabelSafeName->text()) + 10;
    ui.bsSkinPanelSafe1->setFixedWidth(nameWidth);
    ui.bsSkinPanelSafe->setFixedWidth(nameWidth + ui.bsSkinPanelSafe2->width());
}
