// The program's own modules: found in the build's lib/ folder, absent ones refused without harm,
// and the sound player module playing into an owner that frees it.
#include "common/ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestModuleLoader : public QObject {
    Q_OBJECT
private slots:
    void foldersAreBesideTheProgramAndOneUp();
    void missingModuleOrFunctionGivesNothing();
    void soundModuleIsFoundAndPlaysIntoItsOwner();
};

void TestModuleLoader::foldersAreBesideTheProgramAndOneUp() {
    const QStringList folders = ModuleFolders();
    QCOMPARE(folders.size(), 2);
    const QString program = QCoreApplication::applicationDirPath();
    QCOMPARE(folders.at(0), program + "/lib/");
    QCOMPARE(QDir(folders.at(1)).canonicalPath(), QDir(program + "/../lib").canonicalPath());
}

void TestModuleLoader::missingModuleOrFunctionGivesNothing() {
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QVERIFY(
        !ResolveModuleFunction(QStringLiteral("quellon_sound"), "QuellonPlaySound", {empty.path() + "/"}));
    QVERIFY(!ResolveModuleFunction(QStringLiteral("quellon_nothing"), "QuellonPlaySound"));
    QVERIFY(!ResolveModuleFunction(QStringLiteral("quellon_sound"), "NoSuchFunction"));
}

void TestModuleLoader::soundModuleIsFoundAndPlaysIntoItsOwner() {
    using TPlayFunction = void (*)(const QString&, QObject*);
    // An empty first folder is passed over for the one that holds the module.
    QTemporaryDir empty;
    const auto play = reinterpret_cast<TPlayFunction>(
        ResolveModuleFunction(QStringLiteral("quellon_sound"), "QuellonPlaySound",
                              QStringList{empty.path() + "/"} + ModuleFolders()));
    QVERIFY(play);
    auto owner = std::make_unique<QObject>();
    play(QStringLiteral(QUELLON_APP_DIR "res/finished.wav"), owner.get());
    const QList<QObject*> children = owner->findChildren<QObject*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(children.size(), 1);
    QCOMPARE(children.first()->metaObject()->className(), "QSoundEffect");
    owner.reset(); // the effect goes with its owner, playing or not
}

QTEST_GUILESS_MAIN(TestModuleLoader)
#include "tst_ModuleLoader.moc"
