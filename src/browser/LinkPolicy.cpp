// The navigation rules shared by both engines' pages.
#include "browser/LinkPolicy.h"

#include "browser/PageMessageBox.h"
#include "common/Dialogs.h"
#include "common/Logging.h"

#include <QDesktopServices>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

namespace {
// Schemes the engines show in the tab (or refuse themselves); every other one is another program's.
const QSet<QString>& InternalSchemes() {
    static const QSet<QString> schemes{
        QStringLiteral("http"),  QStringLiteral("https"),     QStringLiteral("file"),
        QStringLiteral("about"), QStringLiteral("data"),      QStringLiteral("blob"),
        QStringLiteral("javascript"), QStringLiteral("ftp"),  QStringLiteral("ws"),
        QStringLiteral("wss"),   QStringLiteral("local"),     QStringLiteral("qrc"),
        QStringLiteral("view-source"), QStringLiteral("chrome"), QStringLiteral("chrome-error"),
        QStringLiteral("devtools"), QStringLiteral("filesystem")};
    return schemes;
}

bool IsWeb(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}
} // namespace

bool TLinkPolicy::IsExternal(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return !scheme.isEmpty() && !InternalSchemes().contains(scheme);
}

bool TLinkPolicy::RefusesLocal(const QUrl& from, const QUrl& to) {
    return IsWeb(from) && to.isLocalFile();
}

QString TLinkPolicy::HandlerOf(const QString& scheme) {
    // The scheme reaches xdg-mime as one argument, never through a shell; it is checked anyway so
    // that a page's odd scheme cannot become an option.
    static const QRegularExpression plain(QStringLiteral("^[a-z][a-z0-9+.-]*$"));
    if (!plain.match(scheme).hasMatch())
        return QString();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme});
    if (!query.waitForFinished(1000)) {
        query.kill();
        query.waitForFinished(200);
        return QString();
    }
    QString handler = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (handler.endsWith(QLatin1String(".desktop")))
        handler.chop(8);
    return handler;
}

QString TLinkPolicy::Question(const QUrl& url, const QString& handler) {
    return QObject::tr("要打开外部程序处理此链接吗？\n\n协议：%1\n程序：%2\n地址：%3")
        .arg(url.scheme(), handler.isEmpty() ? QObject::tr("（系统未设置处理程序）") : handler,
             url.toDisplayString().left(300));
}

bool TLinkPolicy::AskAndOpen(const QUrl& url) {
    const QString question = Question(url, HandlerOf(url.scheme().toLower()));
    if (PageMsgBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        WriteLog(QStringLiteral("external link not opened: ") + url.scheme());
        return false;
    }
    return QDesktopServices::openUrl(url);
}

bool TLinkPolicy::LocalPageMayRequest(bool localPage, const QUrl& navigation, const QUrl& target) {
    return !localPage || target.isLocalFile() || target.scheme() == QLatin1String("data") ||
           target.adjusted(QUrl::RemoveFragment) == navigation.adjusted(QUrl::RemoveFragment);
}

bool TLinkPolicy::PageMayNavigate(const QUrl& from, const QUrl& to, bool userAsked) {
    if (IsExternal(to)) {
        if (userAsked)
            AskAndOpen(to);
        return false;
    }
    if (RefusesLocal(from, to)) {
        WriteLog(QStringLiteral("a page of the web may not open a local file: ") + from.host());
        return false;
    }
    return true;
}
