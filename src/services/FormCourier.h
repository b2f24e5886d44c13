// The parcel-tracking window: three tabs of the vendor's tracking pages (parcels, freight,
// international shipping); a carrier opens in a new tab.
#pragma once

#include "services/SiteToolWindow.h"

class QTabWidget;

class TFormCourier final : public TSiteToolWindow {
    Q_OBJECT
public:
    TFormCourier(QObject* mainWindow, const QString& siteRoot, QWidget* parent = nullptr);

private:
    QTabWidget* bsSkinPageControl1 = nullptr;
};
