// The tabs of one window in strip order, found by id; the registry owns the tab records.
#pragma once

#include <QVector>
#include <memory>
#include <vector>

class TBrowserTab;

class TTabRegistry final {
public:
    TTabRegistry();
    ~TTabRegistry();
    TTabRegistry(const TTabRegistry&) = delete;
    TTabRegistry& operator=(const TTabRegistry&) = delete;

    // Appends the tab at the right end of the strip; answers it.
    TBrowserTab* Register(std::unique_ptr<TBrowserTab> tab);
    // Takes the tab out (nullptr when the id is unknown).
    std::unique_ptr<TBrowserTab> Unregister(int id);

    TBrowserTab* TabById(int id) const;
    TBrowserTab* At(int index) const;
    int IndexOf(const TBrowserTab* tab) const;
    int IndexOfId(int id) const;
    int Count() const { return static_cast<int>(m_tabs.size()); }
    QVector<TBrowserTab*> Tabs() const;
    // Moves the tab at from to position to (both valid indexes); false otherwise.
    bool Move(int from, int to);

private:
    std::vector<std::unique_ptr<TBrowserTab>> m_tabs;
};
