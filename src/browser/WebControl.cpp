// The compatibility engine's control, page and shared network access, and the function through
// which the browser makes controls once it has opened this module.
#include "browser/WebControl.h"

#include "browser/EngineSettings.h"
#include "browser/LinkPolicy.h"
#include "browser/WebControlCaptions.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/WebCookieJar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QPointer>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebElement>
#include <QWebFrame>
#include <QWebSecurityOrigin>
#include <QWebSettings>

namespace {
// The address a frame was last allowed to navigate to (a dynamic property of the frame).
const char* const NavigationProperty = "quellonNavigation";
} // namespace

TWebNetworkAccess* TWebNetworkAccess::Instance() {
    static QPointer<TWebNetworkAccess> instance;
    if (!instance)
        instance = new TWebNetworkAccess(QCoreApplication::instance());
    return instance;
}

TWebNetworkAccess::TWebNetworkAccess(QObject* parent) : QNetworkAccessManager(parent) {
    const QString folder = CacheDir() + QStringLiteral("webcontrol/");
    QDir().mkpath(folder);
    setCookieJar(new TWebCookieJar(TWebCookieJar::DefaultFile(), this));
    auto* cache = new QNetworkDiskCache(this);
    cache->setCacheDirectory(folder);
    setCache(cache);
}

QNetworkReply* TWebNetworkAccess::createRequest(Operation op, const QNetworkRequest& request,
                                                QIODevice* data) {
    // A local page's own requests to other addresses are refused here: the engine would send them.
    const auto* frame = qobject_cast<QWebFrame*>(request.originatingObject());
    if (frame && !TLinkPolicy::LocalPageMayRequest(frame->securityOrigin().scheme() == QLatin1String("file"),
                                                   frame->property(NavigationProperty).toUrl(), request.url()))
        return QNetworkAccessManager::createRequest(op, QNetworkRequest(QUrl(QStringLiteral("refused:"))), data);
    QNetworkRequest chinese(request);
    chinese.setRawHeader("Accept-Language", "zh-CN");
    return QNetworkAccessManager::createRequest(op, chinese, data);
}

namespace {
// The engine's error of a load that became a download ("Frame load interrupted by policy change").
constexpr int FrameLoadInterruptedByPolicyChange = 102;

// Replaces the box functions of the frame's window by ones that throw, ending a loop that calls them.
const char* const EndDialogsScript =
    "(function(){var f=function(){throw new Error('this page shows no more message boxes');};"
    "try{window.alert=f;window.confirm=f;window.prompt=f;}catch(e){}})()";
} // namespace

TWebPage::TWebPage(TWebControl* control) : QWebPage(control), m_control(control) {
    InstallWebControlCaptions(); // before the engine makes its actions
    setNetworkAccessManager(TWebNetworkAccess::Instance());
    setForwardUnsupportedContent(true);
    ApplyWebKitSettings(QWebSettings::globalSettings());
    ApplyWebKitSettings(settings());
}

QWebPage* TWebPage::createWindow(WebWindowType type) {
    if (!m_control->NewWindow)
        return nullptr;
    // Every control of this process is made by this module.
    auto* control = static_cast<TWebControl*>(m_control->NewWindow(m_control));
    return control ? control->WebPage() : nullptr;
}

bool TWebPage::acceptNavigationRequest(QWebFrame* frame, const QNetworkRequest& request,
                                       NavigationType type) {
    const bool pageStarted = type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted ||
                             type == NavigationTypeFormResubmitted;
    if ((pageStarted || TLinkPolicy::IsExternal(request.url())) &&
        !TLinkPolicy::PageMayNavigate(mainFrame()->url(), request.url(), pageStarted))
        return false;
    if (type == NavigationTypeLinkClicked &&
        (m_clickButton == Qt::MiddleButton || m_clickModifiers.testFlag(Qt::ControlModifier))) {
        // As in Chromium tabs: the link opens in a new tab, this page stays.
        emit m_control->newTabRequested(request.url().toString());
        return false;
    }
    if (frame)
        frame->setProperty(NavigationProperty, request.url());
    if (frame == mainFrame()) {
        m_dialogGuard.Reset();
        m_dialogsEnded = false;
    }
    return QWebPage::acceptNavigationRequest(frame, request, type);
}

void TWebPage::SetLinkClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    m_clickButton = button;
    m_clickModifiers = modifiers;
}

bool TWebPage::supportsExtension(Extension extension) const {
    return extension == ErrorPageExtension || QWebPage::supportsExtension(extension);
}

bool TWebPage::extension(Extension extension, const ExtensionOption* option, ExtensionReturn* output) {
    if (extension == ErrorPageExtension) {
        const auto* error = static_cast<const ErrorPageExtensionOption*>(option);
        // A link that turned out to be a download: the page stays as it is, no error page.
        if (error->domain == WebKit && error->error == FrameLoadInterruptedByPolicyChange)
            return false;
    }
    return QWebPage::extension(extension, option, output);
}

bool TWebPage::shouldInterruptJavaScript() {
    return PageMsgBox(tr("此网页上的脚本运行时间过长，浏览器可能停止响应。\r\n\r\n是否停止运行此脚本?"),
                      MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool TWebPage::MayShowDialog(QWebFrame* frame) {
    if (!m_dialogsEnded && !m_dialogGuard.Silenced())
        return true;
    if (frame)
        frame->evaluateJavaScript(QLatin1String(EndDialogsScript));
    return false;
}

void TWebPage::javaScriptAlert(QWebFrame* frame, const QString& msg) {
    if (MayShowDialog(frame))
        m_dialogGuard.Alert(msg);
}

bool TWebPage::javaScriptConfirm(QWebFrame* frame, const QString& msg) {
    return MayShowDialog(frame) && m_dialogGuard.Confirm(msg);
}

bool TWebPage::javaScriptPrompt(QWebFrame* frame, const QString& msg, const QString& defaultValue,
                                QString* result) {
    return MayShowDialog(frame) && m_dialogGuard.Prompt(msg, defaultValue, result);
}

TWebControl::TWebControl(QWidget* parent) : TWebControlView(parent), m_view(new QWebView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    m_view->installEventFilter(this);
    m_page = new TWebPage(this);
    m_view->setPage(m_page);
    connect(m_view, &QWebView::titleChanged, this, &TWebControl::titleChange);
    connect(m_view, &QWebView::loadStarted, this, [this] {
        m_loading = true;
        emit downloadBegin();
    });
    connect(m_view, &QWebView::loadFinished, this, [this](bool ok) {
        m_loading = false;
        emit downloadComplete();
        emit documentComplete(ok);
    });
    connect(m_view, &QWebView::statusBarMessage, this, &TWebControl::statusTextChange);
    connect(m_page, &QWebPage::linkHovered, this,
            [this](const QString& link, const QString&, const QString&) { emit statusTextChange(link); });
    connect(m_page, &QWebPage::windowCloseRequested, this, &TWebControl::windowClosing);
    connect(m_page, &QWebPage::unsupportedContent, this, &TWebControl::UnsupportedContent);
    connect(m_page, &QWebPage::downloadRequested, this, [this](const QNetworkRequest& request) {
        const QUrl url = request.url();
        emit downloadRequested(url.toString(), QFileInfo(url.path()).fileName(), -1);
    });
}

TWebControl::~TWebControl() {
    NewWindow = nullptr;
    disconnect(this, nullptr, nullptr, nullptr);
}

bool TWebControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        // Known to the page while the engine handles this click (a link opens on the release).
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_page->SetLinkClick(mouse->button(), mouse->modifiers());
        QTimer::singleShot(0, m_page, [page = m_page] { page->SetLinkClick(Qt::NoButton, Qt::NoModifier); });
    }
    return TWebControlView::eventFilter(watched, event);
}

void TWebControl::Navigate(const QString& url) {
    m_view->load(QUrl::fromUserInput(url));
}

QString TWebControl::CurrentUrl() const {
    const QUrl address = m_page->mainFrame()->url();
    return address.isEmpty() ? QStringLiteral("about:blank") : address.toString();
}

QString TWebControl::ActiveElementHref() const {
    const QVariant href = m_page->mainFrame()->evaluateJavaScript(QStringLiteral(
        "(function(){try{var e=document.activeElement;var h=e&&e.getAttribute('href');return h?String(h):'';}"
        "catch(x){return '';}})()"));
    return href.toString();
}

qreal TWebControl::StyleZoom() const {
    const QString zoom = m_page->mainFrame()
                             ->evaluateJavaScript(QStringLiteral("document.body?document.body.style.zoom:''"))
                             .toString()
                             .trimmed();
    bool ok = false;
    const qreal value = zoom.toDouble(&ok);
    return ok ? value : 1.0; // empty or not a number (a percentage text) reads as 1.0
}

void TWebControl::SetStyleZoom(qreal zoom) {
    m_page->mainFrame()->evaluateJavaScript(
        QStringLiteral("if(document.body)document.body.style.zoom='%1';").arg(zoom));
}

void TWebControl::Find(const QString& text, bool matchCase, bool forward, TFindResult matches) {
    QWebPage::FindFlags flags = QWebPage::FindWrapsAroundDocument;
    if (matchCase)
        flags |= QWebPage::FindCaseSensitively;
    if (!forward)
        flags |= QWebPage::FindBackward;
    const bool found = m_view->findText(text, flags);
    // The engine says whether it found a match, not how many there are.
    if (matches)
        matches(found ? 1 : 0, -1);
}

void TWebControl::StopFinding() {
    m_view->findText(QString());
}

bool TWebControl::SavePicture(const QString& fileName) {
    return SaveWebBrowserSnapshot(this, fileName);
}

void TWebControl::Print(QPrinter* printer, std::function<void(bool)> done) {
    m_page->mainFrame()->print(printer);
    if (done)
        done(true);
}

void TWebControl::ToHtml(std::function<void(const QString&)> callback) const {
    callback(m_page->mainFrame()->toHtml());
}

void TWebControl::UnsupportedContent(QNetworkReply* reply) {
    // Content the control cannot show is a download: report it and drop the reply.
    const QUrl url = reply->url();
    QString name;
    const QString disposition = QString::fromLatin1(reply->rawHeader("Content-Disposition"));
    const QRegularExpression filename(QStringLiteral("filename\\*?=\\s*\"?(?:UTF-8'')?([^\";]+)\"?"),
                                      QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = filename.match(disposition);
    if (match.hasMatch())
        name = QFileInfo(QUrl::fromPercentEncoding(match.captured(1).toLatin1())).fileName();
    if (name.isEmpty())
        name = QFileInfo(url.path()).fileName();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const qint64 size = length.isValid() ? length.toLongLong() : -1;
    reply->abort();
    reply->deleteLater();
    emit downloadRequested(url.toString(), name, size);
}

extern "C" Q_DECL_EXPORT TWebControlView* QuellonCreateWebControl(QWidget* parent) {
    return new TWebControl(parent);
}
