// The indexed text of an address and the index query for a text.
#include "history/AddressKey.h"

#include <QStringList>
#include <QVector>
#include <cstring>

namespace {

// The parts left out, each in every form it takes at the start of an address.
const char* const kLeftOut[] = {"https://www.", "http://www.", "https://", "http://", "www."};

bool StartsWith(const char* bytes, int size, const char* prefix) {
    const int length = static_cast<int>(std::strlen(prefix));
    return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

// The FTS5 terms of the three-character pieces of a run (quoted), ANDed; empty for none.
QString Terms(const QVector<uint>& run) {
    QStringList terms;
    for (int i = 0; i + 3 <= run.size(); ++i)
        terms.append(QLatin1Char('"') + QString::fromUcs4(run.constData() + i, 3).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                     QLatin1Char('"'));
    return terms.join(QStringLiteral(" AND "));
}

// ASCII letters in lower case, as the left-out parts are compared (the index folds case too).
uint Lower(uint c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// What the run of the text (characters without wildcards) must have in the indexed text: its own
// pieces, or for a run that may begin inside a left-out part, the pieces of the rest after it.
// Empty when nothing can be required.
QString RunCondition(const QVector<uint>& run) {
    QStringList choices{Terms(run)};
    for (const char* part : kLeftOut) {
        const int length = static_cast<int>(std::strlen(part));
        for (int start = 0; start < length; ++start) {
            const int overlap = std::min(length - start, run.size());
            bool fits = true;
            for (int i = 0; i < overlap && fits; ++i)
                fits = Lower(run.at(i)) == static_cast<uchar>(part[start + i]);
            if (fits)
                choices.append(Terms(run.mid(overlap)));
        }
    }
    if (choices.contains(QString()))
        return QString();
    choices.removeDuplicates();
    return QLatin1Char('(') + choices.join(QStringLiteral(") OR (")) + QLatin1Char(')');
}

} // namespace

int TAddressKey::LeftOut(const char* bytes, int size) {
    for (const char* part : kLeftOut) {
        if (StartsWith(bytes, size, part))
            return static_cast<int>(std::strlen(part));
    }
    return 0;
}

QString TAddressKey::TrigramQuery(const QString& text) {
    QStringList conditions;
    QVector<uint> run;
    const auto endRun = [&] {
        const QString condition = RunCondition(run);
        if (!condition.isEmpty())
            conditions.append(condition);
        run.clear();
    };
    for (const uint c : text.toUcs4()) {
        if (c == '%' || c == '_')
            endRun();
        else
            run.append(c);
    }
    endRun();
    return conditions.join(QStringLiteral(" AND "));
}
