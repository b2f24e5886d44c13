// The reopen walk and the save/restore rules of the page log.
#include "history/RecentlyClosed.h"

TRecentlyClosed::TRecentlyClosed(THistory& history) : m_history(history) {}

void TRecentlyClosed::Reload() {
    m_list = m_history.LoadRecentlyClosed();
    m_cursor = 0;
}

std::optional<QString> TRecentlyClosed::NextToReopen() {
    if (m_cursor >= MaxReopen)
        return std::nullopt;
    if (!m_list)
        Reload();
    if (m_cursor >= m_list->size())
        return std::nullopt;
    return m_list->at(m_cursor++).SiteUrl;
}

TPageInfoList PagesToSave(const QList<TOpenPage>& pages) {
    TPageInfoList list;
    for (const TOpenPage& page : pages) {
        if (page.PageKind == 1 || page.PageUrl.isEmpty() ||
            page.PageUrl.toLower() == QLatin1String("about:blank"))
            continue;
        list.append(TPageInfo{page.PageUrl});
    }
    return list;
}

bool SaveOpenPages(TPageLog& log, const QList<TOpenPage>& pages) {
    const TPageInfoList list = PagesToSave(pages);
    return log.ReplacePageLog(list) && !list.isEmpty();
}

TRestorePlan PlanRestore(const TPageInfoList& log, bool hasCurrentTab) {
    TRestorePlan plan;
    for (int i = 0; i < log.size(); ++i) {
        if (i == 0) {
            if (hasCurrentTab)
                plan.CurrentTabUrl = log.at(0).Url;
        } else {
            plan.NewTabUrls.append(log.at(i).Url);
        }
    }
    return plan;
}
