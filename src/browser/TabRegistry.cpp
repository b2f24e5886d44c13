// The tabs of one window in strip order.
#include "browser/TabRegistry.h"

#include "browser/BrowserTab.h"

#include <algorithm>

TTabRegistry::TTabRegistry() = default;
TTabRegistry::~TTabRegistry() = default;

TBrowserTab* TTabRegistry::Register(std::unique_ptr<TBrowserTab> tab) {
    m_tabs.push_back(std::move(tab));
    return m_tabs.back().get();
}

std::unique_ptr<TBrowserTab> TTabRegistry::Unregister(int id) {
    const int index = IndexOfId(id);
    if (index < 0)
        return nullptr;
    std::unique_ptr<TBrowserTab> tab = std::move(m_tabs[index]);
    m_tabs.erase(m_tabs.begin() + index);
    return tab;
}

TBrowserTab* TTabRegistry::TabById(int id) const {
    return At(IndexOfId(id));
}

TBrowserTab* TTabRegistry::At(int index) const {
    return index >= 0 && index < Count() ? m_tabs[index].get() : nullptr;
}

int TTabRegistry::IndexOf(const TBrowserTab* tab) const {
    const auto found =
        std::find_if(m_tabs.begin(), m_tabs.end(), [tab](const auto& item) { return item.get() == tab; });
    return found == m_tabs.end() ? -1 : static_cast<int>(found - m_tabs.begin());
}

int TTabRegistry::IndexOfId(int id) const {
    const auto found =
        std::find_if(m_tabs.begin(), m_tabs.end(), [id](const auto& item) { return item->Id == id; });
    return found == m_tabs.end() ? -1 : static_cast<int>(found - m_tabs.begin());
}

QVector<TBrowserTab*> TTabRegistry::Tabs() const {
    QVector<TBrowserTab*> tabs;
    tabs.reserve(Count());
    for (const auto& tab : m_tabs)
        tabs.append(tab.get());
    return tabs;
}

bool TTabRegistry::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        return false;
    if (from == to)
        return true;
    std::unique_ptr<TBrowserTab> tab = std::move(m_tabs[from]);
    m_tabs.erase(m_tabs.begin() + from);
    m_tabs.insert(m_tabs.begin() + to, std::move(tab));
    return true;
}
