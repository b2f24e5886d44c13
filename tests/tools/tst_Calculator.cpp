// The calculator's editing rules and key table, without a window.
#include "tools/Calculator.h"

#include <QtTest>

namespace {
const QString kDiv = QString(TCalculator::Divide);
const QString kMul = QString(TCalculator::Multiply);

// Drives a calculator with a compact script: digits, "+ - * /" (as ÷/×), "(" toggles the
// bracket, "." point, "s" sign, "<" delete, "C" clear, "=" evaluate.
void Play(TCalculator* calc, const QString& script) {
    for (const QChar c : script) {
        if (c.isDigit())
            calc->AddDigit(c.digitValue());
        else if (c == '*')
            calc->AddOperator(TCalculator::Multiply);
        else if (c == '/')
            calc->AddOperator(TCalculator::Divide);
        else if (c == '+' || c == '-')
            calc->AddOperator(c);
        else if (c == '(')
            calc->ToggleBracket();
        else if (c == '.')
            calc->AddPoint();
        else if (c == 's')
            calc->ToggleSign();
        else if (c == '<')
            calc->DeleteLast();
        else if (c == 'C')
            calc->Clear();
        else if (c == '=')
            calc->Evaluate();
    }
}
} // namespace

class TstCalculator : public QObject {
    Q_OBJECT
private slots:
    void editing_data();
    void editing();
    void bracketToggleIgnoresText();
    void clearEmptiesResult();
    void keys_data();
    void keys();
    void keysThatDoNothing();
};

void TstCalculator::editing_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");
    QTest::newRow("start value is replaced") << "78"
                                             << "78"
                                             << "";
    QTest::newRow("operator after start value") << "C+"
                                                << "0+"
                                                << "";
    QTest::newRow("same operator once") << "1++"
                                        << "1+"
                                        << "";
    QTest::newRow("different operators both") << "5+-"
                                              << "5+-"
                                              << "";
    QTest::newRow("display operators") << "8/2*3"
                                       << "8" + kDiv + "2" + kMul + "3"
                                       << "";
    QTest::newRow("sign on") << "12s"
                             << "-12"
                             << "";
    QTest::newRow("sign off") << "12ss"
                              << "12"
                              << "";
    QTest::newRow("sign on a difference") << "5-3s"
                                          << "-5-3"
                                          << "";
    QTest::newRow("delete to start value") << "7<"
                                           << "0"
                                           << "";
    QTest::newRow("delete last character") << "75<"
                                           << "7"
                                           << "";
    QTest::newRow("point unconditionally") << "1.."
                                           << "1.."
                                           << "";
    QTest::newRow("digit after zero of a sum") << "0+0"
                                               << "0+0"
                                               << "";
    QTest::newRow("zero stays start value") << "00"
                                            << "0"
                                            << "";
    QTest::newRow("division is floating point") << "7/2="
                                                << "7" + kDiv + "2"
                                                << "3.5";
    QTest::newRow("division by zero empties") << "1/0="
                                              << "1" + kDiv + "0"
                                              << "";
    QTest::newRow("trailing operator empties") << "5+="
                                               << "5+"
                                               << "";
    QTest::newRow("brackets and times") << "2*(1+2(="
                                        << "2" + kMul + "(1+2)"
                                        << "6";
    QTest::newRow("bracket is appended to the start value") << "("
                                                            << "0("
                                                            << "";
    QTest::newRow("bad point text empties") << "1..2="
                                            << "1..2"
                                            << "";
    QTest::newRow("signed result") << "3-5="
                                   << "3-5"
                                   << "-2";
    // A lone sign removed leaves nothing: the expression is never empty.
    QTest::newRow("sign removed from a lone minus") << "0-s<<s"
                                                    << "0"
                                                    << "";
}

void TstCalculator::editing() {
    QFETCH(QString, script);
    TCalculator calc;
    Play(&calc, script);
    QTEST(calc.Expression(), "expression");
    QTEST(calc.Result(), "result");
}

void TstCalculator::bracketToggleIgnoresText() {
    TCalculator calc;
    calc.ToggleBracket();
    calc.ToggleBracket();
    calc.ToggleBracket();
    QCOMPARE(calc.Expression(), QString("0()("));
    QCOMPARE(calc.BracketTag(), 1);
    // Shift+0 always closes and Shift+9 always opens, whatever the toggle said.
    calc.AddBracket(false);
    calc.AddBracket(false);
    QCOMPARE(calc.BracketTag(), 0);
    calc.AddBracket(true);
    calc.AddBracket(true);
    QCOMPARE(calc.Expression(), QString("0()())(("));
    QCOMPARE(calc.BracketTag(), 1);
}

void TstCalculator::clearEmptiesResult() {
    TCalculator calc;
    Play(&calc, "6*7=");
    QCOMPARE(calc.Result(), QString("42"));
    calc.Clear();
    QCOMPARE(calc.Expression(), QString("0"));
    QCOMPARE(calc.Result(), QString());
}

void TstCalculator::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expression"); // after typing the key on "12"
    const int shift = Qt::ShiftModifier;
    const int keypad = Qt::KeypadModifier;
    QTest::newRow("digit") << int(Qt::Key_7) << 0 << "127";
    QTest::newRow("keypad digit") << int(Qt::Key_7) << keypad << "127";
    QTest::newRow("shift+8 multiplies") << int(Qt::Key_Asterisk) << shift << "12" + kMul;
    QTest::newRow("asterisk without shift state") << int(Qt::Key_Asterisk) << 0 << "12" + kMul;
    QTest::newRow("ctrl+shift+8 is a digit")
        << int(Qt::Key_Asterisk) << (shift | int(Qt::ControlModifier)) << "128";
    QTest::newRow("shift+9 opens") << int(Qt::Key_ParenLeft) << shift << "12(";
    QTest::newRow("shift+0 closes") << int(Qt::Key_ParenRight) << shift << "12)";
    QTest::newRow("shift with another digit") << int(Qt::Key_Exclam) << shift << "121";
    QTest::newRow("ctrl with a digit") << int(Qt::Key_5) << int(Qt::ControlModifier) << "125";
    QTest::newRow("keypad times") << int(Qt::Key_Asterisk) << keypad << "12" + kMul;
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << "12+";
    QTest::newRow("keypad minus") << int(Qt::Key_Minus) << keypad << "12-";
    QTest::newRow("keypad point") << int(Qt::Key_Period) << keypad << "12.";
    QTest::newRow("keypad decimal comma") << int(Qt::Key_Comma) << keypad << "12.";
    QTest::newRow("keypad divide") << int(Qt::Key_Slash) << keypad << "12" + kDiv;
    QTest::newRow("shift+= adds plus") << int(Qt::Key_Plus) << shift << "12+";
    QTest::newRow("minus key") << int(Qt::Key_Minus) << 0 << "12-";
    QTest::newRow("shift+minus") << int(Qt::Key_Underscore) << shift << "12-";
    QTest::newRow("full stop") << int(Qt::Key_Period) << 0 << "12.";
    QTest::newRow("slash") << int(Qt::Key_Slash) << 0 << "12" + kDiv;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "1";
    QTest::newRow("escape clears") << int(Qt::Key_Escape) << 0 << "0";
}

void TstCalculator::keys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TCalculator calc;
    Play(&calc, "12");
    QVERIFY(calc.PressKey(key, Qt::KeyboardModifiers(modifiers)));
    QTEST(calc.Expression(), "expression");
}

void TstCalculator::keysThatDoNothing() {
    TCalculator calc;
    Play(&calc, "2+3");
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Equal)}) {
        QVERIFY(calc.PressKey(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier));
        QCOMPARE(calc.Result(), QString("5"));
    }
    QVERIFY(calc.PressKey(Qt::Key_Tab, Qt::NoModifier)); // consumed, changes nothing
    QVERIFY(!calc.PressKey(Qt::Key_A, Qt::NoModifier));
    QVERIFY(!calc.PressKey(Qt::Key_F5, Qt::NoModifier));
    QVERIFY(!calc.PressKey(Qt::Key_Space, Qt::NoModifier));
    QCOMPARE(calc.Expression(), QString("2+3"));
    QCOMPARE(calc.Result(), QString("5"));
}

QTEST_APPLESS_MAIN(TstCalculator)
#include "tst_Calculator.moc"
