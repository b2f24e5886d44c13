// File names and file contents for saving pages and pictures: a name taken from an address is made
// safe for the file system, and a page source is written in the character set it declares.
#pragma once

#include <QByteArray>
#include <QString>

class TPageFileNames final {
public:
    // The name without characters a file name cannot hold (path separators / and \, control
    // characters: each becomes "_"), without leading dots and blanks (no "..", no hidden files);
    // "index" when nothing is left. At most 200 characters.
    static QString CleanFileName(const QString& name);

    // The picture's proposed file name: the last path segment of the address, query included
    // ("pic.png?x=1"), cleaned.
    static QString PictureFileName(const QString& url);
    // Everything from the last dot of the picture's file name (".png?x=1"), empty without a dot.
    static QString PictureExtension(const QString& url);

    // True when a meta element of the source declares UTF-8 (charset="utf-8", or a content
    // type "text/html; charset=utf-8"), blanks and letter case as HTML allows.
    static bool DeclaresUtf8(const QString& source);
    // The bytes of a saved page: UTF-8 (no byte-order mark) when the source declares UTF-8, else
    // the ANSI code page, so the file reads back under its own declaration; CR LF follows.
    static QByteArray PageSourceBytes(const QString& source);
    // Where a save dialog for the proposed name starts: in the folder the last page or picture
    // was saved to while that folder exists, else in the download folder (never in the working
    // folder, which is the program's).
    static QString SaveDialogPath(const QString& proposedName, const QString& downloadFolder);
    // Keeps the folder of a file the user saved for the next save dialog.
    static void RememberSaveFolder(const QString& savedFile);
    // Writes PageSourceBytes to the file, whole or not at all (an existing file is replaced only
    // once the new text is complete); false when it cannot be written.
    static bool WritePageSource(const QString& fileName, const QString& source);
};
