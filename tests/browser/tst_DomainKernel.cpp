// The per-host engine memory: keys keep letter case and port, what is never remembered, the
// update and insert paths, and the built-in hosts that win at every start without being stored.
#include "browser/DomainKernel.h"
#include "support/TestDb.h"

#include <QtTest>

namespace {

QMap<QString, int> StoredRows(TDb& db) {
    QMap<QString, int> rows;
    auto table = db.Query(QStringLiteral("SELECT domain, kernel FROM qb_domain_kernel"));
    for (; table && !table->AtEnd(); table->MoveNext())
        rows.insert(table->FieldAsText(QStringLiteral("domain")),
                    static_cast<int>(table->FieldAsInt64(QStringLiteral("kernel"))));
    return rows;
}

} // namespace

class TestDomainKernel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void hostKeepsLetterCaseAndPort_data() {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("remembered");
        QTest::newRow("same host, other path") << "http://Oa.Example.com:8080/other/page?x=1" << true;
        QTest::newRow("https and blanks") << "  https://Oa.Example.com:8080  " << true;
        QTest::newRow("other letter case") << "http://oa.example.com:8080/" << false;
        QTest::newRow("no port") << "http://Oa.Example.com/" << false;
        QTest::newRow("other port") << "http://Oa.Example.com:8081/" << false;
    }
    void hostKeepsLetterCaseAndPort() {
        QFETCH(QString, other);
        QFETCH(bool, remembered);
        TTestDb data;
        QVERIFY(data.Ok());
        TDomainKernel kernels(data.Db());
        kernels.LoadKernels();
        kernels.RememberKernel(QStringLiteral("http://Oa.Example.com:8080/index.html"), 1);
        const TKernelInfo info = kernels.LookupKernel(other);
        QCOMPARE(!info.domain.isEmpty(), remembered);
        QCOMPARE(info.kernel, quint8(remembered ? 1 : 0));

        // The same holds after a restart, from the stored row.
        TDomainKernel again(data.Db());
        again.LoadKernels();
        QCOMPARE(!again.LookupKernel(other).domain.isEmpty(), remembered);
    }

    void neverRemembered() {
        TTestDb data;
        QVERIFY(data.Ok());
        TDomainKernel kernels(data.Db());
        kernels.LoadKernels();
        // Nothing, a blank page, words given on the command line, mail, file and script addresses
        // have no web host.
        for (const QString& url :
             {QString(), QStringLiteral("   "), QStringLiteral("about:blank"), QStringLiteral(" ABOUT:BLANK "),
              QStringLiteral("hello world"), QStringLiteral("hello"), QStringLiteral("天气 北京"),
              QStringLiteral("mailto:a@b.example"), QStringLiteral("file:///home/u/a.html"),
              QStringLiteral("javascript:alert(1)"), QStringLiteral("user@host.example")})
            kernels.RememberKernel(url, 1);
        kernels.RememberKernel(QStringLiteral("http://a.example/"), 2);
        QCOMPARE(kernels.Count(), 0);
        QVERIFY(StoredRows(data.Db()).isEmpty());
        QVERIFY(kernels.LookupKernel(QStringLiteral("about:blank")).domain.isEmpty());
        for (const QString& url : {QStringLiteral("http://intranet/x"), QStringLiteral("localhost:8080"),
                                   QStringLiteral("www.example.com/a"), QStringLiteral("[::1]:8080/")})
            kernels.RememberKernel(url, 1);
        QCOMPARE(kernels.Count(), 4);
    }

    void updateAndInsertPaths() {
        TTestDb data;
        QVERIFY(data.Ok());
        TDomainKernel kernels(data.Db());
        kernels.LoadKernels();
        kernels.RememberKernel(QStringLiteral("http://it's.example/a"), 1);
        kernels.RememberKernel(QStringLiteral("http://b.example/"), 1);
        kernels.RememberKernel(QStringLiteral("http://it's.example/b"), 0);
        QCOMPARE(StoredRows(data.Db()), (QMap<QString, int>{{"it's.example", 0}, {"b.example", 1}}));
        QCOMPARE(kernels.Count(), 2);
        QCOMPARE(kernels.LookupKernel(QStringLiteral("it's.example")).kernel, quint8(0));
    }

    // The built-in list wins over what is stored, at every start, and is never written. A later
    // choice for such a host takes the update path and so changes no row.
    void builtInHostsWinAtEveryStart() {
        TTestDb data;
        QVERIFY(data.Ok());
        const QString list = QStringLiteral(
            "[{\"domain\": \"oa.example.cn/\"}, {\"name\": \"no domain\"}, 5, {\"domain\": \"\"},]");
        {
            TDomainKernel kernels(data.Db());
            kernels.LoadKernels();
            kernels.ApplyDefaultKernels(list);
            const TKernelInfo info = kernels.LookupKernel(QStringLiteral("http://oa.example.cn/login"));
            QCOMPARE(info.domain, QStringLiteral("oa.example.cn/"));
            QCOMPARE(info.kernel, quint8(1));
            QCOMPARE(kernels.Count(), 1);
            kernels.RememberKernel(QStringLiteral("http://oa.example.cn/login"), 0);
            QCOMPARE(kernels.LookupKernel(QStringLiteral("http://oa.example.cn/")).kernel, quint8(0));
            QVERIFY(StoredRows(data.Db()).isEmpty());
        }
        QVERIFY(data.Db().Execute(
            QStringLiteral("INSERT INTO qb_domain_kernel (domain, kernel) VALUES ('oa.example.cn', 0)")));
        TDomainKernel next(data.Db());
        next.LoadKernels();
        QCOMPARE(next.LookupKernel(QStringLiteral("http://oa.example.cn/")).kernel, quint8(0));
        next.ApplyDefaultKernels(list);
        QCOMPARE(next.LookupKernel(QStringLiteral("http://oa.example.cn/")).kernel, quint8(1));
        QCOMPARE(StoredRows(data.Db()), (QMap<QString, int>{{"oa.example.cn", 0}}));

        next.ApplyDefaultKernels(QStringLiteral("not json"));
        QCOMPARE(next.Count(), 1);
    }

    // The options page's list: the hosts on the compatibility engine, sorted, the built-in ones
    // marked; a host sent back is stored for Chromium and stays there after a restart.
    void compatHostsAndSendingBack() {
        TTestDb data;
        QVERIFY(data.Ok());
        TDomainKernel kernels(data.Db());
        kernels.LoadKernels();
        kernels.RememberKernel(QStringLiteral("http://b.example/x"), 1);
        kernels.RememberKernel(QStringLiteral("http://c.example/"), 0);
        kernels.RememberKernel(QStringLiteral("https://a.example:8443/login"), 1);
        kernels.ApplyDefaultKernels(QStringLiteral("[{\"domain\": \"oa.example.cn/\"}]"));
        QCOMPARE(kernels.CompatHosts(), (QStringList{"a.example:8443", "b.example", "oa.example.cn"}));
        QVERIFY(kernels.IsBuiltIn(QStringLiteral("oa.example.cn")));
        QVERIFY(!kernels.IsBuiltIn(QStringLiteral("b.example")));
        kernels.SendToChromium(QStringLiteral("a.example:8443"));
        QCOMPARE(kernels.CompatHosts(), (QStringList{"b.example", "oa.example.cn"}));
        TDomainKernel again(data.Db());
        again.LoadKernels();
        QCOMPARE(again.LookupKernel(QStringLiteral("https://a.example:8443/")).kernel, quint8(0));
        QCOMPARE(again.CompatHosts(), QStringList{"b.example"});
    }

    void withoutTableChoicesHoldForTheRun() {
        TTestDb data;
        QVERIFY(data.Ok());
        QVERIFY(data.Db().Execute(QStringLiteral("DROP TABLE qb_domain_kernel")));
        TDomainKernel kernels(data.Db());
        kernels.LoadKernels();
        QCOMPARE(kernels.Count(), 0);
        kernels.RememberKernel(QStringLiteral("http://a.example/"), 1);
        QCOMPARE(kernels.LookupKernel(QStringLiteral("http://a.example/x")).kernel, quint8(1));
    }
};

QTEST_GUILESS_MAIN(TestDomainKernel)
#include "tst_DomainKernel.moc"
