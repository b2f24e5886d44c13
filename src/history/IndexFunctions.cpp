// SQL functions of the history's search indexes.
#include "history/IndexFunctions.h"

#include "common/AnsiCodec.h"
#include "history/AddressKey.h"
#include "history/TitleKeys.h"

#include <QByteArray>
#include <QList>
#include <sqlite3.h>

namespace {

bool IsAsciiBytes(const unsigned char* bytes, int size) {
    for (int i = 0; i < size; ++i) {
        if (bytes[i] >= 0x80)
            return false;
    }
    return true;
}

// quellon_utf8(text): the data file's GB18030 text as UTF-8, for LIKE and the search indexes,
// which compare characters. ASCII text is the same bytes in both.
void Utf8Function(sqlite3_context* context, int, sqlite3_value** args) {
    const auto* bytes = sqlite3_value_text(args[0]);
    const int size = sqlite3_value_bytes(args[0]);
    if (!bytes || IsAsciiBytes(bytes, size)) {
        sqlite3_result_value(context, args[0]);
        return;
    }
    const QByteArray utf8 = FromAnsi(reinterpret_cast<const char*>(bytes), size).toUtf8();
    sqlite3_result_text(context, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

// quellon_url_key(address): the part of the address the address search index holds, as UTF-8
// (TAddressKey).
void UrlKeyFunction(sqlite3_context* context, int, sqlite3_value** args) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    if (!bytes) {
        sqlite3_result_null(context);
        return;
    }
    const int size = sqlite3_value_bytes(args[0]);
    const int from = TAddressKey::LeftOut(bytes, size);
    if (IsAsciiBytes(reinterpret_cast<const unsigned char*>(bytes) + from, size - from)) {
        sqlite3_result_text(context, bytes + from, size - from, SQLITE_TRANSIENT);
        return;
    }
    const QByteArray utf8 = FromAnsi(bytes + from, size - from).toUtf8();
    sqlite3_result_text(context, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

// quellon_title_keys(title): the searchable forms of a GB18030 title as UTF-8 (TTitleKeys).
void TitleKeysFunction(sqlite3_context* context, int, sqlite3_value** args) {
    const auto* bytes = sqlite3_value_text(args[0]);
    const int size = sqlite3_value_bytes(args[0]);
    if (!bytes) {
        sqlite3_result_null(context);
        return;
    }
    QByteArray keys;
    if (IsAsciiBytes(bytes, size))
        keys = QByteArray(reinterpret_cast<const char*>(bytes), size).toLower();
    else
        keys = TTitleKeys::Of(FromAnsi(reinterpret_cast<const char*>(bytes), size)).toUtf8();
    sqlite3_result_text(context, keys.constData(), keys.size(), SQLITE_TRANSIENT);
}

// quellon_title_form(title, n): the n-th of those forms (0: the title, 1: full pinyin, 2: pinyin
// initials), NULL when the title has none. The index asks for the forms of one title in a row, so
// the last title's forms are kept.
void TitleFormFunction(sqlite3_context* context, int, sqlite3_value** args) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const int form = sqlite3_value_int(args[1]);
    if (!bytes) {
        sqlite3_result_null(context);
        return;
    }
    thread_local QByteArray lastTitle;
    thread_local QList<QByteArray> lastForms;
    const QByteArray title(bytes, sqlite3_value_bytes(args[0]));
    if (title != lastTitle || lastForms.isEmpty()) {
        lastForms = (IsAsciiBytes(reinterpret_cast<const unsigned char*>(title.constData()), title.size())
                         ? title.toLower()
                         : TTitleKeys::Of(FromAnsi(title)).toUtf8())
                        .split('\n');
        lastTitle = title;
    }
    if (form < 0 || form >= lastForms.size()) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text(context, lastForms.at(form).constData(), lastForms.at(form).size(), SQLITE_TRANSIENT);
}

} // namespace

void AddIndexFunctions(sqlite3* handle) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(handle, "quellon_utf8", 1, flags, nullptr, Utf8Function, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(handle, "quellon_url_key", 1, flags, nullptr, UrlKeyFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(handle, "quellon_title_form", 2, flags, nullptr, TitleFormFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(handle, "quellon_title_keys", 1, flags, nullptr, TitleKeysFunction, nullptr, nullptr,
                               nullptr);
}
