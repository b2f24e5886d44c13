// TFormMain: the vendor's services. The site badge and the certification icon open the site
// registration form; the help menu opens the vendor's site, its forum page and the About box; the
// tools menu opens Internet Options and the windows hosting the vendor's bank list, parcel
// tracking and software market (their toolbar buttons are hidden, so the menu is their way in).
#include "shell/FormMain.h"

#include "common/AppPaths.h"
#include "services/FormCourier.h"
#include "services/FormDomainAdd.h"
#include "services/FormInternetOption.h"
#include "services/FormManageSoftware.h"
#include "services/FormNetBank.h"
#include "services/SitePages.h"
#include "services/Token.h"
#include "shell/ClickFilter.h"
#include "shell/FormMainUi.h"
#include "tools/FormAbout.h"
#include "tools/ToolWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <functional>

namespace {
// Shows a tool window next to its toolbar button, or centred while the button is hidden.
void ShowSiteTool(QDialog* window, const QWidget* button) {
    ShowToolWindow(window, button && button->isVisible() ? button : nullptr);
}
} // namespace

void TFormMain::ConnectServices() {
    const TFormMainUi& ui = *m_ui;
    connect(ui.ImageSafe, &QToolButton::clicked, this, &TFormMain::LabelSafeClick);
    for (QLabel* label : {ui.LabelSafeName, ui.LabelSafe})
        label->installEventFilter(
            new TClickFilter(label, QEvent::MouseButtonRelease, [this] { LabelSafeClick(); }));

    const auto bind = [this](const char* name, std::function<void()> command) {
        if (auto* item = findChild<QAction*>(QLatin1String(name))) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, std::move(command));
        }
    };
    for (const char* name : {"NOfficialWebsite", "NPopOfficialWebsite"})
        bind(name, [this] { OpenInNewTab(SitePageUrl(SiteRoot(), QString()), 0); });
    for (const char* name : {"NTieba", "NPopTieba"})
        bind(name, [this] { OpenInNewTab(SitePageUrl(SiteRoot(), QLatin1String(SitePages::Tieba)), 0); });
    for (const char* name : {"About", "NPopAbout"})
        bind(name, [this] { AboutClick(); });
    for (const char* name : {"NInternetOption", "NPopInternetOption"})
        bind(name, [this] { NInternetOptionClick(); });
    ConnectSiteTools();
}

void TFormMain::ConnectSiteTools() {
    TFormMainUi& ui = *m_ui;
    ui.bsSkinSpeedButtonManageSoftware->setEnabled(true);
    const struct {
        const char* Name;
        QString Caption;
        QToolButton* Button;
        std::function<void(QToolButton* button)> Show;
    } tools[] = {
        {"NNetBank", tr("网银"), ui.ToolButtons.value(1),
         [this](QToolButton* button) { ShowSiteTool(new TFormNetBank(this, SiteRoot(), this), button); }},
        {"NCourier", tr("快递"), ui.ToolButtons.value(2),
         [this](QToolButton* button) { ShowSiteTool(new TFormCourier(this, SiteRoot(), this), button); }},
        // Centred on the screen, whatever opened it.
        {"NManageSoftware", tr("软件市场"), ui.bsSkinSpeedButtonManageSoftware,
         [this](QToolButton*) { ShowSiteTool(new TFormManageSoftware(this, SiteRoot(), this), nullptr); }},
    };
    auto* menu = findChild<QMenu*>(QStringLiteral("N4"));
    if (menu)
        menu->addSeparator()->setObjectName(QStringLiteral("NSiteTools"));
    for (const auto& tool : tools) {
        const auto show = [button = tool.Button, show = tool.Show] { show(button); };
        if (tool.Button)
            connect(tool.Button, &QToolButton::clicked, this, show);
        if (menu)
            connect(AddMenuItem(menu, tool.Name, tool.Caption, QString(), true), &QAction::triggered, this, show);
    }
}

void TFormMain::NInternetOptionClick() {
    ShowToolWindow(new TFormInternetOption(FindNetworkSettingsProgram(ConfiguredNetworkSettings()), this), nullptr);
}

// The form always opens blank, whatever site the badge shows.
void TFormMain::LabelSafeClick() {
    TFormDomainAdd form(ApiRoot(), CurrentToken(), this);
    form.exec();
}

void TFormMain::AboutClick() {
    TFormAbout about(m_ui->ImageLogo->pixmap(Qt::ReturnByValue), SitePageUrl(SiteRoot(), QString()), this);
    // The tab opens once the box has closed.
    connect(&about, &TFormAbout::siteRequested, this, [this](const QString& url) {
        QMetaObject::invokeMethod(
            this, [this, url] { OpenInNewTab(url, 0); }, Qt::QueuedConnection);
    });
    about.exec();
}
