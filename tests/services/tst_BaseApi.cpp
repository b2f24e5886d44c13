// The web API client against a local stand-in service: the request it sends (address, content
// type, token first, values intact), the envelope rules, and every failure with its message.
#include "support/LogCapture.h"
#include "services/ApiError.h"
#include "services/Token.h"
#include "services/UserApi.h"
#include "support/TestServer.h"

#include <QJsonObject>
#include <QtTest>

namespace {

const QString kApiPath = QStringLiteral("/api/index.php");

// An answer of the web API; the default one accepts.
TTestServer::TAnswer ApiAnswer(const QByteArray& body = R"({"code":"00000","result":true})") {
    TTestServer::TAnswer answer;
    answer.Body = body;
    return answer;
}

struct TOutcome {
    bool Failed = false;
    TApiError::TKind Kind = TApiError::akTransport;
    QString Message;
    QJsonValue Result;
};

} // namespace

class TestBaseApi : public QObject {
    Q_OBJECT

private:
    TToken m_token;

    TOutcome Call(const QString& root, TParamList& params, const TToken* token, int readTimeoutMs = 30000) {
        TUserApi api;
        api.BaseUrl = root;
        api.Token = token;
        api.SetTimeouts(5000, readTimeoutMs);
        TOutcome outcome;
        outcome.Result = QJsonValue(QStringLiteral("stale"));
        try {
            api.Invoke(QStringLiteral("GeneralApi"), QStringLiteral("AddDomain"), outcome.Result, params);
        } catch (const TApiError& error) {
            outcome.Failed = true;
            outcome.Kind = error.Kind();
            outcome.Message = error.Message();
        }
        return outcome;
    }

    TOutcome CallWithAnswer(const TTestServer& service, const TTestServer::TAnswer& answer) {
        if (!service.SetAnswer(kApiPath, answer))
            return TOutcome{true, TApiError::akTransport, QStringLiteral("the stand-in took no answer"), {}};
        TParamList params;
        return Call(service.Url("/"), params, &m_token);
    }

private slots:
    void initTestCase() { m_token.AccessToken = QStringLiteral("tok-secret-42"); }

    void requestCarriesTokenFirstAndValuesIntact() {
        TTestServer service;
        QVERIFY(service.SetAnswer(kApiPath, ApiAnswer()));
        const QString tricky = QStringLiteral("a=b & c \"引号\" 中文 😀\r\nnext+line%20");
        TParamList params{{QStringLiteral("json"), tricky}, {QStringLiteral("empty"), QString()}};
        const TOutcome outcome = Call(service.Url("/"), params, &m_token);
        QVERIFY2(!outcome.Failed, qPrintable(outcome.Message));

        const QList<TTestServer::TRequest> requests = service.Received();
        QCOMPARE(requests.size(), 1);
        const TTestServer::TRequest& request = requests.first();
        QCOMPARE(request.Method, QByteArray("POST"));
        QCOMPARE(request.Target, QByteArray("/api/index.php?s=/GeneralApi/AddDomain"));
        QVERIFY(request.Header("Content-Type").startsWith("application/x-www-form-urlencoded"));
        const QList<QPair<QString, QString>> expected{{QStringLiteral("access_token"), m_token.AccessToken},
                                                      {QStringLiteral("json"), tricky},
                                                      {QStringLiteral("empty"), QString()}};
        QCOMPARE(request.Form(), expected);
        // Blanks are %20, never "+", so a literal "+" in a value survives.
        QVERIFY(request.Body.contains("%20"));
        QVERIFY(!request.Body.contains(' '));
        // The token stays in the caller's list, at the front.
        QCOMPARE(params.size(), 3);
        QCOMPARE(params.first().Name, QStringLiteral("access_token"));
    }

    void emptyListStillSendsTheToken() {
        TTestServer service;
        QVERIFY(service.SetAnswer(kApiPath, ApiAnswer()));
        TParamList params;
        QVERIFY(!Call(service.Url("/"), params, &m_token).Failed);
        QCOMPARE(service.Received().value(0).Body, QByteArray("access_token=tok-secret-42"));
    }

    void successEnvelopes_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QJsonValue>("result");
        QTest::newRow("true") << QByteArray(R"({"code":"00000","result":true})") << QJsonValue(true);
        QTest::newRow("object") << QByteArray(R"({"code":"00000","result":{"id":7},"msg":"ok"})")
                                << QJsonValue(QJsonObject{{QStringLiteral("id"), 7}});
        QTest::newRow("no result") << QByteArray(R"({"code":"00000"})") << QJsonValue();
        QTest::newRow("chinese text")
            << QByteArray(R"({"code":"00000","result":"已提交"})") << QJsonValue(QStringLiteral("已提交"));
    }
    void successEnvelopes() {
        QFETCH(QByteArray, body);
        QFETCH(QJsonValue, result);
        TTestServer service;
        const TOutcome outcome = CallWithAnswer(service, ApiAnswer(body));
        QVERIFY2(!outcome.Failed, qPrintable(outcome.Message));
        QCOMPARE(outcome.Result, result);
    }

    // Anything but a JSON object whose "code" is the text "00000" fails with the whole answer.
    void rejectedAnswersGiveTheAnswerText_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("error code") << QByteArray(R"({"code":"10001","msg":"令牌无效"})");
        QTest::newRow("numeric zero") << QByteArray(R"({"code":0,"result":true})");
        QTest::newRow("code missing") << QByteArray(R"({"result":true})");
        QTest::newRow("not json") << QByteArray("<html>维护中</html>");
        QTest::newRow("truncated json") << QByteArray(R"({"code":"00000","result":)");
        QTest::newRow("array") << QByteArray(R"([{"code":"00000"}])");
        QTest::newRow("empty body") << QByteArray();
    }
    void rejectedAnswersGiveTheAnswerText() {
        QFETCH(QByteArray, body);
        TTestServer service;
        const TOutcome outcome = CallWithAnswer(service, ApiAnswer(body));
        QVERIFY(outcome.Failed);
        QCOMPARE(outcome.Kind, TApiError::akBadAnswer);
        QCOMPARE(outcome.Message, QString::fromUtf8(body));
        QVERIFY(outcome.Result.isNull());
    }

    void nothingIsSentWithoutTokenOrAddress() {
        TTestServer service;
        TParamList params{{QStringLiteral("json"), QStringLiteral("{}")}};
        const TOutcome noToken = Call(service.Url("/"), params, nullptr);
        QVERIFY(noToken.Failed);
        QCOMPARE(noToken.Kind, TApiError::akNoAuthentication);
        QCOMPARE(noToken.Message, QStringLiteral("No authentication"));
        QVERIFY(noToken.Result.isNull());
        QCOMPARE(params.size(), 1);

        const TOutcome noAddress = Call(QString(), params, &m_token);
        QCOMPARE(noAddress.Kind, TApiError::akNotConfigured);
        QVERIFY(noAddress.Message.startsWith(QStringLiteral("Data request failed\r\n")));
        QCOMPARE(params.size(), 1);
        QVERIFY(service.Received().isEmpty());
    }

    void transportFailuresAreReported_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<qint64>("padTo");
        QTest::addColumn<bool>("stateLength");
        QTest::addColumn<QString>("reason");
        QTest::newRow("http 500") << 500 << qint64(0) << true << QStringLiteral("HTTP 500");
        QTest::newRow("stated length too large")
            << 200 << qint64(8 * 1024 * 1024) << true << QStringLiteral("larger than");
        QTest::newRow("unstated length too large")
            << 200 << qint64(8 * 1024 * 1024) << false << QStringLiteral("larger than");
    }
    void transportFailuresAreReported() {
        QFETCH(int, status);
        QFETCH(qint64, padTo);
        QFETCH(bool, stateLength);
        QFETCH(QString, reason);
        TTestServer service;
        TTestServer::TAnswer answer = ApiAnswer();
        answer.Status = status;
        answer.PadTo = padTo;
        answer.StateLength = stateLength;
        const TOutcome outcome = CallWithAnswer(service, answer);
        QVERIFY(outcome.Failed);
        QCOMPARE(outcome.Kind, TApiError::akTransport);
        QVERIFY2(outcome.Message.startsWith(QStringLiteral("Data request failed\r\n")),
                 qPrintable(outcome.Message));
        QVERIFY2(outcome.Message.contains(reason), qPrintable(outcome.Message));
        // The answer's body is not quoted: only the reason.
        QVERIFY(outcome.Message.size() < 200);
    }

    void answerJustUnderTheCapIsRead() {
        TTestServer service;
        TTestServer::TAnswer answer = ApiAnswer();
        answer.PadTo = TBaseApi::MaxAnswerBytes;
        answer.StateLength = false;
        const TOutcome outcome = CallWithAnswer(service, answer);
        QVERIFY2(!outcome.Failed, qPrintable(outcome.Message.left(200)));
        QCOMPARE(outcome.Result, QJsonValue(true));
    }

    // A redirect is not followed: the token is posted to the configured address only.
    void redirectGetsNoToken() {
        TTestServer configured;
        TTestServer elsewhere;
        QVERIFY(configured.Running() && elsewhere.Running());
        TParamList params;
        const TOutcome outcome = Call(configured.Url(QStringLiteral("/x?status=307&location=") +
                                                     elsewhere.Url(QStringLiteral("/_post")) +
                                                     QStringLiteral("&base=")),
                                      params, &m_token);
        QVERIFY(outcome.Failed);
        QVERIFY2(outcome.Message.contains(QStringLiteral("HTTP 307")), qPrintable(outcome.Message));
        QCOMPARE(configured.Requests(QStringLiteral("/x")), 1);
        QCOMPARE(elsewhere.Stats(), (QMap<QString, int>{}));
    }

    void connectionRefused() {
        TParamList params;
        const TOutcome outcome = Call(TTestServer::RefusingRoot(), params, &m_token);
        QVERIFY(outcome.Failed);
        QCOMPARE(outcome.Kind, TApiError::akTransport);
        QVERIFY(outcome.Message.startsWith(QStringLiteral("Data request failed\r\n")));
        QVERIFY(outcome.Message.size() > QStringLiteral("Data request failed\r\n").size());
    }

    // A slow answer within the read limit arrives; one that stays silent beyond it fails.
    void slowAnswers() {
        TTestServer service;
        TTestServer::TAnswer answer = ApiAnswer();
        answer.DelayMs = 400;
        QVERIFY(!CallWithAnswer(service, answer).Failed);

        answer.DelayMs = 3000;
        QVERIFY(service.SetAnswer(kApiPath, answer));
        TParamList params;
        const TOutcome outcome = Call(service.Url("/"), params, &m_token, 200);
        QVERIFY(outcome.Failed);
        QCOMPARE(outcome.Kind, TApiError::akTransport);
        QVERIFY(outcome.Message.startsWith(QStringLiteral("Data request failed\r\n")));
    }

    void tokenNeverReachesTheLog() {
        TTestServer service;
        QVERIFY(service.SetAnswer(kApiPath, ApiAnswer(R"({"code":"99999"})")));
        auto log = std::make_unique<TLogCapture>();
        TParamList params{{QStringLiteral("json"), QStringLiteral("payload")}};
        const TOutcome failed = Call(service.Url("/"), params, &m_token);
        TParamList refused;
        Call(TTestServer::RefusingRoot(), refused, &m_token);
        const QStringList lines = log->Lines();
        log.reset();
        QVERIFY(failed.Failed);
        QVERIFY(!lines.isEmpty());
        for (const QString& line : lines)
            QVERIFY2(!line.contains(m_token.AccessToken), qPrintable(line));
    }

    void currentTokenHolder() {
        QVERIFY(!CurrentToken());
        auto token = std::make_unique<TToken>();
        token->AccessToken = QStringLiteral("x");
        SetCurrentToken(std::move(token));
        QCOMPARE(CurrentToken()->AccessToken, QStringLiteral("x"));
        SetCurrentToken(nullptr);
        QVERIFY(!CurrentToken());
    }
};

QTEST_GUILESS_MAIN(TestBaseApi)
#include "tst_BaseApi.moc"
