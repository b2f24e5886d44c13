// Making this program the desktop's default web browser, through xdg-settings and a desktop entry.
#include "common/DefaultBrowser.h"

#include "BuildConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
// Runs a short desktop helper program; its standard output, or empty when it is missing, fails
// or does not answer within the time limit (the desktop tools can hang on a broken session bus).
// *succeeded, when given, tells whether it ran and ended with exit code 0.
QString RunDesktopTool(const QString& program, const QStringList& arguments, bool* succeeded = nullptr) {
    if (succeeded)
        *succeeded = false;
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
    if (succeeded)
        *succeeded = true;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString DefaultBrowserText(const char* text) {
    return QCoreApplication::translate("DefaultBrowser", text);
}

// A desktop-entry Exec argument: as it is when made only of letters, digits and / . _ + -
// (xdg-settings takes the program's path from Exec without undoing quotes), else double-quoted
// with the quoting rules of the desktop entry format (", `, $ and \ escaped inside the quotes, then
// \ escaped again as a string value; % doubled).
QString DesktopExecQuote(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9/._+-]+$"));
    if (plain.match(path).hasMatch())
        return path;
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
} // namespace

const char* const BrowserDesktopEntry = "quellon.desktop";

QString DefaultBrowserProgId() {
    const QString answer = RunDesktopTool(QStringLiteral("xdg-settings"), {"get", "default-web-browser"});
    if (answer.compare(QLatin1String(BrowserDesktopEntry), Qt::CaseInsensitive) == 0)
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
    QSaveFile file(folder + QLatin1String(BrowserDesktopEntry));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "GenericName=Web Browser\n"
                                         "Exec=%2 %u\n"
                                         "Icon=quellon\n"
                                         "Terminal=false\n"
                                         "Categories=Network;WebBrowser;\n"
                                         "MimeType=x-scheme-handler/http;x-scheme-handler/https;"
                                         "text/html;\n")
                              .arg(QLatin1String(BuildConfig::ProductName), DesktopExecQuote(executablePath));
    file.write(entry.toUtf8());
    return file.commit() ? file.fileName() : QString();
}

QString InstalledBrowserDesktopFile(const QString& programFolder) {
    // <prefix>/lib/quellon/ -> <prefix>/share/applications/quellon.desktop
    const QString entry = QDir::cleanPath(programFolder + QLatin1String("/../../share/applications/") +
                                          QLatin1String(BrowserDesktopEntry));
    if (!QFileInfo::exists(entry))
        return QString();
    // The desktop reads the first entry of that name along its data folders; another one found
    // first (or none, when the prefix is not among them) would start some other program.
    const QString found =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QLatin1String(BrowserDesktopEntry));
    return !found.isEmpty() && QFileInfo(found).canonicalFilePath() == QFileInfo(entry).canonicalFilePath()
               ? entry
               : QString();
}

TDefaultBrowserResult RegisterAsDefaultBrowser(const QString& executablePath) {
    const QString tool = QStringLiteral("xdg-settings");
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return {false,
                DefaultBrowserText("无法设为默认浏览器：系统中没有 xdg-settings 程序（请安装 xdg-utils）。")};
    // An installed copy names the entry its package put in place; a portable folder writes the
    // user's own entry for its executable.
    if (InstalledBrowserDesktopFile(QFileInfo(executablePath).absolutePath()).isEmpty() &&
        WriteBrowserDesktopFile(executablePath).isEmpty())
        return {false, DefaultBrowserText("无法设为默认浏览器：无法写入桌面文件 %1。")
                           .arg(QLatin1String(BrowserDesktopEntry))};
    const QString entry = QLatin1String(BrowserDesktopEntry);
    bool set = false;
    RunDesktopTool(tool, {QStringLiteral("set"), QStringLiteral("default-web-browser"), entry}, &set);
    if (!set)
        return {false, DefaultBrowserText("无法设为默认浏览器：xdg-settings 执行失败。")};
    // xdg-settings may end well without the desktop taking the setting: ask it back.
    if (RunDesktopTool(tool, {QStringLiteral("check"), QStringLiteral("default-web-browser"), entry}) !=
        QLatin1String("yes"))
        return {false, DefaultBrowserText("无法设为默认浏览器：桌面环境没有采用该设置。")};
    return {true,
            DefaultBrowserText("已将 %1 设为默认浏览器。").arg(QLatin1String(BuildConfig::ProductName))};
}
