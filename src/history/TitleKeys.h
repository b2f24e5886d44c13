// The searchable forms of a page title: the title itself in lower case and, when it holds Chinese
// characters, their full pinyin and the pinyin initials (知乎 gives "zhihu" and "zh"), so that
// the address bar finds the page by what a Chinese user types.
#pragma once

#include <QString>

class TTitleKeys {
public:
    // The forms joined by line feeds: "知乎 - 首页" gives "知乎 - 首页\nzhihu-shouye\nzh-sy".
    // The pinyin comes from ICU's Han-Latin transliteration of each run of Chinese characters
    // (one reading per character; a polyphonic character gets the one ICU picks in its run).
    // Characters other than Chinese ones are kept in the pinyin forms as they are, spaces left out.
    // Thread-safe.
    static QString Of(const QString& title);

    // Whether the text holds a Chinese (Han) character.
    static bool HasHan(const QString& text);
};
