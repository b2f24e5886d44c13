// The main window's message table: window messages posted by the program's other windows, the
// engines' hand-offs and the start-up steps, as Qt events handled in customEvent.
//
// WM_NEW_DOWNLOAD (new-download dialog) goes to the download centre, which posts it to itself;
// WM_POPUP_CREATED, WM_CLOSE_TAB, WM_IE_NEW_WINDOW and WM_AUTH_REQUEST go to the tab controller,
// which posts them to itself.
#include "shell/FormMain.h"

#include "browser/BrowserTab.h"
#include "browser/DomainKernel.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "common/Json.h"
#include "common/Logging.h"
#include "common/Messages.h"
#include "common/ModuleLoader.h"
#include "common/TextFit.h"
#include "navigation/SearchBox.h"
#include "shell/FormMainUi.h"
#include "shell/StartupDefaults.h"
#include "storage/Config.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

void TFormMain::customEvent(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case WM_DEFERRED_INIT:
        DeferredInit();
        break;
    case WM_STARTUP_SETTINGS:
        if (auto* message = dynamic_cast<TRecordMessage<QString>*>(event))
            StartupSettings(message->Record);
        break;
    case WM_OPEN_URL:
        // lParam's low byte is the kernel to open with.
        if (auto* message = dynamic_cast<TRecordMessage<QString>*>(event))
            OpenInNewTab(message->Record,
                         int(message->LParam & 0xFF) == kWebControl ? kWebControl : kChromium);
        break;
    case WM_BOSS_KEY_CHANGED:
        RegisterBossKey();
        break;
    case WM_DOWNLOAD_FINISHED:
        if (m_config && m_config->PlayFinishedSound)
            PlayFinishedSound();
        break;
    case WM_FAVICON_READY:
        // Low byte 1: a tab icon arrived; the strip draws it.
        if (m_tabs && (static_cast<TMessageEvent*>(event)->WParam & 0xFF) == 1)
            m_tabs->RepaintStrip();
        else if ((static_cast<TMessageEvent*>(event)->WParam & 0xFF) == 0)
            FavIconArrived();
        break;
    case WM_FAVORITES_CHANGED:
        RebuildFavorites();
        break;
    case WM_MANAGE_FAVORITES:
        ManageFavorites();
        break;
    case WM_FIND_IN_PAGE:
        if (auto* message = dynamic_cast<TRecordMessage<TFindRequest>*>(event))
            FindInPage(message->Record);
        break;
    case WM_FIND_CLOSED:
        if (TBrowserTab* tab = CurrentTab(); tab && tab->Kernel == kChromium && tab->View())
            tab->View()->StopFinding();
        break;
    default:
        QWidget::customEvent(event);
        break;
    }
}

void TFormMain::StartupSettings(const QString& json) {
    if (Closing)
        return;
    const std::optional<QJsonValue> parsed = ParseJson(json);
    if (!parsed || !parsed->isObject()) {
        WriteLog(QStringLiteral("Start-up settings are not a JSON object"));
    } else {
        const QJsonObject settings = parsed->toObject();
        // "2": the status-bar link, itself JSON text with the caption and the address.
        if (const std::optional<QJsonValue> offer = ParseJson(JsonText(settings, QStringLiteral("2")));
            offer && offer->isObject()) {
            QLabel* label = m_ui->LabelAd;
            label->setText(JsonText(offer->toObject(), QStringLiteral("name")));
            label->setToolTip(TextFit::PlainToolTip(JsonText(offer->toObject(), QStringLiteral("url"))));
            label->setFixedWidth(label->fontMetrics().horizontalAdvance(label->text()) + 2);
        }
        if (m_domainKernel)
            m_domainKernel->ApplyDefaultKernels(BuiltInEngineDomains());
        m_searchBox->SetHint(JsonText(settings, QStringLiteral("4")),
                             JsonText(settings, QStringLiteral("6")));
    }
    // The first page: the home page when one is set, else the navigation page unless the command
    // line brought an address of its own (opened by the restore offer).
    if (!m_config->HomePage.isEmpty())
        OpenInNewTab(m_config->HomePage, 0);
    else if (m_commandLineUrl.isEmpty())
        OpenInNewTab(NavigationPageUrl(), 0);
}

void TFormMain::PlayFinishedSound() {
    // The player module is opened on the first sound (see FinishedSound.cpp).
    using TPlayFunction = void (*)(const QString&, QObject*);
    static const auto play = reinterpret_cast<TPlayFunction>(
        ResolveModuleFunction(QStringLiteral("quellon_sound"), "QuellonPlaySound"));
    if (play)
        play(AppDir() + QStringLiteral("res/finished.wav"), this);
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
    // Only the first dropped file is opened; a drop without a file opens a blank tab.
    QString path;
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        path = urls.first().toLocalFile();
    event->acceptProposedAction();
    OpenInNewTab(path.isEmpty() ? QString() : QUrl::fromLocalFile(path).toString(), kChromium);
}
