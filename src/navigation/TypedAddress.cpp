// The address-or-words decision for the address bar.
#include "navigation/TypedAddress.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Schemes written without "//" that are addresses of their own.
bool HasOpaqueScheme(const QString& text) {
    static const QStringList schemes{
        "about:", "data:", "javascript:", "mailto:", "file:", "view-source:", "chrome:", "local:", "blob:"};
    for (const QString& scheme : schemes) {
        if (text.startsWith(scheme, Qt::CaseInsensitive) && text.size() > scheme.size())
            return true;
    }
    return false;
}

bool IsAsciiHostLabel(const QString& label) {
    static const QRegularExpression ascii(QStringLiteral("^[A-Za-z0-9-]+$"));
    return ascii.match(label).hasMatch();
}

} // namespace

bool IsDesktopAddress(const QString& typed) {
    static const QRegularExpression desktop(
        QStringLiteral("^(mailto|tel|sms|callto|news|nntp|irc|ircs):\\S"), QRegularExpression::CaseInsensitiveOption);
    return desktop.match(typed.trimmed()).hasMatch();
}

bool HasRememberableHost(const QString& address, const QString& host) {
    static const QRegularExpression hostText(
        QStringLiteral("^(\\[[0-9A-Fa-f:.]+\\]|[^\\s/\\\\:@?#()<>\\[\\]%]+)(:\\d{1,5})?$"));
    if (!hostText.match(host).hasMatch() || !IsTypedAddress(address) || IsDesktopAddress(address))
        return false;
    static const QRegularExpression webScheme(QStringLiteral("^https?://"), QRegularExpression::CaseInsensitiveOption);
    return webScheme.match(address.trimmed()).hasMatch() || host.contains(QLatin1Char('.')) ||
           host.contains(QLatin1Char(':')) || host.startsWith(QLatin1Char('[')) ||
           host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

bool IsTypedAddress(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return false;
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://\\S"));
    if (scheme.match(text).hasMatch() || HasOpaqueScheme(text))
        return true;
    if (text.startsWith(QLatin1Char('/')) || text.startsWith(QLatin1String("~/")) ||
        text.startsWith(QLatin1Char('[')))
        return true;
    if (text.contains(QRegularExpression(QStringLiteral("\\s"))))
        return false;
    // The host is what comes before the path, query or fragment; then a port may follow it.
    const int end = text.indexOf(QRegularExpression(QStringLiteral("[/?#]")));
    const QString hostAndPort = end < 0 ? text : text.left(end);
    static const QRegularExpression port(QStringLiteral("^([^:@]+):(\\d{1,5})$"));
    const QRegularExpressionMatch withPort = port.match(hostAndPort);
    const QString host = withPort.hasMatch() ? withPort.captured(1) : hostAndPort;
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    if (withPort.hasMatch() && IsAsciiHostLabel(host))
        return true; // an intranet host with its port
    const QStringList labels = host.split(QLatin1Char('.'));
    if (labels.size() < 2 || labels.contains(QString()))
        return false; // no dot (or an empty label): words
    // Chinese where the host stands is words, unless it ends in an ASCII top-level domain
    // ("中文.com" is an address).
    for (const QChar c : host) {
        if (c.unicode() > 0x7F)
            return IsAsciiHostLabel(labels.last()) && !labels.last().at(0).isDigit();
    }
    return true;
}
