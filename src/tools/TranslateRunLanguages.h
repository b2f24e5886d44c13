// The languages a translation server offers: its GET /languages list ([{code, name}, ...]) or,
// when that cannot be had, a small list of the common ones.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct TTranslateService;

struct TTranslateLanguage {
    QString Code; // as the server takes it ("en", "zh", "zh-Hans")
    QString Name; // as shown
};

// The list in the answer, in its order; empty when the answer is not such a list. Entries
// without a code are left out; a name is shown on one line, at most 64 characters.
QList<TTranslateLanguage> ReadTranslateLanguages(const QByteArray& body);
// Blocking (run it off the UI thread): the server's GET /languages, or the built-in list when the
// request fails or gives no language.
QList<TTranslateLanguage> FetchTranslateLanguages(const TTranslateService& service);
// Chinese, English, Japanese, Korean, French, German, Russian, Spanish.
QList<TTranslateLanguage> BuiltInTranslateLanguages();
// Index of the Chinese entry ("zh" or "zh-…"), the usual target; 0 when there is none.
int ChineseLanguageIndex(const QList<TTranslateLanguage>& languages);
