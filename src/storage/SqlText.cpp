// Quoting of SQL text values, trimming of stored and scripted text, and the row-id check.
#include "storage/SqlText.h"

#include <QRegularExpression>

QString SqlQuote(const QString& text) {
    QString quoted = text;
    // The statement text ends at a NUL character, so a value holding one would cut the statement
    // and the row would silently not be stored; page titles and addresses may hold one.
    quoted.remove(QChar(QChar::Null));
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString TrimText(const QString& text) {
    int first = 0;
    int last = text.size() - 1;
    while (first <= last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last >= first && text.at(last).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first + 1);
}

bool IsRowId(const QString& id) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,19}$"));
    return digits.match(id).hasMatch();
}
