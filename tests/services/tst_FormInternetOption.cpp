// The Internet Options host says when it has nothing to host, and closes: without a program, and
// with one that cannot be started.
#include "services/FormInternetOption.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFormInternetOption : public QObject {
    Q_OBJECT

private slots:
    void saysSoAndClosesWithoutProgram_data() {
        QTest::addColumn<bool>("broken");
        QTest::newRow("none installed") << false;
        QTest::newRow("cannot start") << true;
    }

    void saysSoAndClosesWithoutProgram() {
        QFETCH(bool, broken);
        QTemporaryDir folder;
        TNetworkSettingsProgram program;
        if (broken) {
            // Found on the path, but its interpreter does not exist.
            QFile script(folder.filePath(QStringLiteral("settings")));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/nonexistent/interpreter\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
            program = {script.fileName(), {}, {QStringLiteral("Settings")}};
        }
        TFormInternetOption host(program);
        QStringList messages;
        host.SetMessageFunction([&messages](const QString& text) { messages << text; });
        host.show();
        QTRY_VERIFY(!host.isVisible());
        QCOMPARE(messages, QStringList{TFormInternetOption::NoProgramText()});
    }
};

QTEST_MAIN(TestFormInternetOption)
#include "tst_FormInternetOption.moc"
