// The calculator's evaluator: VBScript's arithmetic and number text, its failures, hostile input
// (depth, length, huge numbers) and a seeded random comparison with an independent tree walk.
#include "tools/ExpressionEvaluator.h"

#include "RandomExpression.h"

#include <QtTest>
#include <cfloat>

class TstExpressionEvaluator : public QObject {
    Q_OBJECT
private slots:
    void values_data();
    void values();
    void failures_data();
    void failures();
    void fuzzFindings_data();
    void fuzzFindings();
    void formatting_data();
    void formatting();
    void deepBracketsAreSafe();
    void longInputsAreSafe();
    void randomInputAgreesWithTreeWalk();
};

void TstExpressionEvaluator::values_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");
    QTest::newRow("division is floating point") << "7/2"
                                                << "3.5";
    QTest::newRow("integer division truncates") << "7\\2"
                                                << "3";
    QTest::newRow("integer division of negatives") << "-7\\2"
                                                   << "-3";
    QTest::newRow("integer division rounds half to even first") << "7.5\\2"
                                                                << "4";
    QTest::newRow("integer division rounds 2.5 down") << "2.5\\1"
                                                      << "2";
    QTest::newRow("mod takes the dividend's sign") << "-7 Mod 3"
                                                   << "-1";
    QTest::newRow("mod in any case") << "7 MOD 3"
                                     << "1";
    QTest::newRow("mod after a bracket") << "(7)mod(4)"
                                         << "3";
    QTest::newRow("power") << "2^10"
                           << "1024";
    QTest::newRow("power groups from the left") << "2^3^2"
                                                << "64";
    QTest::newRow("sign binds looser than power") << "-2^2"
                                                  << "-4";
    QTest::newRow("negative exponent") << "2^-1"
                                       << "0.5";
    QTest::newRow("root") << "9^0.5"
                          << "3";
    QTest::newRow("negative base, whole exponent") << "(-2)^3"
                                                   << "-8";
    QTest::newRow("zero to the zero") << "0^0"
                                      << "1";
    QTest::newRow("times before plus") << "1+2*3"
                                       << "7";
    QTest::newRow("brackets") << "(1+2)*3"
                              << "9";
    QTest::newRow("minus groups from the left") << "10-4-3"
                                                << "3";
    QTest::newRow("division groups from the left") << "8/4/2"
                                                   << "1";
    QTest::newRow("mod looser than integer division") << "7 Mod 5\\2"
                                                      << "1";
    QTest::newRow("integer division looser than times") << "7\\2*2"
                                                        << "1";
    QTest::newRow("signs stack") << "--+-5"
                                 << "-5";
    QTest::newRow("operator then sign") << "5+-3"
                                        << "2";
    QTest::newRow("sign after times") << "2*-3"
                                      << "-6";
    QTest::newRow("blanks") << " 1 +\t2 "
                            << "3";
    QTest::newRow("trailing point") << "5."
                                    << "5";
    QTest::newRow("leading point") << ".5+1"
                                   << "1.5";
    QTest::newRow("exponent literal") << "1E3+1"
                                      << "1001";
    QTest::newRow("negative exponent literal") << "25e-1"
                                               << "2.5";
    QTest::newRow("sum near 0.3") << "0.1+0.2"
                                  << "0.3";
    QTest::newRow("a third") << "1/3"
                             << "0.333333333333333";
    QTest::newRow("two thirds rounds") << "2/3"
                                       << "0.666666666666667";
    QTest::newRow("minus zero shows 0") << "-0"
                                        << "0";
    QTest::newRow("product to minus zero") << "0*-1"
                                           << "0";
    QTest::newRow("large literal") << "123456789012345678901234567890"
                                   << "1.23456789012346E+29";
    QTest::newRow("tiny literal is zero") << "1E-400"
                                          << "0";
    QTest::newRow("underflow is zero") << "1E-200*1E-200"
                                       << "0";
    QTest::newRow("many leading zeros") << QString(5000, QLatin1Char('0')) + "1"
                                        << "1";
    QTest::newRow("largest Long divided") << "2147483647\\1"
                                          << "2147483647";
    QTest::newRow("smallest Long divided") << "-2147483648\\1"
                                           << "-2147483648";
    QTest::newRow("smallest Long mod -1") << "-2147483648 Mod -1"
                                          << "0";
    QTest::newRow("deep but balanced") << QString(1000, '(') + "2" + QString(1000, ')') << "2";
}

void TstExpressionEvaluator::values() {
    QFETCH(QString, expression);
    QFETCH(QString, result);
    QCOMPARE(TExpressionEvaluator::EvaluateToText(expression), result);
}

void TstExpressionEvaluator::failures_data() {
    QTest::addColumn<QString>("expression");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "  ";
    QTest::newRow("trailing operator") << "5+";
    QTest::newRow("leading operator") << "*5";
    QTest::newRow("division by zero") << "1/0";
    QTest::newRow("zero by zero") << "0/0";
    QTest::newRow("integer division by zero") << "1\\0";
    QTest::newRow("integer division by a value rounding to zero") << "1\\0.4";
    QTest::newRow("mod by zero") << "5 Mod 0";
    QTest::newRow("zero to a negative power") << "0^-1";
    QTest::newRow("root of a negative") << "(-8)^(1/3)";
    QTest::newRow("overflowing product") << "1E308*10";
    QTest::newRow("overflowing sum") << "1E308+1E308";
    QTest::newRow("overflowing power") << "10^400";
    QTest::newRow("overflowing literal") << "1E309";
    QTest::newRow("literal of 400 digits") << "1" + QString(400, QLatin1Char('0'));
    QTest::newRow("integer division beyond Long") << "2147483648\\1";
    QTest::newRow("integer division overflows Long") << "-2147483648\\-1";
    QTest::newRow("mod beyond Long") << "1E10 Mod 3";
    QTest::newRow("unclosed bracket") << "(1+2";
    QTest::newRow("unopened bracket") << "1+2)";
    QTest::newRow("empty brackets") << "()";
    QTest::newRow("bracket after a number") << "2(3)";
    QTest::newRow("two points") << "1.2.3";
    QTest::newRow("lone point") << ".";
    QTest::newRow("point after operator only") << "1+.";
    QTest::newRow("exponent without digits") << "2E";
    QTest::newRow("exponent sign without digits") << "2E+";
    QTest::newRow("number glued to a word") << "5x";
    QTest::newRow("unknown word") << "5 Modx 2";
    QTest::newRow("mod without operands") << "Mod";
    QTest::newRow("display operators are not operators") << QString::fromUtf8("6÷2");
    QTest::newRow("full-width bracket") << QString::fromUtf8("（1）");
    QTest::newRow("script text") << "CreateObject(\"WScript.Shell\")";
    QTest::newRow("comparison") << "1=1";
    QTest::newRow("string concatenation") << "1&2";
    QTest::newRow("infinity word") << "inf";
    QTest::newRow("nul character") << QString(QChar(0)) + "1";
    QTest::newRow("deep unclosed") << QString(100000, '(') + "1";
}

void TstExpressionEvaluator::failures() {
    QFETCH(QString, expression);
    QVERIFY(!TExpressionEvaluator::Evaluate(expression));
    QCOMPARE(TExpressionEvaluator::EvaluateToText(expression), QString());
}

// Inputs the fuzzer kept as reaching new paths; an empty result means the expression fails.
void TstExpressionEvaluator::fuzzFindings_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");
    QTest::newRow("fractional power minus") << ".2^.7-.4"
                                            << "-0.0758686806614475";
    QTest::newRow("near the smallest normal") << "1/.9E308"
                                              << "1.11111111111111E-308";
    QTest::newRow("subnormal quotient") << "1/78/1E308"
                                        << "1.2820512820513E-310";
    QTest::newRow("power before integer division overflows Long") << "-83^5\\2"
                                                                  << "";
    QTest::newRow("mod by a signed zero") << "1 Mod+0"
                                          << "";
    QTest::newRow("mod by a signed number") << "1 Mod+4"
                                            << "1";
    QTest::newRow("integer division chain ending in an operator") << "0\\5\\4\\5\\"
                                                                  << "";
    QTest::newRow("power chain of zero") << "0^2^7^2^2"
                                         << "0";
    QTest::newRow("literal with a huge exponent") << ".021474836485324E976"
                                                  << "";
    QTest::newRow("huge literal after a tiny one") << ".8E-444+.8E444"
                                                   << "";
    QTest::newRow("unclosed brackets with signs") << "((60+((-896)^5^6"
                                                  << "";
    QTest::newRow("open brackets then signs") << "++((((+("
                                              << "";
    QTest::newRow("sum with unclosed brackets") << "(8^4+3+(8^1+4+(8^1"
                                                << "";
    QTest::newRow("tab then digits") << "1\t21748363"
                                     << "";
    QTest::newRow("letters after a number") << "1 dddcdddo"
                                            << "";
}

void TstExpressionEvaluator::fuzzFindings() {
    QFETCH(QString, expression);
    QFETCH(QString, result);
    QCOMPARE(TExpressionEvaluator::EvaluateToText(expression), result);
}

void TstExpressionEvaluator::formatting_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 78.0 << "78";
    QTest::newRow("negative fraction") << -0.5 << "-0.5";
    QTest::newRow("largest plain") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1E15 switches to exponent") << 1e15 << "1E+15";
    QTest::newRow("rounded to 15 digits") << 1234567890123456.0 << "1.23456789012346E+15";
    QTest::newRow("rounding carries into the exponent") << 9999999999999999.0 << "1E+16";
    QTest::newRow("smallest plain") << 0.0001 << "0.0001";
    QTest::newRow("below 0.0001 in exponent") << 0.00001 << "1E-05";
    QTest::newRow("rounds up to 0.0001") << 0.00009999999999999999 << "0.0001";
    QTest::newRow("three-digit exponent") << 1.5e-300 << "1.5E-300";
    QTest::newRow("largest Double") << DBL_MAX << "1.79769313486232E+308";
    QTest::newRow("smallest subnormal") << 4.9406564584124654e-324 << "4.94065645841247E-324";
    QTest::newRow("trailing zeros dropped") << 2.50 << "2.5";
    QTest::newRow("infinity has no text") << HUGE_VAL << "";
}

void TstExpressionEvaluator::formatting() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(TExpressionEvaluator::FormatNumber(value), text);
}

// A parser that recursed per bracket would exhaust the stack long before 100,000 levels.
void TstExpressionEvaluator::deepBracketsAreSafe() {
    const int depth = 100000;
    QCOMPARE(TExpressionEvaluator::EvaluateToText(QString(depth, '(') + "7" + QString(depth, ')')),
             QString("7"));
    QCOMPARE(TExpressionEvaluator::EvaluateToText(QString(depth, '-') + "7"), QString("7"));
    QString signs;
    for (int i = 0; i < depth; ++i)
        signs += "-(";
    QCOMPARE(TExpressionEvaluator::EvaluateToText(signs + "7" + QString(depth, ')')), QString("7"));
    QVERIFY(!TExpressionEvaluator::Evaluate(QString(depth, ')')));
}

void TstExpressionEvaluator::longInputsAreSafe() {
    QString sum = "1";
    for (int i = 0; i < 200000; ++i)
        sum += "+1";
    QCOMPARE(TExpressionEvaluator::EvaluateToText(sum), QString("200001"));
    QCOMPARE(TExpressionEvaluator::EvaluateToText(QString(1000000, '9') + "/" + QString(999999, '9')),
             QString());
    QCOMPARE(TExpressionEvaluator::EvaluateToText("0." + QString(1000000, '0') + "1"), QString("0"));
    QVERIFY(!TExpressionEvaluator::Evaluate(QString(1000000, '.')));
}

// Well-formed expressions agree with the tree walk (value or failure); noise never crashes and
// every value it yields is finite and reads back as itself.
void TstExpressionEvaluator::randomInputAgreesWithTreeWalk() {
    TRandomExpression random(20261209);
    for (int i = 0; i < 150000; ++i) {
        const TRandomExpression::TSample sample = random.Structured();
        const std::optional<double> value = TExpressionEvaluator::Evaluate(sample.Text);
        QVERIFY2(value.has_value() == sample.Value.has_value(), qPrintable(sample.Text));
        if (value)
            QVERIFY2(TExpressionEvaluator::FormatNumber(*value) ==
                         TExpressionEvaluator::FormatNumber(*sample.Value),
                     qPrintable(sample.Text));

        const QString noise = random.Noise();
        if (const std::optional<double> noiseValue = TExpressionEvaluator::Evaluate(noise)) {
            const QString text = TExpressionEvaluator::FormatNumber(*noiseValue);
            QVERIFY2(!text.isEmpty(), qPrintable(noise));
            if (*noiseValue == 0 || std::fabs(*noiseValue) >= DBL_MIN)
                QVERIFY2(TExpressionEvaluator::EvaluateToText(text) == text, qPrintable(noise));
        }
    }
}

QTEST_APPLESS_MAIN(TstExpressionEvaluator)
#include "tst_ExpressionEvaluator.moc"
