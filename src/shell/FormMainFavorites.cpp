// TFormMain's favorites: the store, the favorites bar and menu (built at start-up and rebuilt on
// WM_FAVORITES_CHANGED), the star and "收藏" buttons, the "收藏" menu's commands and the rebuild
// that follows arriving favicons.
#include "shell/FormMain.h"

#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "common/Messages.h"
#include "favorites/DefaultFavorites.h"
#include "favorites/FavDialogBase.h"
#include "favorites/FavIconQueue.h"
#include "favorites/FavoriteEntries.h"
#include "favorites/Favorites.h"
#include "favorites/FavoritesBar.h"
#include "favorites/FormAddToFav.h"
#include "favorites/FormImportExportFav.h"
#include "favorites/FormManageFav.h"
#include "maintenance/FavIconDownload.h"
#include "navigation/AddressEdit.h"
#include "shell/FormMainUi.h"
#include "shell/Icons.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

void TFormMain::StartFavorites() {
    TFormMainUi& ui = *m_ui;
    m_favorites = std::make_unique<TFavorites>(m_db);
    const QIcon pageIcon = AppIcon(QStringLiteral("favicon-default"));
    auto* menu = findChild<QMenu*>(QStringLiteral("NFavorite"));
    // Missing icons are fetched a few at a time: a bar of thousands of favorites asks for thousands.
    auto* icons = new TFavIconQueue([this](const QString& url, const QString& iconFile) {
        RequestFavIcon(this, url, iconFile, fpFavoritesBar);
    });
    m_favoritesBar = new TFavoritesBar(
        *m_favorites, ui.bsSkinToolBarFav, menu, pageIcon, pageIcon,
        [icons](const QString& url, const QString& iconFile) { icons->Ask(url, iconFile); }, this);
    icons->setParent(m_favoritesBar); // ends with the bar
    m_favoritesBar->SetDefaults(ParseDefaultFavorites(BuiltInDefaultFavorites()));
    connect(m_favoritesBar, &TFavoritesBar::openRequested, this, &TFormMain::OpenFavoriteAddress);
    connect(m_favoritesBar, &TFavoritesBar::openRequested, icons, &TFavIconQueue::NoteOpened);

    auto command = [this](const char* name, void (TFormMain::*handler)()) {
        if (auto* item = findChild<QAction*>(QLatin1String(name))) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, handler);
        }
    };
    // The main menu's items and their twins in the flat menu (NPop*), where that menu exists.
    command("NFavoriteAdd", &TFormMain::AddCurrentPageToFavorites);
    command("NPopFavoriteAdd", &TFormMain::AddCurrentPageToFavorites);
    command("NFavoriteManage", &TFormMain::ManageFavorites);
    command("NPopFavoriteManage", &TFormMain::ManageFavorites);
    command("NExportImport", &TFormMain::ShowImportExportFavorites);
    command("NPopImportExport", &TFormMain::ShowImportExportFavorites);
    command("NFavView", &TFormMain::ToggleFavoritesBar);
    command("NFavViewHide", &TFormMain::ToggleFavoritesBar);
    command("NPopFavoriteView", &TFormMain::ToggleFavoritesBar);
    for (QToolButton* button : {ui.SpeedButtonFav, ui.ImageFavAdd})
        connect(button, &QToolButton::clicked, this, &TFormMain::AddCurrentPageToFavorites);
    // The hidden bar keeps its place in the row, so that the tools stay at the right edge.
    QSizePolicy barPolicy = ui.bsSkinToolBarFav->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(true);
    ui.bsSkinToolBarFav->setSizePolicy(barPolicy);
    connect(ui.TimerRefreshFav, &QTimer::timeout, this,
            [this] { QCoreApplication::postEvent(this, new TMessageEvent(WM_FAVORITES_CHANGED)); });
    m_favoritesBar->Rebuild();
}

void TFormMain::StopFavorites() {
    m_ui->TimerRefreshFav->stop();
    // A close request (quit signal, end of session) can arrive while a favorites window is open:
    // each ends before the store goes, and an import still loading is dropped.
    for (TFavDialogBase* dialog : findChildren<TFavDialogBase*>())
        dialog->reject();
    if (TFormManageFav* manager = TFormManageFav::Instance())
        manager->reject();
    delete TFormImportExportFav::Instance();
    delete m_favoritesBar;
    m_favoritesBar = nullptr;
    m_favorites.reset();
}

void TFormMain::RebuildFavorites() {
    if (m_favoritesBar && !Closing)
        m_favoritesBar->Rebuild();
}

void TFormMain::FavIconArrived() {
    // A series of arriving icons ends in one rebuild, 3000 ms after the last.
    m_ui->TimerRefreshFav->stop();
    if (m_favoritesBar && !Closing)
        m_ui->TimerRefreshFav->start();
}

void TFormMain::OpenFavoriteAddress(const QString& url) {
    TBrowserTab* tab = CurrentTab();
    if (!tab || Closing)
        return;
    TPageView* view = tab->Kernel == kOptionsPage ? nullptr : tab->View();
    if (TFavoriteEntries::OpensInCurrentTab(view != nullptr, view ? view->CurrentUrl() : QString(),
                                            view && view->IsLoading()))
        view->Navigate(url);
    else
        OpenInNewTab(url, kChromium);
}

void TFormMain::AddCurrentPageToFavorites() {
    if (!m_favorites || Closing)
        return;
    const TBrowserTab* tab = CurrentTab();
    TFormAddToFav dialog(*m_favorites, tab ? tab->Caption : QString(), m_ui->EditUrl->text(), this);
    if (dialog.exec() == QDialog::Accepted)
        QCoreApplication::postEvent(this, new TMessageEvent(WM_FAVORITES_CHANGED));
}

void TFormMain::ManageFavorites() {
    if (!m_favorites || Closing || TFormManageFav::Instance())
        return;
    TFormManageFav manager(*m_favorites, m_favoritesBar->Images(), this);
    manager.exec();
    if (manager.Changed())
        QCoreApplication::postEvent(this, new TMessageEvent(WM_FAVORITES_CHANGED));
}

void TFormMain::ShowImportExportFavorites() {
    if (m_favorites && !Closing)
        TFormImportExportFav::ShowWindow(*m_favorites, this, this);
}

void TFormMain::ToggleFavoritesBar() {
    TFormMainUi& ui = *m_ui;
    const bool show = ui.bsSkinPanelFav->isHidden();
    ui.bsSkinPanelFav->setVisible(show);
    ui.bsSkinToolBarFav->setVisible(show);
}

bool TFormMain::FavoritesBarShown() const {
    return !m_ui->bsSkinPanelFav->isHidden();
}
