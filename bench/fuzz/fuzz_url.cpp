// The address helpers on arbitrary text (addresses come from pages, the address bar and stored
// data): no crash, and the shapes their callers rely on (folder, host, domain, site root, favicon
// file, the percent encoding of search words, a download's request address). The first line is the address; the rest
// is a page's text for the favicon link finder.
#include "FuzzCheck.h"
#include "common/FavIcons.h"
#include "common/UrlText.h"
#include "downloads/Download.h"
#include "navigation/SearchAddress.h"

#include <QByteArray>
#include <QUrl>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const int newline = input.indexOf(QLatin1Char('\n'));
    const QString url = newline < 0 ? input : input.left(newline);
    const QString page = newline < 0 ? QString() : input.mid(newline + 1);

    const QString directory = UrlDirectory(url);
    Check(directory.isEmpty() || url.startsWith(directory) || directory.endsWith(QLatin1Char('/')));
    Check(url.contains(HostOfUrl(url).trimmed()));
    MainDomainOfUrl(url);
    const QString root = SiteRootOfUrl(url);
    Check(root.isEmpty() || root.endsWith(QLatin1Char('/')));
    Check(FavIconFileName(url).size() == 36);
    FindFavIconLink(url, page);

    // Encoded text holds only the kept characters, "+" and "%XX", and decodes to the same bytes.
    const QString encoded = EncodeUrlText(input);
    for (const QChar c : encoded)
        Check(c.isLetterOrNumber() || QStringLiteral("!$'()*-.@_+%").contains(c));
    QByteArray decoded = encoded.toLatin1();
    decoded.replace('+', ' ');
    Check(QByteArray::fromPercentEncoding(decoded) == input.toUtf8());
    Check(SearchEngineAddress(seBaidu, input).endsWith(encoded));

    // The address a download requests goes into the request line as it is: once the address
    // parses, nothing but printable ASCII, and no fragment.
    const QString request = TDownload::RequestUrl(url);
    if (QUrl(url, QUrl::TolerantMode).isValid()) {
        for (const QChar c : request)
            Check(c.unicode() > 0x20 && c.unicode() < 0x7F && c != QLatin1Char('#'));
    }
    return 0;
}
