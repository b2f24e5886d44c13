// Tool windows hosting pages of the vendor's site.
#include "services/SiteToolWindow.h"

#include "common/Messages.h"
#include "services/SitePageView.h"
#include "services/SitePages.h"

#include <QCoreApplication>

TSiteToolWindow::TSiteToolWindow(QObject* mainWindow, const QString& siteRoot, int kernel, QWidget* parent)
    : QDialog(parent), m_mainWindow(mainWindow), m_siteRoot(siteRoot), m_kernel(kernel) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
}

TSitePageView* TSiteToolWindow::AddSiteView(QWidget* parent, const char* name, const QString& path) {
    auto* view = new TSitePageView(m_siteRoot, SitePageUrl(m_siteRoot, path), parent);
    view->setObjectName(QLatin1String(name));
    connect(view->SitePage(), &TSitePage::openRequested, this,
            [this](const QString& address) { OpenAndClose(address, m_kernel); });
    return view;
}

void TSiteToolWindow::OpenAndClose(const QString& address, int kernel) {
    // One page command per window: a second one before it has closed (a double click) is dropped.
    if (m_opened)
        return;
    m_opened = true;
    if (m_mainWindow)
        QCoreApplication::postEvent(m_mainWindow, new TRecordMessage<QString>(WM_OPEN_URL, address, kernel));
    // Closed once the page's dialog call has returned: the view must outlive it.
    QMetaObject::invokeMethod(this, [this] { accept(); }, Qt::QueuedConnection);
}
