// The tab record.
#include "browser/BrowserTab.h"

#include "browser/ChromiumView.h"
#include "browser/WebControlView.h"

TBrowserTab::TBrowserTab(int id, int kernel, QWidget* page) : Id(id), Kernel(kernel), Page(page) {}

TPageView* TBrowserTab::View() const {
    if (Kernel == kChromium)
        return Browser;
    if (Kernel == kWebControl)
        return WebControl;
    return nullptr;
}

QString TBrowserTab::CurrentUrl() const {
    const TPageView* view = View();
    return view ? view->CurrentUrl() : PageUrl;
}
