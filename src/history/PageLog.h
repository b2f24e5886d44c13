// The page log: the addresses of the pages open when the main window last closed (qb_page_log).
#pragma once

#include <QList>
#include <QString>

class TDb;

struct TPageInfo {
    QString Url;
};

using TPageInfoList = QList<TPageInfo>;

class TPageLog {
public:
    explicit TPageLog(TDb& db);

    // Kept though the program saves through ReplacePageLog: the page log's public calls include
    // these two. Writes every address in list order as one batch: all of them or none. False at
    // once for an empty list.
    bool SavePageLog(const TPageInfoList& pages);
    bool ClearPageLog();
    // Empties the log and writes the addresses in one transaction: a crash leaves either the old
    // log or the new one, never an empty or half-written one. An empty list just empties it.
    bool ReplacePageLog(const TPageInfoList& pages);
    // The stored addresses in insertion order; empty when the table cannot be read.
    TPageInfoList LoadPageLog();
    // Number of stored addresses; 0 when the table cannot be read.
    int CountPageLog();

private:
    TDb& m_db;
};
