// TFormMain: the vendor's services. The site badge and the certification icon open the site
// registration form; the help menu opens the vendor's site, its forum page and the About box.
#include "shell/FormMain.h"

#include "BuildConfig.h"
#include "common/AppPaths.h"
#include "services/FormDomainAdd.h"
#include "services/Token.h"
#include "shell/FormMainUi.h"
#include "tools/FormAbout.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <functional>

namespace {
// Turns a left click on a label into a command.
class TLabelClickFilter final : public QObject {
public:
    TLabelClickFilter(QObject* parent, std::function<void()> command)
        : QObject(parent), m_command(std::move(command)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_command();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_command;
};
} // namespace

void TFormMain::ConnectServices() {
    const TFormMainUi& ui = *m_ui;
    connect(ui.ImageSafe, &QToolButton::clicked, this, &TFormMain::LabelSafeClick);
    for (QLabel* label : {ui.LabelSafeName, ui.LabelSafe})
        label->installEventFilter(new TLabelClickFilter(label, [this] { LabelSafeClick(); }));

    const auto bind = [this](const char* name, std::function<void()> command) {
        if (auto* item = findChild<QAction*>(QLatin1String(name))) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, std::move(command));
        }
    };
    for (const char* name : {"NOfficialWebsite", "NPopOfficialWebsite"})
        bind(name, [this] { OpenInNewTab(SiteRoot(), 0); });
    for (const char* name : {"NTieba", "NPopTieba"})
        bind(name, [this] { OpenInNewTab(SiteRoot() + QStringLiteral("tieba.html"), 0); });
    for (const char* name : {"About", "NPopAbout"})
        bind(name, [this] { AboutClick(); });
}

// The form always opens blank, whatever site the badge shows.
void TFormMain::LabelSafeClick() {
    TFormDomainAdd form(QString::fromUtf8(BuildConfig::ApiRoot), CurrentToken(), this);
    form.exec();
}

void TFormMain::AboutClick() {
    TFormAbout about(m_ui->ImageLogo->pixmap(Qt::ReturnByValue), SiteRoot(), this);
    // The tab opens once the box has closed.
    connect(&about, &TFormAbout::siteRequested, this, [this](const QString& url) {
        QMetaObject::invokeMethod(
            this, [this, url] { OpenInNewTab(url, 0); }, Qt::QueuedConnection);
    });
    about.exec();
}
