// The Chromium view of a page hosted in a tool window, and its page: the browser's settings, and
// the page's JavaScript dialogs through the owner's filter, then the guarded message boxes.
#pragma once

#include "browser/HostedPageView.h"
#include "browser/PageMessageBox.h"

#include <QWebEnginePage>
#include <QWebEngineView>

class TChromiumHostedPage final : public QWebEnginePage {
    Q_OBJECT
public:
    TChromiumHostedPage(THostedPageView::TDialogFilter filter, QObject* parent);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    // True when the owner's filter took the dialog.
    bool Filtered(const QUrl& securityOrigin, const QString& msg) const;

    const THostedPageView::TDialogFilter m_filter;
    TPageDialogGuard m_dialogGuard;
};

class TChromiumHostedView final : public QWebEngineView, public THostedPageView {
    Q_OBJECT
public:
    TChromiumHostedView(const QString& url, TDialogFilter filter, QWidget* parent);

    QWidget* Widget() override { return this; }
};
