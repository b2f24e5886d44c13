// Main-window helpers shared by the window tests.
#include "support/WindowTestKit.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "history/PageLog.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QtTest>
#include <functional>

namespace {
// Waits until done answers true; false after LoadTimeout.
bool WaitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < LoadTimeout) {
        if (done())
            return true;
        QTest::qWait(20);
    }
    return false;
}

bool Settled(const TBrowserTab* tab) {
    return tab && tab->Idle == 1 && tab->View() && !tab->View()->IsLoading();
}
} // namespace

QByteArray PageHtml(const QString& title) {
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body><p>%1</p></body></html>")
        .arg(title)
        .toUtf8();
}

bool WaitIdle(TBrowserTab* tab) {
    return WaitUntil([tab] { return Settled(tab); });
}

bool WaitIdle(TFormMain& window) {
    return WaitUntil([&window] { return Settled(window.CurrentTab()); });
}

std::unique_ptr<TFormMain> OpenWindow(TDb& db, const QString& commandLine) {
    auto window = std::make_unique<TFormMain>(db, commandLine);
    window->Tabs()->SetCtrlHeldFunction([] { return false; });
    window->show();
    QApplication::setActiveWindow(window.get());
    WaitUntil([&window] { return window->Tabs()->TabCount() > 0; });
    WaitIdle(*window);
    return window;
}

void CloseMainWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TFormMain*>(widget))
            window->close();
}

QWidget* PageInput(TBrowserTab* tab) {
    return tab->Browser->focusProxy() ? tab->Browser->focusProxy() : tab->Browser;
}

QStringList StoredPageLog(TDb& db) {
    QStringList urls;
    for (const TPageInfo& page : TPageLog(db).LoadPageLog())
        urls.append(page.Url);
    return urls;
}

bool DropUrls(QObject* target, const QPoint& point, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

TWindowTestSite::TWindowTestSite(const QStringList& pageNames) {
    if (!m_appDir.isValid()) {
        m_error = QStringLiteral("no temporary program folder");
        return;
    }
    SetAppDir(m_appDir.path() + QStringLiteral("/"));
    if (!m_server.Running()) {
        m_error = m_server.ErrorText();
        return;
    }
    for (const QString& name : pageNames)
        if (!m_server.WriteFile(name + QStringLiteral(".html"), PageHtml(QStringLiteral("Page ") + name)))
            m_error = QStringLiteral("cannot write the page ") + name;
}

QString TWindowTestSite::Url(const QString& name) const {
    return m_server.Url(QStringLiteral("/") + name + QStringLiteral(".html"));
}
