// Finding the network settings program: the configured one, else the first known program on the
// search path; none when neither is installed.
#include "services/NetworkSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void MakeProgram(const QTemporaryDir& folder, const QString& name) {
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
} // namespace

class TestNetworkSettings : public QObject {
    Q_OBJECT

private slots:
    void noProgramInstalled() {
        QTemporaryDir empty;
        QVERIFY(!FindNetworkSettingsProgram(QString(), {empty.path()}).Available());
    }

    void firstKnownProgramOnThePath() {
        QTemporaryDir folder;
        MakeProgram(folder, QStringLiteral("kcmshell5"));
        MakeProgram(folder, QStringLiteral("gnome-control-center"));
        const TNetworkSettingsProgram found = FindNetworkSettingsProgram(QString(), {folder.path()});
        QCOMPARE(found.Program, folder.filePath(QStringLiteral("gnome-control-center")));
        QCOMPARE(found.Arguments, QStringList{QStringLiteral("network")});
        QVERIFY(found.Titles.contains(QStringLiteral("设置")));
    }

    void configuredProgramWithItsTitles() {
        QTemporaryDir folder;
        MakeProgram(folder, QStringLiteral("nm-connection-editor"));
        MakeProgram(folder, QStringLiteral("my-settings"));
        const TNetworkSettingsProgram found =
            FindNetworkSettingsProgram(QStringLiteral("my-settings --proxy \"all users\"|代理设置|Proxy"), {folder.path()});
        QCOMPARE(found.Program, folder.filePath(QStringLiteral("my-settings")));
        QCOMPARE(found.Arguments, QStringList({QStringLiteral("--proxy"), QStringLiteral("all users")}));
        QCOMPARE(found.Titles, QStringList({QStringLiteral("代理设置"), QStringLiteral("Proxy")}));
        // A configured program that is missing is not replaced by a known one.
        QVERIFY(!FindNetworkSettingsProgram(QStringLiteral("missing-settings|X"), {folder.path()}).Available());
    }
};

QTEST_GUILESS_MAIN(TestNetworkSettings)
#include "tst_NetworkSettings.moc"
