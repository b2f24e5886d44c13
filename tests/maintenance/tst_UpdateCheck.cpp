// The update check: the version document's rules, the updater's parameter, one request to a local
// update host (none without a host) and starting the outside updater.
#include "common/AnsiCodec.h"
#include "maintenance/UpdateCheck.h"
#include "support/TestServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestUpdateCheck : public QObject {
    Q_OBJECT

private slots:
    void versionDocument_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QString>("message");
        QTest::newRow("own version") << R"({"Version": "1.0.0.0", "Info": "x"})" << false << "";
        QTest::newRow("own version with blanks") << R"({"Version": " 1.0.0.0 ", "Info": "x"})" << false << "";
        QTest::newRow("older counts") << R"({"Version": "0.9", "Info": " 有新版本 "})" << true << "有新版本";
        QTest::newRow("number") << R"({"Version": 0.9, "Info": "有新版本"})" << true << "有新版本";
        QTest::newRow("empty info") << R"({"Version": "2.0", "Info": ""})" << true
                                    << "发现新版本，确定要更新吗？";
        QTest::newRow("no version") << R"({"Info": "x"})" << false << "";
        QTest::newRow("not json") << "<html>502</html>" << false << "";
        QTest::newRow("array") << R"(["2.0"])" << false << "";
    }

    void versionDocument() {
        QFETCH(QString, text);
        QFETCH(bool, offered);
        QFETCH(QString, message);
        const std::optional<TUpdateOffer> offer = ReadVersionDocument(text, "1.0.0.0", "browser.exe");
        QCOMPARE(offer.has_value(), offered);
        if (offer)
            QCOMPARE(offer->Message, message);
    }

    void updaterParameterIsOneBase64Word() {
        const QString parameter = UpdaterParameter(QStringLiteral("browser.exe"));
        QVERIFY(!parameter.contains(QLatin1Char('\n')) && !parameter.contains(QLatin1Char(' ')));
        const QJsonObject object =
            QJsonDocument::fromJson(
                QByteArray::fromBase64(parameter.toLatin1(), QByteArray::AbortOnBase64DecodingErrors))
                .object();
        QCOMPARE(object, QJsonObject({{"FileName", "update.rar"}, {"ExeName", "browser.exe"}}));
        // A Chinese executable name goes through the data-file codec.
        const QByteArray chinese =
            QByteArray::fromBase64(UpdaterParameter(QStringLiteral("浏览器")).toLatin1());
        QVERIFY(chinese.contains(ToAnsi(QStringLiteral("浏览器"))));
    }

    void versionUrl() {
        QCOMPARE(VersionDocumentUrl(QString()), QString());
        QCOMPARE(VersionDocumentUrl("127.0.0.1:8080"), QStringLiteral("http://127.0.0.1:8080/ver.html"));
        QCOMPARE(VersionDocumentUrl("https://up.example/"), QStringLiteral("https://up.example/ver.html"));
    }

    void anotherVersionOnTheHostIsOffered() {
        TTestServer server;
        QVERIFY2(server.Running(), qPrintable(server.ErrorText()));
        QVERIFY(
            server.WriteFile("ver.html", ToAnsi(R"({"Version": "1.2.0.0", "Info": "新版本可以更新了"})")));
        TUpdateCheck check(QStringLiteral("127.0.0.1:%1").arg(server.Port()), "1.0.0.0", "quellon");
        QSignalSpy found(&check, &TUpdateCheck::updateFound);
        QSignalSpy finished(&check, &TUpdateCheck::finished);
        QVERIFY(check.Start());
        QVERIFY(finished.wait(15000));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().at(0).toString(), QStringLiteral("新版本可以更新了"));
        QCOMPARE(found.first().at(1).toString(), UpdaterParameter("quellon"));
        QCOMPARE(server.Requests("/ver.html"), 1);
    }

    void theOwnVersionOrAFailureOffersNothing() {
        TTestServer server;
        QVERIFY(server.Running());
        QVERIFY(server.WriteFile("ver.html", R"({"Version": "1.0.0.0", "Info": "x"})"));
        // An answer past the cap fails the check: its start is not read as an offer.
        QVERIFY(server.WriteFile("big/ver.html", R"({"Version": "1.2.0.0"})" + QByteArray(2 << 20, ' ')));
        for (const QString& path :
             {QStringLiteral("/ver.html"), QStringLiteral("/missing/ver.html"), QStringLiteral("/big/ver.html")}) {
            TUpdateCheck check(server.Url(path).chopped(9), "1.0.0.0", "quellon");
            QSignalSpy found(&check, &TUpdateCheck::updateFound);
            QSignalSpy finished(&check, &TUpdateCheck::finished);
            QVERIFY(check.Start());
            QVERIFY(finished.wait(15000));
            QCOMPARE(found.size(), 0);
        }
    }

    void noHostMakesNoRequest() {
        TUpdateCheck check(QString(), "1.0.0.0", "quellon");
        QSignalSpy finished(&check, &TUpdateCheck::finished);
        QVERIFY(!check.Start());
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 0);
    }

    void updaterStartsInTheProgramFolderWithTheParameter() {
        QTemporaryDir app;
        const QString folder = app.path() + QLatin1Char('/');
        QFile script(folder + "Update");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\necho \"$1\" > started.tmp && pwd >> started.tmp && mv started.tmp started.txt\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        QVERIFY(StartUpdater(folder, "eyJ4IjoxfQ=="));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + "started.txt"), 10000);
        QFile started(folder + "started.txt");
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(started.readAll()).split('\n', Qt::SkipEmptyParts),
                 QStringList({"eyJ4IjoxfQ==", QDir(app.path()).canonicalPath()}));
        QTemporaryDir empty;
        QVERIFY(!StartUpdater(empty.path() + "/", "x"));
    }
};

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_UpdateCheck.moc"
