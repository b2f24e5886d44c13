// The online-banking window.
#include "services/FormNetBank.h"

#include "services/SitePageView.h"
#include "services/SitePages.h"

#include <QShortcut>
#include <QVBoxLayout>

TFormNetBank::TFormNetBank(QObject* mainWindow, const QString& siteRoot, QWidget* parent)
    : TSiteToolWindow(mainWindow, siteRoot, 1, parent) {
    setObjectName(QStringLiteral("FormNetBank"));
    setWindowTitle(tr("安全网银"));
    setFixedSize(316, 360);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Esc closes the window even while its page has the keyboard (the page would keep the key).
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QDialog::reject, Qt::WindowShortcut);
    layout->addWidget(AddSiteView(this, "crm", QLatin1String(SitePages::NetBank)));
}
