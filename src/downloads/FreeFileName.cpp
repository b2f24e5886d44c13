// FreeFileName: numbered alternatives for a taken file name.
#include "downloads/FreeFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

// Length of the extension at the end of name, dot included; 0 when it has none.
int ExtensionLength(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return 0; // no dot, or a hidden name
    static const QSet<QString> compressions{"gz", "bz2", "xz", "zst", "lz", "lzma", "z"};
    const QString last = name.mid(dot + 1).toLower();
    if (compressions.contains(last) && name.left(dot).endsWith(QLatin1String(".tar"), Qt::CaseInsensitive) &&
        dot > 4)
        return name.size() - (dot - 4);
    return name.size() - dot;
}

QString Numbered(const QString& folder, const QString& name, int number) {
    const int stem = name.size() - ExtensionLength(name);
    return folder + name.left(stem) + QStringLiteral(" (%1)").arg(number) + name.mid(stem);
}

} // namespace

QString FreeFileName(const QString& path, const QStringList& listed) {
    QSet<QString> taken;
    for (const QString& other : listed)
        taken.insert(QDir::cleanPath(other));
    const auto isFree = [&taken](const QString& candidate) {
        return !taken.contains(QDir::cleanPath(candidate)) && !QFileInfo::exists(candidate);
    };
    if (isFree(path))
        return path;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    for (int number = 1;; ++number) {
        const QString candidate = Numbered(folder, name, number);
        if (isFree(candidate))
            return candidate;
    }
}
