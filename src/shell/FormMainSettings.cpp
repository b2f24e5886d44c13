// TFormMain: its settings and housekeeping. The options page in its tab, the history manager,
// the cache cleaner with its "clean at exit", and the update check after start-up with its
// notice strip.
#include "shell/FormMain.h"

#include "BuildConfig.h"
#include "browser/BrowserTab.h"
#include "browser/ChromiumStores.h"
#include "browser/DomainKernel.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "common/Logging.h"
#include "downloads/DownloadQueue.h"
#include "history/FormManageHistory.h"
#include "history/History.h"
#include "history/RecentlyClosed.h"
#include "maintenance/CacheCleaner.h"
#include "maintenance/FormClearCache.h"
#include "maintenance/UpdateCheck.h"
#include "navigation/AddressBar.h"
#include "options/FormOption.h"
#include "shell/FormMainUi.h"
#include "storage/Config.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

void TFormMain::ConnectSettings() {
    const auto bind = [this](const char* name, void (TFormMain::*command)()) {
        if (auto* item = findChild<QAction*>(QLatin1String(name))) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, command);
        }
    };
    bind("NViewHistory", &TFormMain::NViewHistoryClick);
    bind("NDeleteCache", &TFormMain::NDeleteCacheClick);
    connect(m_ui->bsSkinSpeedButtonSpeed, &QToolButton::clicked, this, &TFormMain::NDeleteCacheClick);
    if (auto* yes = m_ui->PanelUpdate->findChild<QPushButton*>(QStringLiteral("bsSkinButtonUpdateYes")))
        connect(yes, &QPushButton::clicked, this, &TFormMain::UpdateYesClick);
    if (auto* no = m_ui->PanelUpdate->findChild<QPushButton*>(QStringLiteral("bsSkinButtonUpdateNo")))
        connect(no, &QPushButton::clicked, m_ui->PanelUpdate, &QWidget::hide);
}

QWidget* TFormMain::CreateOptionsWindow() {
    return new TFormOption(this, NavigationPageUrl(), *m_config, m_domainKernel.get());
}

TFormOption* TFormMain::OptionsWindow() const {
    return qobject_cast<TFormOption*>(m_optionsWindow.data());
}

void TFormMain::FlushOptionsPage() {
    if (TFormOption* options = OptionsWindow())
        options->SaveFocusedControl();
}

bool TFormMain::OptionsPageWheel(int notches) {
    TBrowserTab* tab = CurrentTab();
    TFormOption* options = OptionsWindow();
    if (!tab || tab->Kernel != kOptionsPage || !options)
        return false;
    options->ScrollShortcuts(notches);
    return true;
}

void TFormMain::NViewHistoryClick() {
    if (m_historyWindow || !m_history || Closing)
        return;
    TFormManageHistory window(
        this, *m_history, [this] { HistoryCleared(); }, this);
    window.setWindowFlag(Qt::Window);
    m_historyWindow = &window;
    window.exec();
}

void TFormMain::NDeleteCacheClick() {
    if (m_cacheWindow || !m_config || Closing)
        return;
    TFormClearCache window(
        m_history.get(), DownloadQueue(), *m_config,
        [this](int kinds) {
            if (kinds & (ckHistory | ckAddressList))
                HistoryCleared();
        },
        this);
    window.ClearLiveStores = ClearEngineStores;
    window.setWindowFlag(Qt::Window);
    m_cacheWindow = &window;
    window.exec();
}

TDownloadQueue* TFormMain::DownloadQueue() const {
    return findChild<TDownloadQueue*>(QString(), Qt::FindDirectChildrenOnly);
}

void TFormMain::HistoryCleared() {
    // Nothing visited may be offered again: the closed pages are read anew and the address
    // bar's open list goes.
    if (m_recentlyClosed)
        m_recentlyClosed->Reload();
    m_addressBar->HideSuggestions();
}

void TFormMain::ClearTracesAtExit() {
    if (!m_config || !m_config->ClearTracesOnExit)
        return;
    const int kinds = StoredCleanKinds(*m_config);
    ClearEngineStores(kinds);
    TCacheCleaner cleaner(m_history.get(), DownloadQueue());
    const std::atomic<bool> stop{false};
    const TCleanReport report = cleaner.Clean(kinds, stop);
    if (!report.Failures.isEmpty())
        WriteLog(QStringLiteral("Clean at exit left: ") + report.Failures.join(QStringLiteral(", ")));
}

void TFormMain::CheckForUpdate() {
    CheckForUpdate(ConfiguredUpdateHost());
}

void TFormMain::CheckForUpdate(const QString& host) {
    // Without a host no request is made; with one, the check runs once per start.
    if (m_updateCheck || Closing || VersionDocumentUrl(host).isEmpty())
        return;
    m_updateCheck = new TUpdateCheck(host, QLatin1String(BuildConfig::Version),
                                     QFileInfo(QCoreApplication::applicationFilePath()).fileName(), this);
    connect(m_updateCheck, &TUpdateCheck::updateFound, this,
            [this](const QString& message, const QString& parameter) {
                if (Closing)
                    return;
                m_updaterParameter = parameter;
                if (auto* label = m_ui->PanelUpdate->findChild<QLabel*>(QStringLiteral("LabelUpdate")))
                    label->setText(message);
                PlaceFloatingPanels();
                m_ui->PanelUpdate->show();
                m_ui->PanelUpdate->raise();
            });
    m_updateCheck->Start();
}

void TFormMain::UpdateYesClick() {
    // The updater replaces this program, which must not run meanwhile; a missing updater is not
    // checked for, the browser closes all the same.
    StartUpdater(AppDir(), m_updaterParameter);
    close();
}
