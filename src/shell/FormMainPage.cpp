// The main window's page commands: the menu items of zoom, find, developer tools, saving and
// printing, the engine-dependent captions, and the find requests of the find window.
#include "shell/FormMain.h"

#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/Logging.h"
#include "common/Messages.h"
#include "downloads/DownloadFolder.h"
#include "pagecommands/ContextMenuEntries.h"
#include "pagecommands/FormFindWebPage.h"
#include "pagecommands/FormSavePicture.h"
#include "pagecommands/PageFileNames.h"
#include "storage/Config.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>

namespace {
// Every item of that name: the main menu's and the drop-down menu's twin.
QList<QAction*> MenuItems(const QWidget* window, const QString& name) {
    return window->findChildren<QAction*>(name);
}

// The tab when print preview and page setup can serve it (a compatibility-engine tab); Chromium
// has neither and says so. nullptr when there is nothing to do.
TBrowserTab* WebControlTabForPrinting(TBrowserTab* tab) {
    if (!tab || !tab->View())
        return nullptr;
    if (tab->Kernel != kWebControl) {
        MsgBox(QCoreApplication::translate("TFormMain", "请切换到IE内核"), MB_ICONINFORMATION);
        return nullptr;
    }
    return tab;
}
} // namespace

void TFormMain::ConnectPageCommands() {
    const std::pair<const char*, void (TFormMain::*)()> commands[] = {
        {"NZoomIn", &TFormMain::ZoomIn},
        {"NZoomOut", &TFormMain::ZoomOut},
        {"NZoomRestore", &TFormMain::ZoomReset},
        {"NFind", &TFormMain::NFindClick},
        {"NDevelopTool", &TFormMain::NDevelopToolClick},
        {"NSave", &TFormMain::NSaveClick},
        {"NSaveImage", &TFormMain::NSaveImageClick},
        {"NPrint", &TFormMain::NPrintClick},
        {"NPrintPreview", &TFormMain::NPrintPreviewClick},
        {"NPageSetup", &TFormMain::NPageSetupClick},
    };
    if (m_tabs) {
        connect(m_tabs.get(), &TTabController::pageCommandRequested, this, &TFormMain::RunPageCommand);
        // A right click reaches only the page on screen: its view gets the menu's commands when
        // it becomes current (binding again changes nothing).
        connect(m_tabs.get(), &TTabController::currentTabChanged, this, [this](int kernel) {
            TBrowserTab* tab = CurrentTab();
            if (kernel == kChromium && tab && tab->Browser)
                m_tabs->BindContextMenu(tab->Browser);
        });
    }
    for (const auto& [name, handler] : commands) {
        const QString main = QLatin1String(name);
        const QString popup = QStringLiteral("NPop") + main.mid(1);
        for (QAction* item : MenuItems(this, main) + MenuItems(this, popup)) {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, handler);
        }
    }
}

void TFormMain::RunPageCommand(int command, const QString& url) {
    switch (command) {
    case TContextMenuEntries::AddFavorite:
        AddCurrentPageToFavorites();
        break;
    case TContextMenuEntries::SavePage:
        NSaveClick();
        break;
    case TContextMenuEntries::SavePicture:
        SavePictureAs(url);
        break;
    default:
        break;
    }
}

void TFormMain::RefreshEngineCaptions(int kernel) {
    const bool webControl = kernel == kWebControl;
    const std::pair<const char*, QString> captions[] = {
        {"SaveImage", webControl ? tr("保存网页为图片") : tr("保存网页为图片（请切换到IE内核）")},
        {"PrintPreview", webControl ? tr("打印预览") : tr("打印预览（请切换到IE内核）")},
        {"PageSetup", webControl ? tr("页面设置") : tr("页面设置（请切换到IE内核）")},
    };
    for (const auto& [name, caption] : captions) {
        for (const QString& prefix : {QStringLiteral("N"), QStringLiteral("NPop")})
            for (QAction* item : MenuItems(this, prefix + QLatin1String(name)))
                item->setText(caption);
    }
}

// ---- Zoom

void TFormMain::ZoomIn() {
    if (m_tabs)
        m_tabs->ZoomIn();
}

void TFormMain::ZoomOut() {
    if (m_tabs)
        m_tabs->ZoomOut();
}

void TFormMain::ZoomReset() {
    if (m_tabs)
        m_tabs->ZoomReset();
}

// ---- Find

void TFormMain::NFindClick() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View() || Closing)
        return;
    // Both engines share the one find window: the compatibility engine has no find dialog here.
    if (!m_findWindow)
        m_findWindow = new TFormFindWebPage(this, m_lastFindRequest.Text);
    const QPoint pageTop = tab->Page->mapToGlobal(QPoint(0, 0));
    m_findWindow->move(pageTop.x() + tab->Page->width() - m_findWindow->width() - 25, pageTop.y());
    m_findWindow->show();
    m_findWindow->raise();
    m_findWindow->activateWindow();
}

void TFormMain::RepeatFind(bool forward) {
    QCoreApplication::postEvent(
        this, new TRecordMessage<TFindRequest>(WM_FIND_IN_PAGE, m_lastFindRequest.Repeated(forward)));
}

void TFormMain::FindInPage(const TFindRequest& request) {
    m_lastFindRequest = request;
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View() || tab->Kernel == kOptionsPage)
        return;
    QPointer<QWidget> window = m_findWindow;
    tab->View()->Find(request.Text, request.MatchCase, request.Forward, [window](int active, int total) {
        if (auto* find = qobject_cast<TFormFindWebPage*>(window.data()))
            find->ShowMatches(active, total);
    });
}

// ---- Developer tools

void TFormMain::NDevelopToolClick() {
    if (m_tabs && !Closing)
        m_tabs->ToggleDevTools();
}

// ---- Saving

void TFormMain::NSaveClick() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View())
        return;
    // The source arrives later for Chromium; it is saved for whatever tab is current then.
    QPointer<TFormMain> self(this);
    tab->View()->ToHtml([self](const QString& source) {
        if (self)
            self->SavePageSource(source);
    });
}

QString TFormMain::SaveDialogPath(const QString& proposedName) const {
    return TPageFileNames::SaveDialogPath(proposedName, m_config ? ProposedDownloadFolder(*m_config) : DefaultDownloadDir());
}

void TFormMain::SavePageSource(const QString& source) {
    TBrowserTab* tab = CurrentTab();
    if (Closing || !tab)
        return;
    const QString proposed = TPageFileNames::CleanFileName(tab->Caption) + QStringLiteral(".html");
    // The dialog asks before it lets an existing file be replaced.
    const QString fileName =
        QFileDialog::getSaveFileName(this, QString(), SaveDialogPath(proposed), tr("html网页 (*.htm *.html)"));
    if (fileName.isEmpty())
        return;
    TPageFileNames::RememberSaveFolder(fileName);
    if (!TPageFileNames::WritePageSource(fileName, source))
        MsgBox(tr("保存失败！"), MB_ICONWARNING);
}

void TFormMain::NSaveImageClick() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View())
        return;
    const QString proposed = TPageFileNames::CleanFileName(tab->Caption) + QStringLiteral(".jpg");
    QString fileName =
        QFileDialog::getSaveFileName(this, QString(), SaveDialogPath(proposed), QStringLiteral("*.jpg (*.jpg *.jpeg)"));
    if (fileName.isEmpty())
        return;
    TPageFileNames::RememberSaveFolder(fileName);
    if (!fileName.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) &&
        !fileName.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".jpg");
    if (!tab->View()->SavePicture(fileName))
        MsgBox(tr("保存失败！"), MB_ICONINFORMATION);
}

void TFormMain::SavePictureAs(const QString& url) {
    if (Closing || url.isEmpty())
        return;
    const QString extension = TPageFileNames::PictureExtension(url);
    const QString filter = extension.isEmpty() ? QString() : QStringLiteral("*%1 (*%1)").arg(extension);
    const QString fileName =
        QFileDialog::getSaveFileName(this, QString(), SaveDialogPath(TPageFileNames::PictureFileName(url)), filter);
    if (fileName.isEmpty())
        return;
    TPageFileNames::RememberSaveFolder(fileName);
    // Saved by a worker behind a progress window: a slow server never holds this window.
    auto* saving = new TFormSavePicture(url, fileName, this);
    connect(saving, &TFormSavePicture::Failed, this, [this, url](const QString& error) {
        WriteLog(QStringLiteral("Picture %1 not saved: %2").arg(url, error));
        if (!Closing)
            MsgBox(tr("保存失败！"), MB_ICONWARNING);
    });
}

// ---- Printing

QPrinter& TFormMain::Printer() {
    if (!m_printer)
        m_printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void TFormMain::NPrintClick() {
    TBrowserTab* tab = CurrentTab();
    if (!tab || !tab->View())
        return;
    Printer();
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Chromium prints after this returns: the callback keeps the printer alive until then.
    std::shared_ptr<QPrinter> printer = m_printer;
    tab->View()->Print(printer.get(), [printer](bool ok) {
        if (!ok)
            MsgBox(QCoreApplication::translate("TFormMain", "打印失败！"), MB_ICONWARNING);
    });
}

void TFormMain::NPrintPreviewClick() {
    TBrowserTab* tab = WebControlTabForPrinting(CurrentTab());
    if (!tab)
        return;
    QPrintPreviewDialog dialog(&Printer(), this);
    TPageView* view = tab->View();
    // The compatibility engine paints synchronously, so the preview gets its pages at once.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [view](QPrinter* printer) { view->Print(printer, {}); });
    dialog.exec();
}

void TFormMain::NPageSetupClick() {
    if (!WebControlTabForPrinting(CurrentTab()))
        return;
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}
