// The Chromium view of a tool window that hosts a page of the vendor's site. The page's
// JavaScript dialogs pass the page command rule first: a command ("ORREL:" + address) from a page
// of the site root asks the window to open the address; every other dialog is the ordinary box.
#pragma once

#include "browser/PageMessageBox.h"
#include "services/PageCommandBridge.h"

#include <QWebEnginePage>
#include <QWebEngineView>

class TSitePage final : public QWebEnginePage {
    Q_OBJECT
public:
    TSitePage(const QString& siteRoot, QObject* parent);

signals:
    // The page asked to open this address.
    void openRequested(const QString& address);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    // True when the dialog was a page command (then no box shows).
    bool RunCommand(const QUrl& securityOrigin, const QString& msg);

    TPageCommandBridge m_bridge;
    TPageDialogGuard m_dialogGuard;
};

class TSitePageView final : public QWebEngineView {
    Q_OBJECT
public:
    // Loads url, a page under siteRoot, in the browser's profile (its cookies and downloads).
    TSitePageView(const QString& siteRoot, const QString& url, QWidget* parent);

    TSitePage* SitePage() const { return m_page; }

private:
    TSitePage* m_page;
};
