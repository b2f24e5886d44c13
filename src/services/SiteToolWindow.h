// Base of the tool windows that host pages of the vendor's site: each view it adds loads a page
// of the site root, and a page command from any of them opens its address in a new tab of the
// main window (WM_OPEN_URL with the window's engine) and closes the window.
#pragma once

#include <QDialog>

class TSitePageView;

class TSiteToolWindow : public QDialog {
    Q_OBJECT
public:
    // mainWindow: receives WM_OPEN_URL; kernel: the engine its tabs open with (0 lets the
    // per-domain engine memory decide, 1 forces the compatibility engine).
    TSiteToolWindow(QObject* mainWindow, const QString& siteRoot, int kernel, QWidget* parent);

    const QString& SiteRoot() const { return m_siteRoot; }

protected:
    // A view named name that loads the site's page at path (see SitePageUrl).
    TSitePageView* AddSiteView(QWidget* parent, const char* name, const QString& path);
    // Opens the address in a new tab of the main window with kernel and closes this window.
    void OpenAndClose(const QString& address, int kernel);

private:
    QObject* const m_mainWindow;
    const QString m_siteRoot;
    const int m_kernel;
    bool m_opened = false;
};
