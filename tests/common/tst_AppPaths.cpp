// Tests of the program folders: the program folder from the running executable, the per-user
// folders and the addresses of the bundled site.
#include "BuildConfig.h"
#include "common/AppPaths.h"

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
