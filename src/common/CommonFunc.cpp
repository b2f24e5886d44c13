// The free helper functions shared by most of the program: hashing, sizes, times, addresses,
// favicon links, file types, folders, default-browser registration and logging.
#include "common/CommonFunc.h"

#include "BuildConfig.h"
#include "common/AnsiCodec.h"
#include "common/AppPaths.h"
#include "common/HttpClient.h"
#include "common/WebCookieJar.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QNetworkCacheMetaData>
#include <QNetworkDiskCache>
#include <QPainter>
#include <QProcess>
#include <QUrl>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcQuellon, "quellon", QtInfoMsg)

namespace {
// Starts with "http://" or "https://" (any letter case): the length of that scheme prefix, else 0.
int WebSchemeLength(const QString& url) {
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return 7;
    if (url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return 8;
    return 0;
}

// Index where the authority of a web address ends (its first "/", "?" or "#"), or -1.
int AuthorityEnd(const QString& url, int from) {
    for (int i = from; i < url.size(); ++i) {
        const QChar c = url.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#'))
            return i;
    }
    return -1;
}

// Aborts the client's request once the time is up, from a thread of its own: a server that keeps
// sending a byte now and then never trips the client's read time-out. Ends with the scope.
class TAbortDeadline {
public:
    TAbortDeadline(THttpClient& client, int milliseconds)
        : m_watch([this, &client, milliseconds] {
              std::unique_lock<std::mutex> lock(m_lock);
              if (!m_ended.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_over; }))
                  client.Abort();
          }) {}
    ~TAbortDeadline() {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_over = true;
        }
        m_ended.notify_one();
        m_watch.join();
    }
    TAbortDeadline(const TAbortDeadline&) = delete;
    TAbortDeadline& operator=(const TAbortDeadline&) = delete;

private:
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_over = false;
    std::thread m_watch; // last: starts once the members above exist
};

// Runs a short desktop helper program; its standard output, or empty when it is missing, fails
// or does not answer within the time limit (the desktop tools can hang on a broken session bus).
QString RunDesktopTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(2000))
        return QString();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return QString();
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// A desktop-entry Exec argument: double-quoted with the quoting rules of the desktop entry format
// (", `, $ and \ escaped inside the quotes, then \ escaped again as a string value; % doubled).
QString DesktopExecQuote(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QLatin1String("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QLatin1String("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QLatin1String("%%");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool MatchesAllNames(const QString& mask) {
    return mask.isEmpty() || mask == QLatin1String("*") || mask == QLatin1String("*.*");
}

// Removes entries of one disk cache folder by their source address, as the cleaner's rules say.
void ClearDiskCache(const QString& cacheFolder, const QString& filter, bool txtOnly,
                    const std::atomic<bool>* stopFlag) {
    if (!QFileInfo(cacheFolder).isDir())
        return;
    QNetworkDiskCache cache;
    cache.setCacheDirectory(cacheFolder);
    QStringList files;
    // A mask also applies to subfolder names, so every file is listed and the entries picked here.
    FindFilesRecursive(cacheFolder, QStringLiteral("*"), &files);
    for (const QString& file : qAsConst(files)) {
        if (stopFlag && stopFlag->load())
            return;
        if (!file.endsWith(QLatin1String(".d")))
            continue;
        const QNetworkCacheMetaData meta = cache.fileMetaData(file);
        if (!meta.isValid())
            continue; // not a cache entry: left alone
        const QString url = meta.url().toString();
        const bool isTxt = url.toLower().endsWith(QLatin1String(".txt"));
        const bool remove = txtOnly
                                ? isTxt && (filter.isEmpty() || url.contains(filter))
                                : (!filter.isEmpty() && url.contains(filter)) || (filter.isEmpty() && !isTxt);
        if (remove)
            QFile::remove(file);
    }
}
} // namespace

QString Md5Hex(const QString& text) {
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString FormatSize(qint64 bytes) {
    if (bytes < 1024)
        return QString::number(bytes) + QLatin1Char('B');
    if (bytes < 1048576)
        return QString::asprintf("%.2fK", bytes / 1024.0);
    if (bytes < 1073741824)
        return QString::asprintf("%.2fM", bytes / 1048576.0);
    return QString::asprintf("%.2fG", bytes / 1073741824.0);
}

QString FetchUrlText(const QString& url, int maxBytes, int timeLimitMs) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    THttpClient client;
    client.SetUserAgent(QStringLiteral("OrrelGetIP"));
    client.SetHeader("Cache-Control", "no-cache");
    client.OnWork = [&client, maxBytes](qint64 received) {
        if (received >= maxBytes)
            client.Abort();
    };
    {
        const TAbortDeadline deadline(client, timeLimitMs);
        client.Get(url, &buffer);
    }
    // Decoded as a whole: decoding piece by piece would break characters split between pieces.
    return FromAnsi(buffer.data().left(maxBytes));
}

QString FindFavIconLink(const QString& pageUrl, const QString& pageText) {
    QString text = pageText;
    text.replace(QLatin1Char('\''), QLatin1Char('"'));
    const QString lower = text.toLower();
    const int match = lower.indexOf(QLatin1String("rel=\"shortcut icon\""));
    if (match < 0)
        return QString();
    const int tagStart = qMax(0, lower.lastIndexOf(QLatin1Char('<'), match));
    int tagEnd = lower.indexOf(QLatin1Char('>'), match);
    if (tagEnd < 0)
        tagEnd = lower.size() - 1;
    const QString tag = text.mid(tagStart, tagEnd - tagStart + 1);
    const QString href = QStringLiteral("href=\"");
    const int hrefAt = tag.toLower().indexOf(href);
    if (hrefAt < 0)
        return QString();
    const int linkStart = hrefAt + href.size();
    const int linkEnd = tag.indexOf(QLatin1Char('"'), linkStart);
    if (linkEnd < 0)
        return QString();
    // Blanks around the address are dropped before it is classified, so that " /i.ico" is still
    // a root-relative link.
    QString link = tag.mid(linkStart, linkEnd - linkStart).trimmed();
    if (!link.startsWith(QLatin1String("http"))) {
        if (link.startsWith(QLatin1String("//")))
            link = QLatin1String("http://") + link.mid(2);
        else if (link.startsWith(QLatin1Char('/')))
            link = SiteRootOfUrl(pageUrl) + link.mid(1);
        else
            link = UrlDirectory(pageUrl) + link;
    }
    return link;
}

QString TempFolder() {
    const QString folder = QDir::tempPath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString LocalAppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/');
}

QString ShortPath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return path;
    if (path.endsWith(QLatin1Char('/')) && !canonical.endsWith(QLatin1Char('/')))
        return canonical + QLatin1Char('/');
    return canonical;
}

QString UrlDirectory(const QString& url) {
    QString cut = url;
    const int hash = cut.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        cut.truncate(hash);
    const int query = cut.indexOf(QLatin1Char('?'));
    if (query >= 0)
        cut.truncate(query);
    // A web address without a path ("http://host") is its own folder: "http://host/".
    const int scheme = WebSchemeLength(cut);
    if (scheme > 0 && cut.size() > scheme && cut.indexOf(QLatin1Char('/'), scheme) < 0)
        return cut + QLatin1Char('/');
    const int last = qMax(cut.lastIndexOf(QLatin1Char('/')), cut.lastIndexOf(QLatin1Char(':')));
    return cut.left(last + 1);
}

QString HostOfUrl(const QString& url) {
    QString host = url.trimmed();
    host.remove(0, WebSchemeLength(host));
    const int slash = host.indexOf(QLatin1Char('/'));
    return slash >= 0 ? host.left(slash) : host;
}

void FindFilesRecursive(const QString& folder, const QString& mask, QStringList* list) {
    if (!list)
        return;
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QDir dir(base);
    // "*" and "*.*" match every name, as the callers' masks expect.
    if (!MatchesAllNames(mask))
        dir.setNameFilters({mask});
    // Without QDir::CaseSensitive the mask ignores letter case.
    dir.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Unsorted);
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            // A linked folder is not followed: it may lead back to one of its parents.
            if (!entry.isSymLink())
                FindFilesRecursive(base + entry.fileName(), mask, list);
        } else {
            list->append(base + entry.fileName());
        }
    }
}

int ShiftToHotKeyModifiers(bool shift, bool alt, bool ctrl) {
    return (shift ? MOD_SHIFT : 0) | (ctrl ? MOD_CONTROL : 0) | (alt ? MOD_ALT : 0);
}

void WriteLog(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    qCInfo(lcQuellon).noquote() << QStringLiteral("[%1 %2]: %3")
                                       .arg(QLatin1String(BuildConfig::VendorName),
                                            QLatin1String(BuildConfig::Version), line);
}

namespace {

// The local wall-clock reading at an instant, counted like Unix milliseconds.
qint64 WallClockMSecs(qint64 msecs) {
    return msecs + QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime).offsetFromUtc() * 1000LL;
}

// The instant the clock skips over a wall-clock time that does not exist (a daylight-saving gap,
// such as 00:00 where the change happens at midnight): the first second whose reading is later.
qint64 EndOfSkippedTime(const QDateTime& localTime) {
    const qint64 wall = QDateTime(localTime.date(), localTime.time(), Qt::UTC).toMSecsSinceEpoch();
    // Zone offsets stay within a day of UTC, and the reading grows with time around a gap.
    constexpr qint64 kDay = 86400000;
    qint64 before = (wall - kDay) / 1000;
    qint64 after = (wall + kDay) / 1000;
    while (after - before > 1) {
        const qint64 middle = before + (after - before) / 2;
        if (WallClockMSecs(middle * 1000) > wall)
            after = middle;
        else
            before = middle;
    }
    return after * 1000;
}

} // namespace

qint32 DateTimeToUnixTime(const QDateTime& localTime) {
    qint64 ms = 0;
    if (localTime.isValid())
        ms = localTime.toMSecsSinceEpoch();
    else if (localTime.timeSpec() == Qt::LocalTime && localTime.date().isValid() &&
             localTime.time().isValid())
        ms = EndOfSkippedTime(localTime);
    else
        return 0;
    // Nearest whole second, also for times before 1970.
    const qint64 seconds = (ms >= 0 ? ms + 500 : ms - 499) / 1000;
    return static_cast<qint32>(seconds);
}

QDateTime UnixTimeToDateTime(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}

QString FavIconFileName(const QString& url) {
    return Md5Hex(url) + QLatin1String(".ico");
}

QString MainDomainOfUrl(const QString& url) {
    static const char* const suffixes[] = {
        ".com.cn", ".net.cn", ".org.cn", ".gov.cn", ".ac.cn", ".bj.cn", ".sh.cn", ".tj.cn",
        ".cq.cn",  ".he.cn",  ".sx.cn",  ".nm.cn",  ".ln.cn", ".jl.cn", ".hl.cn", ".js.cn",
        ".zj.cn",  ".ah.cn",  ".fj.cn",  ".jx.cn",  ".sd.cn", ".ha.cn", ".hb.cn", ".hn.cn",
        ".gd.cn",  ".gx.cn",  ".hi.cn",  ".sc.cn",  ".gz.cn", ".yn.cn", ".xz.cn", ".sn.cn",
        ".gs.cn",  ".qh.cn",  ".nx.cn",  ".xj.cn",  ".tw.cn", ".hk.cn", ".mo.cn", ".com",
        ".net",    ".org",    ".biz",    ".info",   ".cc",    ".tv",    ".cn"};
    // The host as an address parser finds it: a user and password part ("http://bank.com.cn:x@
    // other.org/"), the port, the path and the query ("?u=https://...") are not the domain.
    const QString text = url.trimmed();
    QString host =
        QUrl(WebSchemeLength(text) > 0 ? text : QStringLiteral("http://") + text).host(QUrl::FullyDecoded).toLower();
    QString suffix;
    for (const char* candidate : suffixes) {
        if (host.endsWith(QLatin1String(candidate))) {
            suffix = QLatin1String(candidate);
            host.chop(suffix.size());
            break;
        }
    }
    return host.mid(host.lastIndexOf(QLatin1Char('.')) + 1) + suffix;
}

QString SiteRootOfUrl(const QString& url) {
    const QString lower = url.toLower();
    const int scheme = WebSchemeLength(lower);
    if (scheme > 0) {
        // The authority ends at its first "/", "?" or "#"; without a path the root gets its "/".
        const int end = AuthorityEnd(lower, scheme);
        if (end < 0)
            return lower.size() > scheme ? lower + QLatin1Char('/') : QString();
        if (lower.at(end) == QLatin1Char('/'))
            return lower.left(end + 1);
        return end > scheme ? lower.left(end) + QLatin1Char('/') : QString();
    }
    const int slash = lower.indexOf(QLatin1Char('/'));
    return slash >= 0 ? lower.left(slash + 1) : QString();
}

void ClearUrlCache(const QString& filter, bool txtOnly, const std::atomic<bool>* stopFlag) {
    const QString folder = AppDir() + QLatin1String("cache/webcontrol/");
    ClearDiskCache(folder, filter, txtOnly, stopFlag);
    // The compatibility engine keeps its cookies in a jar, not as ".txt" cache entries.
    if (txtOnly && !(stopFlag && stopFlag->load()))
        TWebCookieJar::RemoveCookiesOfFile(TWebCookieJar::DefaultFile(), filter);
}

QImage MakeThumbnail(const QString& imageFile, const QString& targetFile, int size, bool save) {
    if (!targetFile.isEmpty() && QFileInfo::exists(targetFile))
        return QImage();
    const QImage source(imageFile);
    if (source.isNull() || size < 3)
        return QImage();
    // The picture fills the square inside a one-pixel margin, keeping its aspect ratio.
    const int inner = size - 2;
    const QSize scaled = source.size().scaled(inner, inner, Qt::KeepAspectRatio).expandedTo({1, 1});
    QImage thumbnail(size, size, QImage::Format_RGB888);
    thumbnail.fill(Qt::white);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled.width(),
                       scaled.height());
    painter.drawImage(target, source);
    painter.end();
    if (save && !targetFile.isEmpty())
        thumbnail.save(targetFile);
    return thumbnail;
}

int FileTypeOfExtension(const QString& extension) {
    static const QHash<QString, int> types = {
        {".avi", ftVideo}, {".flv", ftVideo}, {".mp4", ftVideo}, {".mpg", ftVideo},  {".mpeg", ftVideo},
        {".doc", ftWord},  {".docx", ftWord}, {".rtf", ftWord},  {".exe", ftExe},    {".mp3", ftAudio},
        {".wav", ftAudio}, {".pdf", ftPdf},   {".jpg", ftImage}, {".jpeg", ftImage}, {".bmp", ftImage},
        {".png", ftImage}, {".gif", ftImage}, {".ppt", ftPpt},   {".pptx", ftPpt},   {".rar", ftRar},
        {".zip", ftRar},   {".txt", ftTxt},   {".ini", ftTxt},   {".log", ftTxt},    {".xls", ftExcel},
        {".xlsx", ftExcel}};
    return types.value(extension.toLower(), ftDefault);
}

bool IsTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    char chunk[8192];
    for (;;) {
        const qint64 read = file.read(chunk, sizeof chunk);
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        if (memchr(chunk, 0, static_cast<size_t>(read)))
            return false;
    }
}

QString DefaultBrowserProgId() {
    const QString answer = RunDesktopTool(QStringLiteral("xdg-settings"), {"get", "default-web-browser"});
    if (answer.compare(QLatin1String("brisvane.desktop"), Qt::CaseInsensitive) == 0)
        return QLatin1String(BuildConfig::VendorName);
    if (answer.endsWith(QLatin1String(".desktop")))
        return answer.left(answer.size() - 8);
    return answer;
}

QString WriteBrowserDesktopFile(const QString& executablePath) {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) + QLatin1Char('/');
    if (!QDir().mkpath(folder))
        return QString();
    QSaveFile file(folder + QLatin1String("brisvane.desktop"));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "GenericName=Web Browser\n"
                                         "Exec=%2 %u\n"
                                         "Terminal=false\n"
                                         "Categories=Network;WebBrowser;\n"
                                         "MimeType=x-scheme-handler/http;x-scheme-handler/https;"
                                         "text/html;\n")
                              .arg(QLatin1String(BuildConfig::ProductName), DesktopExecQuote(executablePath));
    file.write(entry.toUtf8());
    return file.commit() ? file.fileName() : QString();
}

void RegisterAsDefaultBrowser(const QString& executablePath) {
    if (WriteBrowserDesktopFile(executablePath).isEmpty())
        return;
    RunDesktopTool(QStringLiteral("xdg-settings"), {"set", "default-web-browser", "brisvane.desktop"});
}

void SetBrowserEmulation(const QString&) {
    // The compatibility engine (QtWebKit) always renders in standards mode: no level to set.
}

QString EncodeUrlText(const QString& text) {
    static const char hex[] = "0123456789ABCDEF";
    static const QByteArray kept = QByteArrayLiteral("!$'()*-.@_");
    const QByteArray bytes = text.toUtf8();
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            kept.contains(c)) {
            encoded.append(c);
        } else if (byte == ' ') {
            encoded.append('+');
        } else {
            encoded.append('%');
            encoded.append(hex[byte >> 4]);
            encoded.append(hex[byte & 0x0F]);
        }
    }
    return QString::fromLatin1(encoded);
}

bool HasMultiByteChars(const QString& text) {
    return ToAnsi(text).size() != text.size();
}

void CloseScriptErrorWindows() {
    // The compatibility engine reports script errors to the log, never in windows of its own.
}

QSize ScreenResolution() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QSize(0, 0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(0, 0);
    return screen->geometry().size() * screen->devicePixelRatio();
}
