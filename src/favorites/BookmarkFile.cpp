// The bookmark file writer.
#include "favorites/BookmarkFile.h"

#include "common/AnsiCodec.h"
#include "common/CommonFunc.h"
#include "favorites/Favorites.h"

#include <QFile>

QByteArray BookmarkFileText(const TFavorites& favorites) {
    QString text;
    const auto line = [&text](const QString& content) { text += content + QStringLiteral("\r\n"); };
    line(QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
    line(QStringLiteral("<!-- This is an automatically generated file."));
    line(QStringLiteral("It will be read and overwritten."));
    line(QStringLiteral("Do Not Edit! -->"));
    line(QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html\">"));
    line(QStringLiteral("<TITLE>Bookmarks</TITLE>"));
    line(QStringLiteral("<H1>Bookmarks</H1>"));
    line(QStringLiteral("<DL>"));
    line(QStringLiteral("<p>"));
    for (const TFavInfo& favorite : favorites.Items) {
        line(QStringLiteral("<DT><A HREF=\"") + favorite.FavUrl + QStringLiteral("\" FAV_POS=\"") +
             favorite.Ranking + QStringLiteral("\" >") + favorite.FavName + QStringLiteral("</A>"));
    }
    line(QStringLiteral("</DL>"));
    line(QStringLiteral("</p>"));
    return ToAnsi(text);
}

bool ExportFavorites(TFavorites& favorites, const QString& fileName) {
    favorites.LoadFavorites();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        WriteLog(QStringLiteral("Export favorites: cannot create ") + fileName + QStringLiteral(": ") +
                 file.errorString());
        return false;
    }
    const QByteArray text = BookmarkFileText(favorites);
    if (file.write(text) != text.size() || !file.flush()) {
        WriteLog(QStringLiteral("Export favorites: cannot write ") + fileName + QStringLiteral(": ") +
                 file.errorString());
        return false;
    }
    file.close();
    return file.error() == QFileDevice::NoError;
}
