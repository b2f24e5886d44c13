// The parcel-tracking window.
#include "services/FormCourier.h"

#include "services/SitePageView.h"
#include "services/SitePages.h"

#include <QTabWidget>
#include <QShortcut>
#include <QVBoxLayout>

TFormCourier::TFormCourier(QObject* mainWindow, const QString& siteRoot, QWidget* parent)
    : TSiteToolWindow(mainWindow, siteRoot, 0, parent) {
    setObjectName(QStringLiteral("FormCourier"));
    setWindowTitle(tr("快递"));
    setFixedSize(319, 392);
    bsSkinPageControl1 = new QTabWidget(this);
    bsSkinPageControl1->setObjectName(QStringLiteral("bsSkinPageControl1"));
    bsSkinPageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { height: 29px; }"));
    const QString captions[] = {tr("快递查询"), tr("物流查询"), tr("国际货运")};
    const char* names[] = {"crm1", "crm2", "crm3"};
    for (int category = 0; category < 3; ++category) {
        const QString path = QLatin1String(SitePages::Courier) + QString::number(category);
        bsSkinPageControl1->addTab(AddSiteView(bsSkinPageControl1, names[category], path), captions[category]);
    }
    bsSkinPageControl1->setCurrentIndex(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Esc closes the window even while its page has the keyboard (the page would keep the key).
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QDialog::reject, Qt::WindowShortcut);
    layout->addWidget(bsSkinPageControl1);
}
