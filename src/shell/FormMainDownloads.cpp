// TFormMain: its download duties. The queue the window owns, the download centre that turns both
// engines' downloads into the new-download dialog, and the commands that open the manager.
// A finished download posts WM_DOWNLOAD_FINISHED to this window (the queue's owner), whose handler
// plays the sound when TConfigKey::PlayFinishedSound is on.
#include "shell/FormMain.h"

#include "browser/TabController.h"
#include "downloads/DownloadCenter.h"
#include "downloads/DownloadQueue.h"
#include "services/DomainAuth.h"
#include "shell/FormMainUi.h"
#include "storage/Config.h"

#include <QAction>
#include <QToolButton>

namespace {

// The manager's row badges: certified or flagged download sites, as the site identity store knows them.
TSiteBadgeLookup SiteBadges(const TDomainAuth* sites) {
    if (!sites)
        return {};
    return [sites](const QString& url) {
        QString siteName;
        switch (sites->Lookup(url, &siteName)) {
        case TDomainAuth::asCertified:
            return TSiteBadge::Certified;
        case TDomainAuth::asFlagged:
            return TSiteBadge::Flagged;
        default:
            return TSiteBadge::None;
        }
    };
}

} // namespace

void TFormMain::StartDownloads() {
    m_downloadQueue = std::make_unique<TDownloadQueue>(m_db, this);
    m_downloads = std::make_unique<TDownloadCenter>(
        *m_downloadQueue, *m_config, SiteBadges(m_domainAuth.get()), this, [this] { return Closing; });
    connect(m_tabs.get(), &TTabController::downloadRequested, m_downloads.get(),
            &TDownloadCenter::BeforeDownload);
    // A download typed into the address bar left its address there: the page's own comes back.
    connect(m_downloads.get(), &TDownloadCenter::downloadAnswered, this, [this] {
        if (CurrentTab())
            ShowAddress(CurrentTabAddress());
    });

    QToolButton* button = m_ui->bsSkinSpeedButtonDownload;
    connect(button, &QToolButton::clicked, this, &TFormMain::NDownManageClick);
    if (auto* item = findChild<QAction*>(QStringLiteral("NDownManage"))) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, &TFormMain::NDownManageClick);
    }
}

void TFormMain::NDownManageClick() {
    if (m_downloads && !Closing)
        m_downloads->ShowManager();
}

void TFormMain::StopDownloads() {
    // The manager listens to the queue, and the queue's workers write through the data file:
    // both go before the data file closes.
    m_downloads.reset();
    m_downloadQueue.reset();
}
