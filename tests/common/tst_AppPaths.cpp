// Tests of the program folders: the program folder from the running executable, where the data
// file and the cache live (portable or per user), the per-user folders and the addresses of the
// bundled site.
#include "BuildConfig.h"
#include "common/AppPaths.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestAppPaths : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void appDirIsTheExecutablesFolder();
    void userFolders();
    void portableFolderKeepsItsData();
    void installedFolderGivesEachUserTheirOwnData();
    void readOnlyFolderIsNotPortable();
    void siteAddresses();
};

void TestAppPaths::appDirIsTheExecutablesFolder() {
    const QString expected = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath() + "/";
    QCOMPARE(AppDir(), expected);
    QTemporaryDir dir;
    SetAppDir(dir.path());
    QCOMPARE(AppDir(), QDir::cleanPath(dir.path()) + "/");
    SetAppDir(dir.path() + "/");
    QCOMPARE(AppDir(), QDir::cleanPath(dir.path()) + "/");
    SetAppDir(QString()); // back to the executable's folder
    QCOMPARE(AppDir(), expected);
}

void TestAppPaths::userFolders() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QCOMPARE(UserDataDir(), data + "/Brisvane/");

    QTemporaryDir home;
    const QByteArray previousHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    const QString downloads = DefaultDownloadDir();
    qputenv("HOME", previousHome);
    QVERIFY2(downloads.startsWith(home.path() + "/"), qPrintable(downloads));
    QVERIFY(downloads.endsWith(QStringLiteral("/Quellon下载/")));
    QVERIFY(QFileInfo(downloads).isDir());
}

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder holding a shipped data file; marked as installed for every user when asked.
void MakeProgramFolder(const QString& folder, bool shared) {
    QDir().mkpath(folder + "/dat");
    QFile shipped(folder + "/dat/data.dat");
    QVERIFY(shipped.open(QIODevice::WriteOnly));
    shipped.write("shipped tables");
    shipped.close();
    if (shared) {
        QFile marker(folder + "/" + SharedInstallMarker);
        QVERIFY(marker.open(QIODevice::WriteOnly));
    }
}
} // namespace

void TestAppPaths::portableFolderKeepsItsData() {
    QTemporaryDir program;
    MakeProgramFolder(program.path(), false);
    SetAppDir(program.path());
    QVERIFY(IsPortable());
    QCOMPARE(DataFilePath(), program.path() + "/dat/data.dat");
    QCOMPARE(CacheDir(), program.path() + "/cache/");
    QCOMPARE(ProvideDataFile(), program.path() + "/dat/data.dat");
    QVERIFY(!QFileInfo::exists(UserRoot()));
    SetAppDir(QString());
}

void TestAppPaths::installedFolderGivesEachUserTheirOwnData() {
    QTemporaryDir program;
    MakeProgramFolder(program.path(), true);
    SetAppDir(program.path());
    const QByteArray previousHome = qgetenv("HOME");
    QStringList files;
    for (const char* user : {"first", "second"}) {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        QVERIFY(!IsPortable());
        QVERIFY(CacheDir().startsWith(home.path() + "/"));
        QVERIFY(CacheDir().endsWith("/quellon/cache/"));
        const QString file = ProvideDataFile();
        QCOMPARE(file, UserRoot() + "dat/data.dat");
        QVERIFY2(file.startsWith(home.path() + "/"), user);
        QCOMPARE(ReadAll(file), QByteArray("shipped tables"));
        QCOMPARE(QFile::permissions(file) & 0x0077, QFileDevice::Permissions()); // the user's alone
        // Once there, the user's file is theirs: a later start never copies over it.
        QFile own(file);
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write(user);
        own.close();
        QCOMPARE(ProvideDataFile(), file);
        QCOMPARE(ReadAll(file), QByteArray(user));
        QCOMPARE(QDir(UserRoot() + "dat").entryList(QDir::Files), QStringList("data.dat"));
        files.append(file);
    }
    qputenv("HOME", previousHome);
    QVERIFY(files.at(0) != files.at(1));
    QCOMPARE(ReadAll(program.path() + "/dat/data.dat"), QByteArray("shipped tables"));
    SetAppDir(QString());
}

void TestAppPaths::readOnlyFolderIsNotPortable() {
    QTemporaryDir root;
    QFile::setPermissions(root.path(),
                          QFile::permissions(root.path()) | QFileDevice::ExeOther | QFileDevice::ReadOther);
    const QString program = root.path() + "/quellon";
    MakeProgramFolder(program, false);
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                       QFileDevice::ExeOther);
    SetAppDir(program);
    const QString failure = RunWithoutPrivileges([] {
        return IsPortable() ? QStringLiteral("a read-only program folder counted as portable") : QString();
    });
    SetAppDir(QString());
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::WriteOwner);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestAppPaths::siteAddresses() {
    if (QString::fromUtf8(BuildConfig::SiteRoot).isEmpty()) {
        QTemporaryDir dir;
        SetAppDir(dir.path() + "/程序");
        QCOMPARE(SiteRoot(), QUrl::fromLocalFile(dir.path() + "/程序/res/site/").toString());
        QVERIFY(SiteRoot().startsWith("file:///"));
        SetAppDir(QString());
    }
    QVERIFY(SiteRoot().endsWith("/"));
    QCOMPARE(NavigationPageUrl(), SiteRoot() + "123.html");
}

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_AppPaths.moc"
