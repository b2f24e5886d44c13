// What the tab controller's files share: the product caption, the blank page, the credentials
// request record and the pending popup.
#pragma once

#include "browser/BrowserTab.h"
#include "browser/TabController.h"

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

// The engines' title of a page that has none (yet): nothing, or the address with or without
// its scheme.
inline bool IsStandInTitle(const QString& title, const QString& address) {
    const QString text = title.trimmed();
    const QString bare = address.section(QStringLiteral("://"), 1);
    return text.isEmpty() || text == address || (!bare.isEmpty() && text == bare);
}
} // namespace TabControllerPrivate

using namespace TabControllerPrivate;

// A popup page the engine created and whose tab is announced after the popup spacing.
struct TTabController::TPendingPopup {
    std::unique_ptr<TBrowserTab> Tab;
};
