// What the tab controller's files share: the product caption, the blank page, the credentials
// request record and the pending popup.
#pragma once

#include "browser/BrowserTab.h"
#include "browser/TabController.h"
#include "history/History.h"

#include <QPointer>
#include <QString>
#include <memory>

namespace TabControllerPrivate {
inline const QString ProductCaption = QStringLiteral("Quellon 1.0.0.0");
inline const QString BlankPage = QStringLiteral("about:blank");

// A credentials request waiting for the dialog.
struct TAuthRequest {
    QString Realm;
    QString Host;
    int Port = 0;
    QPointer<TChromiumView> View; // the view that asked; reloaded after the dialog is confirmed
};

inline bool IsBlank(const QString& url) {
    return url.trimmed().compare(BlankPage, Qt::CaseInsensitive) == 0;
}

// The engines' title of a page that has none (yet): the rule history keeps titles by.
inline bool IsStandInTitle(const QString& title, const QString& address) {
    return THistory::IsStandInTitle(title, address);
}
} // namespace TabControllerPrivate

using namespace TabControllerPrivate;

// A popup page the engine created and whose tab is announced after the popup spacing.
struct TTabController::TPendingPopup {
    std::unique_ptr<TBrowserTab> Tab;
};
