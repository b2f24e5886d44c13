// The bookmark file writer.
#include "favorites/BookmarkFile.h"

#include "common/AnsiCodec.h"
#include "common/Logging.h"
#include "favorites/Favorites.h"

#include <QSaveFile>

namespace {

// Names and addresses are data: the characters that would end an attribute or start markup are
// written as references, and so are line breaks, which a parser would otherwise normalise.
QString Escaped(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            escaped += QStringLiteral("&amp;");
            break;
        case '<':
            escaped += QStringLiteral("&lt;");
            break;
        case '>':
            escaped += QStringLiteral("&gt;");
            break;
        case '"':
            escaped += QStringLiteral("&quot;");
            break;
        case '\r':
            escaped += QStringLiteral("&#13;");
            break;
        case '\n':
            escaped += QStringLiteral("&#10;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

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
        line(QStringLiteral("<DT><A HREF=\"") + Escaped(favorite.FavUrl) + QStringLiteral("\" FAV_POS=\"") +
             Escaped(favorite.Ranking) + QStringLiteral("\" >") + Escaped(favorite.FavName) +
             QStringLiteral("</A>"));
    }
    line(QStringLiteral("</DL>"));
    line(QStringLiteral("</p>"));
    return ToAnsi(text);
}

bool ExportFavorites(TFavorites& favorites, const QString& fileName) {
    favorites.LoadFavorites();
    // Written beside the old file and renamed over it once complete: a failed export leaves the
    // old file as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        WriteLog(QStringLiteral("Export favorites: cannot create ") + fileName + QStringLiteral(": ") +
                 file.errorString());
        return false;
    }
    const QByteArray text = BookmarkFileText(favorites);
    // A write the disk takes only in part (full, or over the size limit) fails the flush, while
    // commit alone would still rename the cut-off file over the old one.
    if (file.write(text) != text.size() || !file.flush() || !file.commit()) {
        WriteLog(QStringLiteral("Export favorites: cannot write ") + fileName + QStringLiteral(": ") +
                 file.errorString());
        return false;
    }
    return true;
}
