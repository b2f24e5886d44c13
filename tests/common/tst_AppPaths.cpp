// Tests of the program folders: the program folder from the running executable, where the data
// file lives (beside it, or per user), the per-user folders and the addresses of the bundled site.
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
    void sharedFolderGivesTheUserTheirOwnData();
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

void TestAppPaths::sharedFolderGivesTheUserTheirOwnData() {
    QTemporaryDir program, home;
    const QString shipped = program.filePath("dat/data.dat");
    QVERIFY(QDir().mkpath(program.filePath("dat")) && QFile::copy(QUELLON_DATA_TEMPLATE, shipped));
    SetAppDir(program.path());
    QCOMPARE(ProvideDataFile(), shipped); // the user's own folder: portable
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(program.path(), readOnly); // another user's folder: their data goes home
    QCOMPARE(RunWithoutPrivileges([] { return IsPortable() ? QStringLiteral("portable") : QString(); }),
             QString());
    QFile::setPermissions(program.path(), readOnly | QFile::WriteOwner);
    QFile(program.filePath(SharedInstallMarker)).open(QIODevice::WriteOnly); // even root's data goes home
    const QByteArray previousHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    QCOMPARE(CacheDir(), UserCacheRoot() + "cache/");
    const QString file = ProvideDataFile();
    QVERIFY(file.startsWith(home.path() + "/") && QFileInfo(file).size() == QFileInfo(shipped).size());
    QCOMPARE(QFile::permissions(file) & 0x0077, QFileDevice::Permissions()); // the user's alone
    QVERIFY(QFile::resize(file, 0)); // once there it is the user's: a later start never copies over it
    QCOMPARE(ProvideDataFile(), file);
    QCOMPARE(QFileInfo(file).size(), 0);
    qputenv("HOME", previousHome);
    SetAppDir(QString());
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
