// The view of a tool window that hosts a page of the vendor's site. The page's JavaScript dialogs
// pass the page command rule first: a command ("ORREL:" + address) from a page of the site root
// asks the window to open the address; every other dialog is the ordinary box.
#pragma once

#include "services/PageCommandBridge.h"

#include <QObject>
#include <QUrl>
#include <QWidget>

class THostedPageView;

// The page command rule of one hosted page.
class TSitePage final : public QObject {
    Q_OBJECT
public:
    TSitePage(const QString& siteRoot, QObject* parent);

    // True when the dialog was a page command (then no box shows).
    bool RunCommand(const QUrl& securityOrigin, const QUrl& pageUrl, const QString& msg);

signals:
    // The page asked to open this address.
    void openRequested(const QString& address);

private:
    TPageCommandBridge m_bridge;
};

class TSitePageView final : public QWidget {
    Q_OBJECT
public:
    // Loads url, a page under siteRoot, in the browser's profile (its cookies and downloads).
    TSitePageView(const QString& siteRoot, const QString& url, QWidget* parent);

    TSitePage* SitePage() const { return m_page; }

private:
    TSitePage* m_page;
    THostedPageView* m_view;
};
