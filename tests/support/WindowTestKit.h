// Helpers of the tests that drive the real main window under Xvfb: a window over a test's data
// file, waiting until a tab's page has settled, the widget a Chromium page takes input with, and
// small pages to serve or drop.
#pragma once

#include "support/TestServer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

class QObject;
class QPoint;
class QWidget;
class TBrowserTab;
class TDb;
class TFormMain;

// How long a window test waits for a page to load, in ms.
constexpr int LoadTimeout = 20000;

// A UTF-8 HTML page whose title and only paragraph are title.
QByteArray PageHtml(const QString& title);

// True once the tab's page has loaded and its view is idle; false after LoadTimeout.
bool WaitIdle(TBrowserTab* tab);
// The same for the window's current tab (which may change while waiting).
bool WaitIdle(TFormMain& window);

// A shown, active main window over db, started with commandLine; returns once its first tab's
// page has settled. Ctrl reads as not held, whatever the test machine's keyboard says.
std::unique_ptr<TFormMain> OpenWindow(TDb& db, const QString& commandLine = QString());
// Closes every main window a test left open (a test's cleanup()).
void CloseMainWindows();

// The widget of the tab's Chromium page that takes the keyboard and drops.
QWidget* PageInput(TBrowserTab* tab);

// The addresses of the page log stored in db, in order.
QStringList StoredPageLog(TDb& db);

// Drops urls on target at point as the window system delivers a drop: enter, then drop (also when
// the enter was refused). Answers whether the enter was accepted.
bool DropUrls(QObject* target, const QPoint& point, const QList<QUrl>& urls);

// A window test's program folder and page server: a temporary folder made the program's folder
// and a test server with a page "<name>.html" titled "Page <name>" for each name.
class TWindowTestSite {
public:
    explicit TWindowTestSite(const QStringList& pageNames);

    // Empty when the folder, the server and the pages are ready; otherwise what failed.
    QString ErrorText() const { return m_error; }
    QString AppDir() const { return m_appDir.path(); }
    TTestServer& Server() { return m_server; }
    // The address of the served page "<name>.html".
    QString Url(const QString& name) const;

private:
    QTemporaryDir m_appDir;
    TTestServer m_server;
    QString m_error;
};
