// The translator's requests: the encoding of the words, the request address, reading the answer,
// and whole runs against a local stand-in of the service (order, skipped lines, failures,
// redirects, aborts).
#include "tools/TranslateRun.h"

#include "storage/Config.h"
#include "support/TestDb.h"
#include "tools/TranslateRunLanguages.h"

#include <QThread>
#include "support/TestServer.h"

#include <QtTest>
#include <memory>

namespace {
// Runs a translation on its own thread while this thread's event loop takes its reports;
// collects what the run reported, in order.
class TRunner {
public:
    TRunner(const QString& endpoint, const QStringList& lines) : Run(endpoint, lines) { Connect(); }
    TRunner(const TTranslateService& service, const QStringList& lines) : Run(service, "auto", "zh", lines) {
        QObject::connect(&Run, &TTranslateRun::LineFailed, &m_context, [this](const QString& why) { Failures << why; });
        Connect();
    }
    void Connect() {
        QObject::connect(&Run, &TTranslateRun::Translated, &m_context,
                         [this](const QString& text) { Lines << text; });
        QObject::connect(&Run, &TTranslateRun::Finished, &m_context, [this] { Finished = true; });
        m_thread.reset(QThread::create([this] { Run.Execute(); }));
    }
    ~TRunner() { m_thread->wait(); }
    void Start() { m_thread->start(); }
    // Serves events until the run has finished (at most 30 s); true when it has.
    bool Wait() {
        QElapsedTimer clock;
        clock.start();
        while (!Finished && clock.elapsed() < 30000)
            QTest::qWait(10);
        return Finished;
    }

    TTranslateRun Run;
    QStringList Lines;
    QStringList Failures;
    bool Finished = false;

private:
    QObject m_context;
    std::unique_ptr<QThread> m_thread;
};

// The server's languages, fetched on another thread as the window does.
QList<TTranslateLanguage> FetchServing(const TTranslateService& service) {
    QList<TTranslateLanguage> languages;
    std::unique_ptr<QThread> thread(QThread::create([&] { languages = FetchTranslateLanguages(service); }));
    thread->start();
    while (!thread->wait(10))
        QTest::qWait(10);
    return languages;
}

} // namespace

class TstTranslateRun : public QObject {
    Q_OBJECT
private slots:
    void encoding_data();
    void encoding();
    void requestUrl();
    void answers_data();
    void answers();
    void runKeepsOrderAndSkipsBlankLines();
    void failingLinesAreSkipped();
    void redirectIsNotFollowed();
    void abortEndsTheRun();
    void serverRun();
    void serviceChoice();
    void serverLanguages();
};

void TstTranslateRun::encoding_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("space as plus") << "hello world" << QByteArray("hello+world");
    QTest::newRow("trimmed") << "  hi \t" << QByteArray("hi");
    QTest::newRow("kept characters") << "a@b!$'()*-._Z9" << QByteArray("a@b!$'()*-._Z9");
    QTest::newRow("Chinese in lower-case hex")
        << QString::fromUtf8("你好") << QByteArray("%e4%bd%a0%e5%a5%bd");
    QTest::newRow("query characters") << "a&b=c?d#e+f%g/h" << QByteArray("a%26b%3dc%3fd%23e%2bf%25g%2fh");
    QTest::newRow("emoji") << QString::fromUtf8("\xF0\x9F\x98\x80") << QByteArray("%f0%9f%98%80");
    QTest::newRow("tab inside") << "a\tb" << QByteArray("a%09b");
}

void TstTranslateRun::encoding() {
    QFETCH(QString, line);
    QTEST(TTranslateRun::EncodeWords(line), "encoded");
}

void TstTranslateRun::requestUrl() {
    QCOMPARE(TTranslateRun::RequestUrl("http://h/openapi.do", "hello world"),
             QString("http://h/openapi.do?keyfrom=Tarnwick&key=3820571946&type=data&doctype=json&version=1.1"
                     "&q=hello+world"));
    QVERIFY(TTranslateRun::RequestUrl("http://h/t?x=1", "a").startsWith("http://h/t?x=1&keyfrom="));
}

void TstTranslateRun::answers_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("text");
    QTest::newRow("documented answer")
        << QByteArray(R"({"translation":["你好"],"query":"hello","errorCode":0})") << true
        << QString::fromUtf8("你好");
    QTest::newRow("first element only") << QByteArray(R"({"translation":["a","b"]})") << true << "a";
    QTest::newRow("line breaks joined") << QByteArray(R"({"translation":["a\nb\r\nc"]})") << true << "a b c";
    QTest::newRow("number as text") << QByteArray(R"({"translation":[42]})") << true << "42";
    QTest::newRow("error answer") << QByteArray(R"({"errorCode":50})") << false << "";
    QTest::newRow("empty array") << QByteArray(R"({"translation":[]})") << false << "";
    QTest::newRow("not an array") << QByteArray(R"({"translation":"x"})") << false << "";
    QTest::newRow("object element") << QByteArray(R"({"translation":[{}]})") << false << "";
    QTest::newRow("malformed") << QByteArray(R"({"translation":["x")") << false << "";
    QTest::newRow("array at top") << QByteArray(R"(["x"])") << false << "";
    QTest::newRow("empty body") << QByteArray() << false << "";
    QTest::newRow("html page") << QByteArray("<html>busy</html>") << false << "";
}

void TstTranslateRun::answers() {
    QFETCH(QByteArray, body);
    QFETCH(bool, answered);
    const std::optional<QString> text = TTranslateRun::ReadTranslation(body);
    QCOMPARE(text.has_value(), answered);
    if (answered)
        QTEST(*text, "text");
}

void TstTranslateRun::runKeepsOrderAndSkipsBlankLines() {
    TTestServer service;
    QVERIFY(service.Running());
    // The first answer comes last in time: the results still follow the input.
    QVERIFY(service.SetAnswer("*", {200, {}, 300, {}}, "hello world"));
    TRunner runner(service.TranslateEndpoint(), {"hello world", "   ", "", QString::fromUtf8("你好")});
    runner.Start();
    QVERIFY(runner.Wait());
    QCOMPARE(service.TranslateWords(), QStringList({"hello world", QString::fromUtf8("你好")}));
    QVERIFY(service.Received().value(0).Target.endsWith("&q=hello+world"));
    QVERIFY(service.Received().value(1).Target.endsWith("&q=%e4%bd%a0%e5%a5%bd"));
    QCOMPARE(runner.Lines, QStringList({TTestServer::TranslationOf("hello world"),
                                        TTestServer::TranslationOf(QString::fromUtf8("你好"))}));
}

void TstTranslateRun::failingLinesAreSkipped() {
    TTestServer service;
    QVERIFY(service.SetAnswer("*", {500, "oops", 0, {}}, "error"));
    QVERIFY(service.SetAnswer("*", {200, R"({"translation":["x")", 0, {}}, "malformed"));
    QVERIFY(service.SetAnswer("*", {200, R"({"errorCode":60})", 0, {}}, "missing"));
    TRunner runner(service.TranslateEndpoint(), {"a", "error", "malformed", "missing", "b"});
    runner.Start();
    QVERIFY(runner.Wait());
    QCOMPARE(service.TranslateWords().size(), 5);
    QCOMPARE(runner.Lines, QStringList({"译:a", "译:b"}));

    // No service at all: every line fails, the run still finishes.
    TRunner nowhere("http://127.0.0.1:1/openapi.do", {"a", "b"});
    nowhere.Start();
    QVERIFY(nowhere.Wait());
    QVERIFY(nowhere.Lines.isEmpty());
}

// The user's words must reach the configured service only.
void TstTranslateRun::redirectIsNotFollowed() {
    TTestServer service;
    TTestServer elsewhere;
    QVERIFY(service.SetAnswer("*", {302, "", 0, elsewhere.TranslateEndpoint().toLatin1() + "?q=secret"}, "secret"));
    TRunner runner(service.TranslateEndpoint(), {"secret", "plain"});
    runner.Start();
    QVERIFY(runner.Wait());
    QCOMPARE(service.TranslateWords(), QStringList({"secret", "plain"}));
    QVERIFY(elsewhere.Received().isEmpty());
    QCOMPARE(runner.Lines, QStringList({"译:plain"}));
}

void TstTranslateRun::abortEndsTheRun() {
    TTestServer service;
    QVERIFY(service.SetAnswer("*", {200, {}, 60000, {}}, "slow"));
    TRunner runner(service.TranslateEndpoint(), {"slow", "next", "last"});
    runner.Start();
    QTRY_COMPARE(service.TranslateWords().size(), 1);
    runner.Run.Abort();
    QVERIFY(runner.Wait());
    QCOMPARE(service.TranslateWords(), QStringList({"slow"}));
    QVERIFY(runner.Lines.isEmpty());
}

// A LibreTranslate server: one POST of /translate per line with the languages and the key, the
// answer's translatedText read; a refused line is reported with its reason.
void TstTranslateRun::serverRun() {
    TTestServer service;
    QVERIFY(service.SetAnswer("*", {403, R"({"error":"Invalid API key"})", 0, {}}, "refused"));
    TRunner runner(TTranslateService{TTranslateService::Server, service.TranslateServer(), "k&1"},
                   {"hello world", "refused", QString::fromUtf8("你好")});
    runner.Start();
    QVERIFY(runner.Wait());
    const QList<TTestServer::TRequest> requests = service.Received();
    QCOMPARE(requests.size(), 3);
    for (const TTestServer::TRequest& request : requests)
        QCOMPARE(request.Target, QByteArray("/_translate/translate"));
    QMap<QString, QString> form;
    for (const auto& field : requests.first().Form())
        form.insert(field.first, field.second);
    QCOMPARE(form, (QMap<QString, QString>{{"q", "hello world"}, {"source", "auto"}, {"target", "zh"},
                                     {"format", "text"}, {"api_key", "k&1"}}));
    QCOMPARE(runner.Lines, QStringList({"译:hello world", QString::fromUtf8("译:你好")}));
    QCOMPARE(runner.Failures.size(), 1);
    QVERIFY2(runner.Failures.first().contains("403"), qPrintable(runner.Failures.first()));
    QCOMPARE(TTranslateRun::ReadServerTranslation(R"({"translatedText":"a\nb"})"), std::optional<QString>("a b"));
}

// The options' server first, then the environment's, then the built-in endpoint; an address that
// is not http(s) counts as none.
void TstTranslateRun::serviceChoice() {
    TTestDb data;
    TConfig config(data.Db());
    qunsetenv(kTranslateServerVariable);
    QCOMPARE(ResolveTranslateService(&config, "").Kind, TTranslateService::None);
    qputenv(kTranslateServerVariable, "http://127.0.0.1:9/");
    qputenv(kTranslateKeyVariable, "envkey");
    TTranslateService service = ResolveTranslateService(&config, "http://b/o.do");
    QCOMPARE(service.Url("/translate"), QString("http://127.0.0.1:9/translate"));
    QCOMPARE(service.ApiKey, QString("envkey"));
    QVERIFY(config.SetValue(TConfigKey::TranslateServer, "https://mine.example:5000"));
    QCOMPARE(ResolveTranslateService(&config, "").Address, QString("https://mine.example:5000"));
    QVERIFY(config.SetValue(TConfigKey::TranslateServer, "javascript:alert(1)"));
    qputenv(kTranslateServerVariable, "file:///etc/passwd");
    QCOMPARE(ResolveTranslateService(&config, "").Kind, TTranslateService::None);
    qunsetenv(kTranslateServerVariable);
}

// The server's list when it gives one (entries without a code left out), the built-in one when not.
void TstTranslateRun::serverLanguages() {
    TTestServer service;
    const TTranslateService server{TTranslateService::Server, service.TranslateServer(), {}};
    QList<TTranslateLanguage> languages = FetchServing(server);
    QCOMPARE(languages.size(), BuiltInTranslateLanguages().size());
    QCOMPARE(languages.at(ChineseLanguageIndex(languages)).Code, QString("zh"));
    QVERIFY(service.SetAnswer("/_translate/languages",
                              {200, R"([{"code":"en","name":"English"},{"name":"no code"},{"code":"zh-Hans","name":"Chinese"}])", 0, {}}));
    languages = FetchServing(server);
    QCOMPARE(languages.size(), 2);
    QCOMPARE(languages.at(1).Name, QString("Chinese"));
    QCOMPARE(ChineseLanguageIndex(languages), 1);
}

QTEST_MAIN(TstTranslateRun)
#include "tst_TranslateRun.moc"
