// What the address bar and the search box need from the window that hosts them.
#pragma once

#include <QString>

class TNavigationHost {
public:
    virtual ~TNavigationHost() = default;
    // True while the window is closing: nothing is opened any more.
    virtual bool IsClosing() const = 0;
    virtual bool HasCurrentTab() const = 0;
    // The current tab's own address: the engine's address, or "about:config" on the options page.
    virtual QString CurrentTabAddress() const = 0;
    virtual void OpenInCurrentTab(const QString& address) = 0;
    virtual void OpenInNewTab(const QString& address, int kernel) = 0;
};
