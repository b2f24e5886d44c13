// Web-address text: its folder, host, registrable domain and site root, and the one percent
// encoder every request, search word and file name goes through.
#pragma once

#include <QByteArray>
#include <QString>

// The address up to its last "/" or ":" (fragment and query cut off first); "http://host" gives
// "http://host/".
QString UrlDirectory(const QString& url);
// The text between a leading "http://" or "https://" and the first "/", letter case kept.
QString HostOfUrl(const QString& url);
// The registrable domain of the address's host (port dropped), by the known Chinese and generic
// suffixes: "http://a.b.gov.cn/x" gives "b.gov.cn".
QString MainDomainOfUrl(const QString& url);
// The lower-cased "scheme://host/" of a web address; for other text, up to its first "/".
QString SiteRootOfUrl(const QString& url);
// How PercentEncode writes the two hex digits of an escaped byte.
enum class THexCase { Upper, Lower };
// The bytes with ASCII letters, digits and the bytes of `kept` as they are, a blank as "+" when
// blankAsPlus, and every other byte as "%" and two hex digits.
QByteArray PercentEncode(const QByteArray& bytes, const QByteArray& kept, bool blankAsPlus,
                         THexCase hexCase = THexCase::Upper);
// The punctuation EncodeUrlText keeps: ! $ ' ( ) * - . @ _
extern const char* const UrlTextKept;
// The text's UTF-8 bytes with letters, digits and ! $ ' ( ) * - . @ _ kept, a blank as "+" and every
// other byte as "%" and two upper-case hex digits (search words, download file names).
QString EncodeUrlText(const QString& text);
