// A page hosted in a tool window (not in a tab): the engine adapter makes its view, and the
// page's JavaScript dialogs pass the owner's filter before the ordinary message boxes.
#pragma once

#include <QUrl>
#include <functional>

class QString;
class QWidget;

class THostedPageView {
public:
    // Decides on one dialog of the page: frameOrigin is the origin of the frame that shows it,
    // pageUrl the page's address now. True when the filter took the dialog (then no box shows).
    using TDialogFilter =
        std::function<bool(const QUrl& frameOrigin, const QUrl& pageUrl, const QString& message)>;

    virtual ~THostedPageView() = default;
    // The engine's widget, owned by the parent it was made with.
    virtual QWidget* Widget() = 0;
};

// Makes a view in the browser's profile (its cookies and downloads) that loads url.
THostedPageView* CreateHostedPageView(const QString& url, THostedPageView::TDialogFilter filter,
                                      QWidget* parent);
