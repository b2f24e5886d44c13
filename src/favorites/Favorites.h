// The favorites store: qb_fav and its in-memory copy in display order (ranking, then id).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TDb;

// One favorite, copied by value.
struct TFavInfo {
    QString Id; // row id as decimal text; empty for entries that are not stored
    QString FavName;
    QString FavUrl;
    QString Ranking;       // position key as decimal text
    qint32 ImageIndex = 0; // icon index in the favorites bar's image list
    qint32 Tag = 0;        // scratch value of the bar's drag reorder
};

using TFavInfoList = QList<TFavInfo>;

class TFavorites {
public:
    // The ranking given to a favorite added by a dialog: after every reordered one.
    static constexpr int NewRanking = 65535;

    explicit TFavorites(TDb& db);

    // True for a whole number (blanks around it allowed): the only rankings AddFavorite takes.
    static bool IsRanking(const QString& ranking);

    // Refills Items from the table; a failed query leaves Items as they were. False then.
    bool LoadFavorites();
    // ranking must be a whole number (it is written unquoted); anything else is refused.
    bool AddFavorite(const QString& name, const QString& url, const QString& ranking);
    // Adds each favorite (FavName, FavUrl, Ranking) as AddFavorite does, in one transaction; when
    // that fails, one by one, leaving out the ones that fail. Answers how many were added.
    int AddFavorites(const TFavInfoList& items);
    // Row id of the favorite just added; 0 when it cannot be read.
    qint32 LastInsertId();
    bool DeleteFavoriteById(const QString& id);
    // Removes every row with this address.
    bool DeleteFavoriteByUrl(const QString& url);
    // Changes the one row with this id (the manager's edit, which knows the row).
    bool UpdateFavoriteById(const QString& id, const QString& name, const QString& url);
    // Changes every row with the old address (the favorites bar's edit, which knows the address;
    // kept beside the id form because rows sharing an address change together there).
    bool UpdateFavoriteByUrl(const QString& name, const QString& oldUrl, const QString& newUrl);
    // A failed query counts as "does not exist".
    bool FavoriteExists(const QString& url);

    // Stores the display order: the favorite with ids[i] gets ranking i + 1. One transaction:
    // every ranking changes or none does.
    bool SaveRankings(const QStringList& ids);
    // The batch SaveRankings runs: one "UPDATE ... ;" per id, each ended by a carriage return.
    // Empty when an id is not a row number.
    static QString RankingScript(const QStringList& ids);

    TFavInfoList Items;

private:
    // The insert statement, or empty (and a log line) for a ranking that is not a whole number.
    static QString InsertStatement(const QString& name, const QString& url, const QString& ranking);
    // Sets name and address of the rows the condition picks.
    bool UpdateFavoriteWhere(const QString& name, const QString& url, const QString& condition);

    TDb& m_db;
};
