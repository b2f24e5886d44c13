// The site registration form: the required fields in their order with their messages, the
// request it sends (all ten members, the registrable domain, trimmed texts) and how it reads the
// service's answers; with no token or no address nothing is sent.
#include "support/ModalAnswerer.h"
#include "support/TestServer.h"
#include "services/FormDomainAdd.h"
#include "services/Token.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestFormDomainAdd : public QObject {
    Q_OBJECT

private:
    TToken m_token;

    static QLineEdit* Edit(QWidget& form, const char* name) {
        auto* edit = form.findChild<QLineEdit*>(QLatin1String(name));
        Q_ASSERT(edit);
        return edit;
    }

    static void FillRequired(QWidget& form) {
        Edit(form, "bsSkinEditWebsiteName")->setText(QStringLiteral("  示例官网 "));
        Edit(form, "bsSkinEditDomain")->setText(QStringLiteral(" http://www.shop.example.com.cn/a/b?c=1 "));
        Edit(form, "bsSkinEditContacts")->setText(QStringLiteral("张三"));
        Edit(form, "bsSkinEditMobile")->setText(QStringLiteral("13800000000"));
    }

    static void ClickOK(QWidget& form) {
        form.findChild<QPushButton*>(QStringLiteral("bsSkinButtonOK"))->click();
    }

    // Shows the form filled with the required fields, clicks OK and gives the messages it showed.
    static QStringList SubmitFilled(TFormDomainAdd& form) {
        form.show();
        FillRequired(form);
        TModalAnswerer answerer;
        ClickOK(form);
        return answerer.Messages;
    }

    // The stand-in web API answers every call with status and body (an acceptance by default).
    static bool Answer(const TTestServer& service, int status = 200,
                       const QByteArray& body = R"({"code":"00000","result":true})") {
        TTestServer::TAnswer answer;
        answer.Status = status;
        answer.Body = body;
        return service.SetAnswer(QStringLiteral("/api/index.php"), answer);
    }

    static QJsonObject SentJson(const TTestServer& service) {
        const QList<TTestServer::TRequest> requests = service.Received();
        if (requests.size() != 1)
            return QJsonObject();
        const QList<QPair<QString, QString>> form = requests.first().Form();
        if (form.size() != 2 || form.at(1).first != QLatin1String("json"))
            return QJsonObject();
        return QJsonDocument::fromJson(form.at(1).second.toUtf8()).object();
    }

private slots:
    void initTestCase() { m_token.AccessToken = QStringLiteral("form-token"); }

    void opensBlankWithTodayAndOneYear() {
        TFormDomainAdd form(QString(), nullptr);
        QCOMPARE(form.windowTitle(), QStringLiteral("品牌官网安全认证信息"));
        QCOMPARE(Edit(form, "bsSkinEditApplyTime")->text(), QDate::currentDate().toString(Qt::ISODate));
        QVERIFY(Edit(form, "bsSkinEditApplyTime")->isReadOnly());
        auto* years = form.findChild<QComboBox*>(QStringLiteral("bsSkinComboBoxExpireTime"));
        QStringList items;
        for (int i = 0; i < years->count(); ++i)
            items << years->itemText(i);
        QCOMPARE(items, QStringList({"1", "2", "3", "5"}));
        QCOMPARE(years->currentText(), QStringLiteral("1"));
        QVERIFY(Edit(form, "bsSkinEditWebsiteName")->text().isEmpty());
    }

    // Each required field, checked in order; blanks count as empty and are trimmed away.
    void requiredFieldsInOrder() {
        TTestServer service;
        QVERIFY(Answer(service));
        TFormDomainAdd form(service.Url("/"), &m_token);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TModalAnswerer answerer;
        const QList<QPair<const char*, QString>> fields{
            {"bsSkinEditWebsiteName", QStringLiteral("请输入显示名！")},
            {"bsSkinEditDomain", QStringLiteral("请输入域名！")},
            {"bsSkinEditContacts", QStringLiteral("请输入联系人！")},
            {"bsSkinEditMobile", QStringLiteral("请输入手机号！")},
        };
        for (const auto& field : fields)
            Edit(form, field.first)->setText(QStringLiteral("   "));
        for (const auto& field : fields) {
            ClickOK(form);
            QCOMPARE(answerer.Messages.value(answerer.Messages.size() - 1), field.second);
            QVERIFY(Edit(form, field.first)->text().isEmpty());
            QCOMPARE(form.focusWidget(), Edit(form, field.first));
            Edit(form, field.first)->setText(QStringLiteral("x"));
        }
        QVERIFY(service.Received().isEmpty());
        ClickOK(form);
        QCOMPARE(answerer.Messages.size(), fields.size() + 1);
        QCOMPARE(answerer.Messages.last(), QStringLiteral("认证信息添加成功！"));
        QCOMPARE(service.Received().size(), 1);
    }

    void sendsAllMembersAndClosesOnYes() {
        TTestServer service;
        QVERIFY(Answer(service));
        TFormDomainAdd form(service.Url("/"), &m_token);
        form.show();
        FillRequired(form);
        Edit(form, "bsSkinEditQQ")->setText(QStringLiteral(" 10001 "));
        Edit(form, "bsSkinEditCompanyName")->setText(QStringLiteral("\"引号\"公司 😀"));
        form.findChild<QComboBox*>(QStringLiteral("bsSkinComboBoxExpireTime"))->setCurrentIndex(3);
        TModalAnswerer answerer;
        ClickOK(form);

        QCOMPARE(answerer.Messages, QStringList{QStringLiteral("认证信息添加成功！")});
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(service.Received().value(0).Target, QByteArray("/api/index.php?s=/GeneralApi/AddDomain"));
        const QJsonObject sent = SentJson(service);
        QCOMPARE(sent.size(), 10);
        QCOMPARE(sent.value("website_name").toString(), QStringLiteral("示例官网"));
        QCOMPARE(sent.value("domain").toString(), QStringLiteral("example.com.cn"));
        QCOMPARE(sent.value("contacts").toString(), QStringLiteral("张三"));
        QCOMPARE(sent.value("expire_time").toString(), QStringLiteral("5"));
        QCOMPARE(sent.value("mobile").toString(), QStringLiteral("13800000000"));
        QCOMPARE(sent.value("qq").toString(), QStringLiteral("10001"));
        QCOMPARE(sent.value("company_name").toString(), QStringLiteral("\"引号\"公司 😀"));
        for (const char* optional : {"phone", "company_address", "license_num"})
            QVERIFY(sent.value(optional).isString() && sent.value(optional).toString().isEmpty());
    }

    // A "no", a refused call or a broken answer leaves the form open with everything entered.
    void failuresKeepTheFormOpen_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("result false") << 200 << QByteArray(R"({"code":"00000","result":false})");
        QTest::newRow("result missing") << 200 << QByteArray(R"({"code":"00000"})");
        QTest::newRow("result empty text") << 200 << QByteArray(R"({"code":"00000","result":""})");
        QTest::newRow("result zero") << 200 << QByteArray(R"({"code":"00000","result":0})");
        QTest::newRow("error code") << 200 << QByteArray(R"({"code":"40001","result":true})");
        QTest::newRow("not json") << 200 << QByteArray("Fatal error");
        QTest::newRow("http 500") << 500 << QByteArray(R"({"code":"00000","result":true})");
    }
    void failuresKeepTheFormOpen() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        TTestServer service;
        QVERIFY(Answer(service, status, body));
        TFormDomainAdd form(service.Url("/"), &m_token);
        QCOMPARE(SubmitFilled(form), QStringList{QStringLiteral("认证信息添加失败！")});
        QVERIFY(form.isVisible());
        QCOMPARE(Edit(form, "bsSkinEditContacts")->text(), QStringLiteral("张三"));
        QCOMPARE(service.Received().size(), 1);
    }

    void nothingSentWithoutTokenOrAddress() {
        TTestServer service;
        QVERIFY(Answer(service));
        {
            TFormDomainAdd form(service.Url("/"), nullptr);
            QCOMPARE(SubmitFilled(form), QStringList{QStringLiteral("认证信息添加失败！")});
            QVERIFY(form.isVisible());
        }
        {
            TFormDomainAdd form(QString(), &m_token);
            const QStringList messages = SubmitFilled(form);
            QCOMPARE(messages.size(), 1);
            QVERIFY(messages.first().startsWith(QStringLiteral("认证信息添加失败！")));
            QVERIFY(messages.first().contains(QStringLiteral("未配置")));
            QVERIFY(form.isVisible());
        }
        QVERIFY(service.Received().isEmpty());
    }

    void cancelCloses() {
        TFormDomainAdd form(QString(), nullptr);
        form.show();
        form.findChild<QPushButton*>(QStringLiteral("bsSkinButtonCancel"))->click();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestFormDomainAdd)
#include "tst_FormDomainAdd.moc"
