// Pinyin forms of page titles through ICU's transliterator.
#include "history/TitleKeys.h"

#include <QHash>
#include <QMutex>
#include <QStringList>
#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace {

bool IsHan(uint c) {
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3134F);
}

// The syllables of a run of Chinese characters. The transliterator is built once (its rules take
// a while to load) and is not safe for use by two threads at once; runs repeat a lot across
// titles, so their syllables are kept.
class TPinyin {
public:
    QStringList Syllables(const QString& run) {
        QMutexLocker locker(&m_lock);
        const auto known = m_cache.constFind(run);
        if (known != m_cache.constEnd())
            return *known;
        QStringList syllables;
        if (Transliterator()) {
            icu::UnicodeString text(reinterpret_cast<const UChar*>(run.utf16()), run.size());
            m_transliterator->transliterate(text);
            const QString latin =
                QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getBuffer()), text.length());
            for (const QString& word : latin.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                QString letters;
                for (const QChar c : word) {
                    if (c.unicode() < 0x80 && c.isLetterOrNumber())
                        letters += c;
                }
                if (!letters.isEmpty())
                    syllables.append(letters);
            }
        }
        if (m_cache.size() > 20000)
            m_cache.clear();
        m_cache.insert(run, syllables);
        return syllables;
    }

private:
    bool Transliterator() {
        if (!m_transliterator && !m_failed) {
            UErrorCode status = U_ZERO_ERROR;
            m_transliterator.reset(icu::Transliterator::createInstance(
                icu::UnicodeString::fromUTF8("Han-Latin; Latin-ASCII"), UTRANS_FORWARD, status));
            if (U_FAILURE(status))
                m_transliterator.reset();
            m_failed = !m_transliterator;
        }
        return m_transliterator != nullptr;
    }

    QMutex m_lock;
    std::unique_ptr<icu::Transliterator> m_transliterator;
    bool m_failed = false;
    QHash<QString, QStringList> m_cache;
};

TPinyin& Pinyin() {
    static TPinyin pinyin;
    return pinyin;
}

} // namespace

bool TTitleKeys::HasHan(const QString& text) {
    for (const uint c : text.toUcs4()) {
        if (IsHan(c))
            return true;
    }
    return false;
}

QString TTitleKeys::Of(const QString& title) {
    const QString lower = title.toLower();
    if (!HasHan(lower))
        return lower;
    QString full;
    QString initials;
    QString run;
    const auto flushRun = [&] {
        if (run.isEmpty())
            return;
        for (const QString& syllable : Pinyin().Syllables(run)) {
            full += syllable;
            initials += syllable.at(0);
        }
        run.clear();
    };
    for (const uint c : lower.toUcs4()) {
        if (IsHan(c)) {
            run += QString::fromUcs4(&c, 1);
            continue;
        }
        flushRun();
        if (QChar::isSpace(c))
            continue;
        const QString other = QString::fromUcs4(&c, 1);
        full += other;
        initials += other;
    }
    flushRun();
    return lower + QLatin1Char('\n') + full + QLatin1Char('\n') + initials;
}
