// The translator window against the test server standing in for the service: filling the output in order,
// the button during a run, rejected input, no configured service, keys, and closing mid-run.
#include "tools/FormTranslate.h"

#include "tools/TranslateRun.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include "support/TestServer.h"

#include <QtTest>

namespace {
struct TWindow {
    explicit TWindow(const QString& endpoint) : Form(new TFormTranslate(nullptr, endpoint)) {
        Form->setAttribute(Qt::WA_DeleteOnClose);
        Form->SetMessageFunction([this](const QString& text) { Messages << text; });
        Form->show();
    }
    ~TWindow() { delete Form; }
    QPlainTextEdit* Input() const { return Form->findChild<QPlainTextEdit*>("bsSkinMemoText"); }
    QPlainTextEdit* Output() const { return Form->findChild<QPlainTextEdit*>("bsSkinMemoResult"); }
    QPushButton* Button() const { return Form->findChild<QPushButton*>("bsSkinButtonTranslate"); }
    void Translate(const QString& text) {
        Input()->setPlainText(text);
        Button()->click();
    }

    QPointer<TFormTranslate> Form;
    QStringList Messages;
};
// Answers whose delay has passed (sent, or dropped when the client left).
int AnswersDue(const TTestServer& service) {
    int due = 0;
    for (const TTestServer::TRequest& request : service.Received())
        due += request.Done ? 1 : 0;
    return due;
}
} // namespace

class TstFormTranslate : public QObject {
    Q_OBJECT
private slots:
    void controls();
    void translatesLineByLine();
    void blankInputIsRejected();
    void unconfiguredServiceSendsNothing();
    void allFailuresLeaveOutputEmpty();
    void closingDuringRunDropsResults();
    void keys();
};

void TstFormTranslate::controls() {
    TWindow window("http://127.0.0.1:1/openapi.do");
    QCOMPARE(window.Form->windowTitle(), QString("翻译文字"));
    QCOMPARE(window.Form->size(), QSize(497, 347));
    QCOMPARE(window.Button()->text(), QString("翻译(&T)"));
    QVERIFY(window.Output()->isReadOnly());
    QCOMPARE(window.Input()->size(), QSize(430, 89));
    for (const char* name : {"Image1", "Label1", "Label2"})
        QVERIFY(window.Form->findChild<QWidget*>(name));
}

// Three lines with a blank middle give two requests and two output lines; the service answers
// the first one last, and the window stays responsive meanwhile (a run on the window's own thread
// would have filled the output before the click returned).
void TstFormTranslate::translatesLineByLine() {
    TTestServer service;
    QVERIFY(service.SetAnswer("*", {200, {}, 400, {}}, "hello world"));
    TWindow window(service.TranslateEndpoint());
    window.Output()->setPlainText("old");
    window.Translate("  hello world\n \n你好  \n");
    QCOMPARE(window.Input()->toPlainText(), QString("hello world\n \n你好"));
    QVERIFY(!window.Button()->isEnabled());
    QVERIFY(window.Output()->toPlainText().isEmpty());
    QTRY_VERIFY(window.Button()->isEnabled());
    QCOMPARE(window.Output()->toPlainText(), QString("译:hello world\n译:你好"));
    QCOMPARE(service.Received().size(), 2);
    QVERIFY(service.Received().value(0).Target.endsWith("q=hello+world"));
    QVERIFY(window.Messages.isEmpty());
}

void TstFormTranslate::blankInputIsRejected() {
    TTestServer service;
    TWindow window(service.TranslateEndpoint());
    window.Translate(" \n\t\n  ");
    QCOMPARE(window.Messages, QStringList({"请输入要翻译的文字！"}));
    QCOMPARE(window.Input()->toPlainText(), QString());
    QVERIFY(window.Button()->isEnabled());
    QVERIFY(!window.Form->ActiveRun());
    QTest::qWait(50); // give a wrongly started run the chance to reach the service
    QVERIFY(service.Received().isEmpty());
}

void TstFormTranslate::unconfiguredServiceSendsNothing() {
    TWindow window{QString()};
    QVERIFY(!window.Output()->placeholderText().isEmpty());
    window.Translate("hello");
    QCOMPARE(window.Messages.size(), 1);
    QVERIFY(window.Messages.first().startsWith("未配置翻译服务，无法翻译。"));
    QVERIFY(window.Messages.first().contains("QUELLON_TRANSLATE_SERVER"));
    QVERIFY(!window.Form->ActiveRun());
    QVERIFY(window.Button()->isEnabled());
    QCOMPARE(window.Input()->toPlainText(), QString("hello"));
}

void TstFormTranslate::allFailuresLeaveOutputEmpty() {
    TTestServer service;
    QVERIFY(service.SetAnswer("*", {503, "busy", 0, {}}, "a"));
    QVERIFY(service.SetAnswer("*", {200, "{not json", 0, {}}, "b"));
    TWindow window(service.TranslateEndpoint());
    window.Translate("a\nb");
    QTRY_VERIFY(window.Button()->isEnabled());
    QCOMPARE(service.Received().size(), 2);
    QCOMPARE(window.Output()->toPlainText(), QString());
}

// Closing while a request waits destroys the window at once; the run is aborted, the lines after
// it are never sent, and the run object goes away once its thread has ended.
void TstFormTranslate::closingDuringRunDropsResults() {
    TTestServer service;
    QVERIFY(service.SetAnswer("*", {200, {}, 2000, {}}, "slow"));
    QPointer<TTranslateRun> run;
    {
        TWindow window(service.TranslateEndpoint());
        window.Translate("slow\nsecond\nthird");
        run = window.Form->ActiveRun();
        QVERIFY(run);
        QTRY_COMPARE(service.Received().size(), 1);
        window.Form->close();
        QTRY_VERIFY(window.Form.isNull());
    }
    QTRY_VERIFY_WITH_TIMEOUT(run.isNull(), 10000);
    // The slow answer's time passes without harm, and no later line was sent meanwhile.
    QTRY_COMPARE_WITH_TIMEOUT(AnswersDue(service), 1, 10000);
    QCOMPARE(service.TranslateWords(), QStringList({"slow"}));
}

void TstFormTranslate::keys() {
    TWindow window("http://127.0.0.1:1/openapi.do");
    window.Input()->setPlainText("abc");
    QTest::keyRelease(window.Input(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(window.Input()->textCursor().selectedText(), QString("abc"));
    // Esc closes on its release, not on its press.
    QTest::keyPress(window.Input(), Qt::Key_Escape);
    QVERIFY(window.Form && window.Form->isVisible());
    QTest::keyRelease(window.Input(), Qt::Key_Escape);
    QTRY_VERIFY(window.Form.isNull());
}

QTEST_MAIN(TstFormTranslate)
#include "tst_FormTranslate.moc"
