// The desktop's network settings program that stands in for the Internet Options control panel:
// the configured one, or the first of a few well-known programs installed on this system.
#pragma once

#include <QString>
#include <QStringList>

struct TNetworkSettingsProgram {
    QString Program; // full path; empty when no program is available
    QStringList Arguments;
    // Captions of the program's window: it is the top-level window titled one of these.
    QStringList Titles;

    bool Available() const { return !Program.isEmpty(); }
};

// configured: "command line|window title[|another title...]", or empty to look for the known
// programs. searchPath: the folders searched for the programs (empty: the PATH of this process).
// A configured program that cannot be found is not replaced by a known one.
TNetworkSettingsProgram FindNetworkSettingsProgram(const QString& configured,
                                                   const QStringList& searchPath = QStringList());
// The environment variable QUELLON_NETWORK_SETTINGS when set, else the build's setting.
QString ConfiguredNetworkSettings();
