// Finding the network settings program.
#include "services/NetworkSettings.h"

#include "BuildConfig.h"

#include <QProcess>
#include <QStandardPaths>

namespace {
struct TKnownProgram {
    const char* CommandLine;
    const char* Titles; // "|"-separated
};

// The desktops' own network and proxy settings, in the order they are tried.
const TKnownProgram kKnownPrograms[] = {
    {"nm-connection-editor", "Network Connections|网络连接"},
    {"gnome-control-center network", "Settings|设置|Network|网络"},
    {"kcmshell5 proxy", "Proxy|代理"},
    {"kcmshell5 kcm_networkmanagement", "Connections|连接"},
};

TNetworkSettingsProgram Parse(const QString& commandLine, const QString& titles, const QStringList& searchPath) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return {};
    const QString program = QStandardPaths::findExecutable(arguments.takeFirst(), searchPath);
    if (program.isEmpty())
        return {};
    return {program, arguments, titles.split(QLatin1Char('|'), Qt::SkipEmptyParts)};
}
} // namespace

TNetworkSettingsProgram FindNetworkSettingsProgram(const QString& configured, const QStringList& searchPath) {
    if (!configured.trimmed().isEmpty()) {
        const int bar = configured.indexOf(QLatin1Char('|'));
        return Parse(configured.left(bar), bar < 0 ? QString() : configured.mid(bar + 1), searchPath);
    }
    for (const TKnownProgram& known : kKnownPrograms) {
        TNetworkSettingsProgram found =
            Parse(QLatin1String(known.CommandLine), QString::fromUtf8(known.Titles), searchPath);
        if (found.Available())
            return found;
    }
    return {};
}

QString ConfiguredNetworkSettings() {
    const QString overridden = qEnvironmentVariable("QUELLON_NETWORK_SETTINGS");
    return overridden.isEmpty() ? QString::fromUtf8(BuildConfig::NetworkSettings) : overridden;
}
