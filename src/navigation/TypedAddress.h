// What the text typed into the address bar is: an address to open, or words to search for.
// Pure text rules, no widgets.
#pragma once

#include <QString>

// True when the trimmed text is meant as an address: it has a scheme ("http://intranet",
// "about:config", "file:///..."), is a file path ("/home/...", "~/..."), is localhost or a host
// with a port ("localhost:8080", "printer:631"), an IPv6 address in brackets, or a host name with
// a dot ("127.0.0.1", "www.example.com/文件.html") and no blank. Words (a blank, no dot and no
// scheme, or Chinese text where the host would be) are not; neither is empty text.
bool IsTypedAddress(const QString& text);

// True for an address the desktop's own programs open, as in other browsers: mail, phone and
// news addresses ("mailto:a@b.example", "tel:+861234", "sms:", "callto:", "news:", "irc://").
// Never script or data addresses.
bool IsDesktopAddress(const QString& text);

// True when a web host may be remembered for the address (per-host engine memory): the address
// reaches a host with a web address's characters, with a dot, a port, in brackets or written
// with its scheme, or localhost. Words, mail and file addresses and internal pages have none.
bool HasRememberableHost(const QString& address, const QString& host);
