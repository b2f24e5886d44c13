// Pieces of the search indexes' texts per block of rows.
#include "history/TextPieces.h"

#include "history/TitleIndex.h"

#include <QMap>
#include <QSet>
#include <QStringList>

namespace {

QString AsciiLower(const QString& text) {
    QString lower = text;
    for (QChar& c : lower) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    }
    return lower;
}

} // namespace

QString TTextPieces::Creation(const QString& table) {
    return QStringLiteral("CREATE TABLE IF NOT EXISTS ") + table +
           QStringLiteral(" (piece TEXT, block INTEGER, PRIMARY KEY (piece, block)) WITHOUT ROWID;\n");
}

QString TTextPieces::Insertion(const QString& table, const QList<QPair<qint64, QString>>& texts) {
    QMap<qint64, QSet<QString>> blocks;
    for (const auto& row : texts) {
        const QVector<uint> chars = AsciiLower(row.second).toUcs4();
        QSet<QString>& pieces = blocks[row.first >> kBlockBits];
        for (int i = 0; i < chars.size(); ++i) {
            pieces.insert(QString::fromUcs4(&chars[i], 1));
            if (i + 1 < chars.size())
                pieces.insert(QString::fromUcs4(&chars[i], 2));
        }
    }
    QStringList values;
    for (auto block = blocks.cbegin(); block != blocks.cend(); ++block) {
        for (const QString& piece : *block)
            values.append(QLatin1Char('(') + SqlUtf8Literal(piece) + QStringLiteral(", ") +
                          QString::number(block.key()) + QLatin1Char(')'));
    }
    if (values.isEmpty())
        return QString();
    return QStringLiteral("INSERT OR IGNORE INTO ") + table + QStringLiteral(" (piece, block) VALUES ") +
           values.join(QStringLiteral(", ")) + QStringLiteral(";\n");
}

QString TTextPieces::KeyOf(const QString& text) {
    QVector<uint> best;
    QVector<uint> run;
    for (const uint c : AsciiLower(text).toUcs4()) {
        if (c == '%' || c == '_') {
            run.clear();
            continue;
        }
        run.append(c);
        if (run.size() > best.size())
            best = run.mid(run.size() - std::min<int>(run.size(), 2));
    }
    return QString::fromUcs4(best.constData(), best.size());
}

QString TTextPieces::BlocksStatement(const QString& table, const QString& piece) {
    return QStringLiteral("SELECT block FROM ") + table + QStringLiteral(" WHERE piece = ") + SqlUtf8Literal(piece) +
           QStringLiteral(" ORDER BY block DESC");
}

QString TTextPieces::InBlock(const QString& column, qint64 block) {
    return column + QStringLiteral(" BETWEEN ") + QString::number(block << kBlockBits) + QStringLiteral(" AND ") +
           QString::number(((block + 1) << kBlockBits) - 1);
}
