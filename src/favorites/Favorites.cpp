// The favorites store over qb_fav.
#include "favorites/Favorites.h"

#include "common/Logging.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

#include <QRegularExpression>

namespace {

bool RefuseId(const QString& id) {
    if (IsRowId(id))
        return false;
    WriteLog(QStringLiteral("Favorites: not a row id: ") + id);
    return true;
}

} // namespace

TFavorites::TFavorites(TDb& db) : m_db(db) {}

bool TFavorites::IsRanking(const QString& ranking) {
    // Rankings come from the table, the bar's reorder and bookmark files; they are written
    // unquoted, so only a whole number is let through.
    static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,18}$"));
    return number.match(ranking.trimmed()).hasMatch();
}

bool TFavorites::LoadFavorites() {
    auto table = m_db.Query(
        QStringLiteral("SELECT id, fav_name, fav_url, ranking FROM qb_fav ORDER BY ranking, id ASC"));
    if (!table)
        return false;
    TFavInfoList items;
    if (table->RowCount() > 0) {
        try {
            const int id = table->ColumnIndex(QStringLiteral("id"));
            const int name = table->ColumnIndex(QStringLiteral("fav_name"));
            const int url = table->ColumnIndex(QStringLiteral("fav_url"));
            const int ranking = table->ColumnIndex(QStringLiteral("ranking"));
            for (; !table->AtEnd(); table->MoveNext()) {
                TFavInfo info;
                info.Id = table->GetText(id);
                info.FavName = table->GetText(name);
                info.FavUrl = table->GetText(url);
                info.Ranking = table->GetText(ranking);
                items.append(info);
            }
        } catch (const ESQLiteException& e) {
            WriteLog(QStringLiteral("Favorites: ") + e.Message());
            return false;
        }
    }
    Items = items;
    return true;
}

QString TFavorites::InsertStatement(const QString& name, const QString& url, const QString& ranking) {
    if (!IsRanking(ranking)) {
        WriteLog(QStringLiteral("Favorites: not a ranking: ") + ranking);
        return QString();
    }
    const QString position = ranking.trimmed();
    return QStringLiteral("INSERT INTO qb_fav (fav_name, fav_url, ranking) VALUES (") + SqlQuote(name) +
           QStringLiteral(", ") + SqlQuote(url) + QStringLiteral(", ") + position + QStringLiteral(")");
}

bool TFavorites::AddFavorite(const QString& name, const QString& url, const QString& ranking) {
    const QString sql = InsertStatement(name, url, ranking);
    return !sql.isEmpty() && m_db.Execute(sql);
}

int TFavorites::AddFavorites(const TFavInfoList& items) {
    // The batch runs one statement per line: a value holding a line break would split its
    // statement and could let the rest of the value run as a statement of its own. Such
    // favorites are added one by one.
    const auto breaksLine = [](const QString& text) {
        return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    };
    QString script;
    QStringList statements;
    int added = 0;
    for (const TFavInfo& item : items) {
        const QString sql = InsertStatement(item.FavName, item.FavUrl, item.Ranking);
        if (sql.isEmpty())
            continue;
        if (breaksLine(item.FavName) || breaksLine(item.FavUrl)) {
            added += m_db.Execute(sql) ? 1 : 0;
            continue;
        }
        statements.append(sql);
        script += sql + QStringLiteral(";\n");
    }
    if (statements.isEmpty())
        return added;
    if (m_db.ExecuteScript(script))
        return added + statements.size();
    for (const QString& sql : statements)
        added += m_db.Execute(sql) ? 1 : 0;
    return added;
}

qint32 TFavorites::LastInsertId() {
    return m_db.LastInsertId();
}

bool TFavorites::DeleteFavoriteById(const QString& id) {
    if (RefuseId(id))
        return false;
    return m_db.Execute(QStringLiteral("DELETE FROM qb_fav WHERE id = ") + id);
}

bool TFavorites::DeleteFavoriteByUrl(const QString& url) {
    return m_db.Execute(QStringLiteral("DELETE FROM qb_fav WHERE fav_url = ") + SqlQuote(url));
}

bool TFavorites::UpdateFavoriteWhere(const QString& name, const QString& url, const QString& condition) {
    return m_db.Execute(QStringLiteral("UPDATE qb_fav SET fav_name = ") + SqlQuote(name) +
                        QStringLiteral(", fav_url = ") + SqlQuote(url) + QStringLiteral(" WHERE ") +
                        condition);
}

bool TFavorites::UpdateFavoriteById(const QString& id, const QString& name, const QString& url) {
    if (RefuseId(id))
        return false;
    return UpdateFavoriteWhere(name, url, QStringLiteral("id = ") + id);
}

bool TFavorites::UpdateFavoriteByUrl(const QString& name, const QString& oldUrl, const QString& newUrl) {
    return UpdateFavoriteWhere(name, newUrl, QStringLiteral("fav_url = ") + SqlQuote(oldUrl));
}

bool TFavorites::FavoriteExists(const QString& url) {
    auto table = m_db.Query(QStringLiteral("SELECT id FROM qb_fav WHERE fav_url = ") + SqlQuote(url) +
                            QLatin1Char(' '));
    return table && table->RowCount() > 0;
}

QString TFavorites::RankingScript(const QStringList& ids) {
    QString script;
    for (int i = 0; i < ids.size(); ++i) {
        if (RefuseId(ids.at(i)))
            return QString();
        script += QStringLiteral("UPDATE qb_fav SET ranking = ") + QString::number(i + 1) +
                  QStringLiteral(" WHERE id = ") + ids.at(i) + QStringLiteral(";\r");
    }
    return script;
}

bool TFavorites::SaveRankings(const QStringList& ids) {
    const QString script = RankingScript(ids);
    return !script.isEmpty() && m_db.ExecuteScript(script);
}
