// File names and contents for saved pages and pictures.
#include "pagecommands/PageFileNames.h"

#include "common/AnsiCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {
const int MaxNameLength = 200;

// The folder the user last saved a page or picture to, for this session.
QString& LastSaveFolder() {
    static QString folder;
    return folder;
}

bool Forbidden(QChar c) {
    // Path separators of either system and control characters; the rest is a valid name here.
    return c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The text after the last "/" or "\" of the address.
QString LastSegment(const QString& url) {
    QString path = url;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
}
} // namespace

QString TPageFileNames::CleanFileName(const QString& name) {
    QString clean;
    clean.reserve(name.size());
    for (const QChar c : name)
        clean.append(Forbidden(c) ? QLatin1Char('_') : c);
    int start = 0;
    while (start < clean.size() && (clean.at(start) == QLatin1Char('.') || clean.at(start).isSpace()))
        ++start;
    clean = clean.mid(start).trimmed().left(MaxNameLength);
    return clean.isEmpty() ? QStringLiteral("index") : clean;
}

QString TPageFileNames::PictureFileName(const QString& url) {
    return CleanFileName(LastSegment(url));
}

QString TPageFileNames::PictureExtension(const QString& url) {
    const QString name = PictureFileName(url);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool TPageFileNames::DeclaresUtf8(const QString& source) {
    // <meta charset="utf-8"> or <meta ... content="text/html; charset=utf-8">, blanks and quotes
    // as HTML allows them, in any letter case.
    static const QRegularExpression declaration(
        QStringLiteral("<meta\\b[^>]*charset\\s*=\\s*[\"']?\\s*utf-?8\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return declaration.match(source).hasMatch();
}

QByteArray TPageFileNames::PageSourceBytes(const QString& source) {
    const bool utf8 = DeclaresUtf8(source);
    QByteArray bytes = utf8 ? source.toUtf8() : ToAnsi(source);
    bytes.append("\r\n");
    return bytes;
}

bool TPageFileNames::WritePageSource(const QString& fileName, const QString& source) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = PageSourceBytes(source);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString TPageFileNames::SaveDialogPath(const QString& proposedName, const QString& downloadFolder) {
    QString folder = LastSaveFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = downloadFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(proposedName);
}

void TPageFileNames::RememberSaveFolder(const QString& savedFile) {
    if (!savedFile.isEmpty())
        LastSaveFolder() = QFileInfo(savedFile).absolutePath();
}
