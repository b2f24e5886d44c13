// Tests of the free file name proposal: numbering before the extension, compound and missing
// extensions, Chinese names, and names taken on disk or by listed downloads.
#include "downloads/FreeFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFreeFileName : public QObject {
    Q_OBJECT
private slots:
    void numberGoesBeforeTheExtension_data();
    void numberGoesBeforeTheExtension();
    void freeNameIsKept();
    void takenNamesAreSkipped();
    void listedPathsCountAsTaken();

private:
    static bool Touch(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
};

void TestFreeFileName::numberGoesBeforeTheExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("plain") << QStringLiteral("setup.exe") << QStringLiteral("setup (1).exe");
    QTest::newRow("compressed tar") << QStringLiteral("src.tar.gz") << QStringLiteral("src (1).tar.gz");
    QTest::newRow("tar with xz") << QStringLiteral("src.TAR.XZ") << QStringLiteral("src (1).TAR.XZ");
    QTest::newRow("dots in the name")
        << QStringLiteral("report.v2.pdf") << QStringLiteral("report.v2 (1).pdf");
    QTest::newRow("version number") << QStringLiteral("app-1.2.3.zip") << QStringLiteral("app-1.2.3 (1).zip");
    QTest::newRow("no extension") << QStringLiteral("README") << QStringLiteral("README (1)");
    QTest::newRow("hidden file") << QStringLiteral(".config") << QStringLiteral(".config (1)");
    QTest::newRow("chinese") << QStringLiteral("说明书.pdf") << QStringLiteral("说明书 (1).pdf");
    QTest::newRow("chinese without extension")
        << QStringLiteral("新建文件") << QStringLiteral("新建文件 (1)");
}

void TestFreeFileName::numberGoesBeforeTheExtension() {
    QFETCH(QString, name);
    QFETCH(QString, proposed);
    QTemporaryDir dir;
    QVERIFY(Touch(dir.filePath(name)));
    QCOMPARE(FreeFileName(dir.filePath(name)), dir.filePath(proposed));
}

void TestFreeFileName::freeNameIsKept() {
    QTemporaryDir dir;
    QCOMPARE(FreeFileName(dir.filePath("a.zip")), dir.filePath("a.zip"));
}

void TestFreeFileName::takenNamesAreSkipped() {
    QTemporaryDir dir;
    for (const char* name : {"资料.rar", "资料 (1).rar", "资料 (2).rar"})
        QVERIFY(Touch(dir.filePath(QString::fromUtf8(name))));
    QCOMPARE(FreeFileName(dir.filePath("资料.rar")), dir.filePath("资料 (3).rar"));
    // A folder of that name is taken as well.
    QVERIFY(QDir(dir.path()).mkdir("data"));
    QCOMPARE(FreeFileName(dir.filePath("data")), dir.filePath("data (1)"));
}

void TestFreeFileName::listedPathsCountAsTaken() {
    QTemporaryDir dir;
    QVERIFY(Touch(dir.filePath("a.zip")));
    const QStringList listed{dir.filePath("a (1).zip"), dir.path() + "/./b.zip"};
    QCOMPARE(FreeFileName(dir.filePath("a.zip"), listed), dir.filePath("a (2).zip"));
    QCOMPARE(FreeFileName(dir.filePath("b.zip"), listed), dir.filePath("b (1).zip"));
    QCOMPARE(FreeFileName(dir.filePath("c.zip"), listed), dir.filePath("c.zip"));
}

QTEST_GUILESS_MAIN(TestFreeFileName)
#include "tst_FreeFileName.moc"
