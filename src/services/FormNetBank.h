// The online-banking window: the vendor's bank list; a bank opens in a new tab on the
// compatibility engine (bank sites often need it).
#pragma once

#include "services/SiteToolWindow.h"

class TFormNetBank final : public TSiteToolWindow {
    Q_OBJECT
public:
    TFormNetBank(QObject* mainWindow, const QString& siteRoot, QWidget* parent = nullptr);
};
