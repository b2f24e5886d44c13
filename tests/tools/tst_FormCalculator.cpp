// The calculator window: its controls, buttons, keys reaching the window whatever has the focus,
// and the launcher.
#include "tools/FormCalculator.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class TstFormCalculator : public QObject {
    Q_OBJECT
private slots:
    void controls();
    void buttons();
    void keysReachTheWindow();
    void launcherOpensOnce();
};

namespace {
void Click(TFormCalculator* form, const char* name) {
    auto* button = form->findChild<QPushButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    button->click();
}
QString ExpressionText(TFormCalculator* form) {
    return form->findChild<QTextEdit*>("EditExpression")->toPlainText();
}
QString ResultText(TFormCalculator* form) {
    return form->findChild<QLineEdit*>("EditResult")->text();
}
} // namespace

void TstFormCalculator::controls() {
    TFormCalculator form;
    QCOMPARE(form.windowTitle(), QString("计算器"));
    QCOMPARE(form.size(), QSize(366, 380));
    const QStringList names = {"ButtonClear",     "ButtonDiv", "ButtonMultiply", "ButtonDelete",
                               "ButtonDec",       "ButtonInc", "ButtonBracket",  "ButtonPoint",
                               "ButtonPlusMinus", "ButtonCalc"};
    for (const QString& name : names)
        QVERIFY2(form.findChild<QPushButton*>(name), qPrintable(name));
    for (int digit = 0; digit <= 9; ++digit) {
        auto* button = form.findChild<QPushButton*>(QStringLiteral("Button%1").arg(digit));
        QVERIFY(button);
        QCOMPARE(button->property("Tag").toInt(), digit);
        QCOMPARE(button->size(), QSize(83, 45));
    }
    QCOMPARE(form.findChild<QPushButton*>("ButtonDiv")->text(), QString("÷"));
    QCOMPARE(ExpressionText(&form), QString("0"));
    QCOMPARE(ResultText(&form), QString());
}

void TstFormCalculator::buttons() {
    TFormCalculator form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const char* name : {"Button7", "ButtonDiv", "ButtonDiv", "Button2", "ButtonCalc"})
        Click(&form, name);
    QCOMPARE(ExpressionText(&form), QString("7÷2"));
    QCOMPARE(ResultText(&form), QString("3.5"));
    // The focus goes back to the panel so that keys keep reaching the window.
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("PanelExpression"));
    Click(&form, "ButtonBracket");
    QCOMPARE(form.findChild<QPushButton*>("ButtonBracket")->property("Tag").toInt(), 1);
    Click(&form, "ButtonCalc");
    QCOMPARE(ResultText(&form), QString());
    Click(&form, "ButtonClear");
    Click(&form, "ButtonPlusMinus");
    QCOMPARE(ExpressionText(&form), QString("-0"));
}

void TstFormCalculator::keysReachTheWindow() {
    TFormCalculator form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* panel = form.findChild<QWidget*>("PanelExpression");
    QTRY_COMPARE(QApplication::focusWidget(), panel);
    QTest::keyClicks(panel, "12");
    QTest::keyClick(panel, Qt::Key_Asterisk, Qt::ShiftModifier);
    QTest::keyClick(panel, Qt::Key_3, Qt::KeypadModifier);
    QCOMPARE(ExpressionText(&form), QString("12×3"));
    // Tab does not move the focus; Enter evaluates instead of pressing a button.
    QTest::keyClick(panel, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), panel);
    QTest::keyClick(panel, Qt::Key_Return);
    QCOMPARE(ResultText(&form), QString("36"));
    // Keys sent to a control still reach the window's handler, which takes the focus back.
    QTest::keyClick(form.findChild<QWidget*>("Button5"), Qt::Key_Backspace);
    QCOMPARE(ExpressionText(&form), QString("12×"));
    // Esc clears and keeps the window open.
    QTest::keyClick(panel, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QCOMPARE(ExpressionText(&form), QString("0"));
    QCOMPARE(ResultText(&form), QString());
}

void TstFormCalculator::launcherOpensOnce() {
    QWidget owner;
    auto* button = new QPushButton("计算", &owner);
    owner.show();
    ShowCalculator(button);
    ShowCalculator(button);
    const QList<TFormCalculator*> open = owner.findChildren<TFormCalculator*>();
    QCOMPARE(open.size(), 1);
    QPointer<TFormCalculator> form = open.first();
    QVERIFY(form->isModal());
    form->close();
    QTRY_VERIFY(form.isNull()); // destroyed when it closes
    ShowCalculator(button);
    QCOMPARE(owner.findChildren<TFormCalculator*>().size(), 1);
}

QTEST_MAIN(TstFormCalculator)
#include "tst_FormCalculator.moc"
