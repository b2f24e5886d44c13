// Credentials a user gave go to the login request of the host, port and realm that asked, once.
#include "browser/StoredCredentials.h"

#include <QtTest>

class TStoredCredentialsTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheAskingRequestGetsThemOnce() {
        TStoredCredentials stored;
        stored.Store(QStringLiteral("bank.example"), 443, QStringLiteral("网银"), QStringLiteral("user"),
                     QStringLiteral("secret"));
        QString user;
        QString password;
        // Requests of another host, port or realm (another tab, another site) get nothing.
        QVERIFY(!stored.Take(QStringLiteral("evil.example"), 443, QStringLiteral("网银"), &user, &password));
        QVERIFY(!stored.Take(QStringLiteral("bank.example"), 80, QStringLiteral("网银"), &user, &password));
        QVERIFY(!stored.Take(QStringLiteral("bank.example"), 443, QStringLiteral("other"), &user, &password));
        QVERIFY(user.isEmpty() && password.isEmpty());
        // The asking request gets them, whatever the letter case of its host; then they are gone.
        QVERIFY(stored.Take(QStringLiteral("Bank.Example"), 443, QStringLiteral("网银"), &user, &password));
        QCOMPARE(user, QStringLiteral("user"));
        QCOMPARE(password, QStringLiteral("secret"));
        QVERIFY(stored.IsEmpty());
        QVERIFY(!stored.Take(QStringLiteral("bank.example"), 443, QStringLiteral("网银"), &user, &password));
    }
};

QTEST_APPLESS_MAIN(TStoredCredentialsTest)
#include "tst_StoredCredentials.moc"
