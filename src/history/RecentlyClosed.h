// Bringing pages back: the reopen walk over the recently closed pages (Ctrl+Shift+T) and the rules
// for writing the open pages to the page log at exit and restoring them at the next start.
#pragma once

#include "history/History.h"
#include "history/PageLog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The reopen walk: each call hands out the next older closed page, at most ten in all. The list
// is read on the first call and read again after every tab close, which restarts the walk.
class TRecentlyClosed {
public:
    static constexpr int MaxReopen = 10;

    explicit TRecentlyClosed(THistory& history);

    // After a tab close was recorded in history: read the list anew and start from the newest.
    void Reload();
    // The address to open in a new tab, or nothing when the walk is used up.
    std::optional<QString> NextToReopen();

    bool Loaded() const { return m_list.has_value(); }
    int Cursor() const { return m_cursor; }
    THistoryInfoList Entries() const { return m_list.value_or(THistoryInfoList()); }

private:
    THistory& m_history;
    std::optional<THistoryInfoList> m_list;
    int m_cursor = 0;
};

// A page of the tab control as the page log sees it.
struct TOpenPage {
    int PageKind = 0; // 1: the options page
    QString PageUrl;  // the last address the engines reported
};

// The addresses worth restoring, in page order: the options page, pages without an address and
// blank pages are left out.
TPageInfoList PagesToSave(const QList<TOpenPage>& pages);
// Replaces the page log by the pages worth restoring, in one transaction. False when nothing was
// written (no such page, or the batch failed).
bool SaveOpenPages(TPageLog& log, const QList<TOpenPage>& pages);

// Where each stored address goes when the user restores the last session.
struct TRestorePlan {
    std::optional<QString> CurrentTabUrl; // loaded into the current tab
    QStringList NewTabUrls;               // each opened in a new tab, in this order
};

// The first address goes to the current tab (it is dropped when there is none), the others to
// new tabs in their stored order.
TRestorePlan PlanRestore(const TPageInfoList& log, bool hasCurrentTab);
