// The compatibility engine's control as the rest of the browser sees it. The engine itself lives in
// a module (lib/libquellon_webkit.so) that is opened the first time a tab needs it, so a browser
// that only shows Chromium tabs never loads QtWebKit.
#pragma once

#include "browser/PageView.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class TWebControlView : public QWidget, public TPageView {
    Q_OBJECT
public:
    using QWidget::QWidget;

    QWidget* Widget() override { return this; }

    // document.activeElement.getAttribute("href") of the main frame; empty on any failure.
    virtual QString ActiveElementHref() const = 0;
    // The page body's style zoom (empty style reads as 1.0) and its setter.
    virtual qreal StyleZoom() const = 0;
    virtual void SetStyleZoom(qreal zoom) = 0;

    // Zoom steps move the page body's style zoom by 0.1; the reset writes 1.
    void StepZoom(int direction) override { SetStyleZoom(StyleZoom() + (direction > 0 ? 0.1 : -0.1)); }
    void ResetZoom() override { SetStyleZoom(1); }

    // The tab is closing while the page's box is open: the page shows no more boxes, so a script
    // that shows them in a loop ends and the tab can close.
    virtual void EndDialogs() = 0;

    // Handler bound by the window: the control that shows a new window, or nullptr to refuse it.
    std::function<TWebControlView*(TWebControlView* opener)> NewWindow;

signals:
    void titleChange(const QString& title);
    void documentComplete(bool ok);
    void statusTextChange(const QString& text);
    void downloadBegin();
    void downloadComplete();
    // The page asked to close its window (window.close()).
    void windowClosing();
    // The page started a download; the control does not download it.
    void downloadRequested(const QString& url, const QString& suggestedName, qint64 size);
    // A link was clicked with the middle button or with Ctrl: it opens in a new tab.
    void newTabRequested(const QString& url);
};

using TWebControlFactory = std::function<TWebControlView*(QWidget* parent)>;

// The factory of the engine module found in the first of the folders that holds one; an empty
// function when none does (the reason is logged).
TWebControlFactory LoadWebControlModule(const QStringList& folders);
// Makes a control with the module of ModuleFolders(), opened on the first call; nullptr when the
// module is not available.
TWebControlView* CreateWebControlView(QWidget* parent);
