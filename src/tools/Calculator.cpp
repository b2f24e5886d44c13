// The calculator's editing rules and key table (see Calculator.h).
#include "tools/Calculator.h"

#include "tools/ExpressionEvaluator.h"

const QChar TCalculator::Divide = QChar(0x00F7);
const QChar TCalculator::Multiply = QChar(0x00D7);

namespace {

// The PC keys of the key table, as the keyboard's virtual-key codes number them.
enum TPcKey : int { KeyEquals = 187, KeyMinus = 189, KeyPeriod = 190, KeySlash = 191 };

struct TPcPress {
    int Key = 0; // '0'..'9' or a TPcKey; 0 for other keys
    bool Shifted = false;
};

// The PC key behind a Qt key of the main keyboard (US layout for the shifted symbols).
TPcPress PcKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return {qtKey, false};
    switch (qtKey) {
    case Qt::Key_ParenRight:
        return {'0', true};
    case Qt::Key_Exclam:
        return {'1', true};
    case Qt::Key_At:
        return {'2', true};
    case Qt::Key_NumberSign:
        return {'3', true};
    case Qt::Key_Dollar:
        return {'4', true};
    case Qt::Key_Percent:
        return {'5', true};
    case Qt::Key_AsciiCircum:
        return {'6', true};
    case Qt::Key_Ampersand:
        return {'7', true};
    case Qt::Key_Asterisk:
        return {'8', true};
    case Qt::Key_ParenLeft:
        return {'9', true};
    case Qt::Key_Equal:
        return {KeyEquals, false};
    case Qt::Key_Plus:
        return {KeyEquals, true};
    case Qt::Key_Minus:
        return {KeyMinus, false};
    case Qt::Key_Underscore:
        return {KeyMinus, true};
    case Qt::Key_Period:
        return {KeyPeriod, false};
    case Qt::Key_Greater:
        return {KeyPeriod, true};
    case Qt::Key_Slash:
        return {KeySlash, false};
    case Qt::Key_Question:
        return {KeySlash, true};
    default:
        return {};
    }
}

using TKey = TCalculator::TKey;
using TAction = TCalculator::TKeyAction;

TKey OperatorKey(QChar op) {
    return {TAction::Operator, 0, op};
}

TKey KeypadKeyOf(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return {TAction::Digit, qtKey - Qt::Key_0, QChar()};
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return OperatorKey(TCalculator::Multiply);
    case Qt::Key_Plus:
        return OperatorKey(QLatin1Char('+'));
    case Qt::Key_Minus:
        return OperatorKey(QLatin1Char('-'));
    case Qt::Key_Slash:
        return OperatorKey(TCalculator::Divide);
    case Qt::Key_Period:
    case Qt::Key_Comma: // the keypad's decimal key on layouts with a decimal comma
        return {TAction::Point, 0, QChar()};
    default:
        return {};
    }
}

TKey MainKeyOf(const TPcPress& press, bool exactlyShift) {
    if (press.Key >= '0' && press.Key <= '9') {
        if (exactlyShift && press.Key == '8')
            return OperatorKey(TCalculator::Multiply);
        if (exactlyShift && press.Key == '9')
            return {TAction::OpenBracket, 0, QChar()};
        if (exactlyShift && press.Key == '0')
            return {TAction::CloseBracket, 0, QChar()};
        return {TAction::Digit, press.Key - '0', QChar()};
    }
    switch (press.Key) {
    case KeyEquals:
        return exactlyShift ? OperatorKey(QLatin1Char('+')) : TKey{TAction::Evaluate, 0, QChar()};
    case KeyMinus:
        return OperatorKey(QLatin1Char('-'));
    case KeyPeriod:
        return {TAction::Point, 0, QChar()};
    case KeySlash:
        return OperatorKey(TCalculator::Divide);
    default:
        return {};
    }
}

} // namespace

void TCalculator::SetExpression(const QString& text) {
    // The expression is never empty.
    m_expression = text.isEmpty() ? QStringLiteral("0") : text;
}

void TCalculator::AddDigit(int digit) {
    const QString text = QString::number(qBound(0, digit, 9));
    SetExpression(m_expression == QLatin1String("0") ? text : m_expression + text);
}

void TCalculator::AddOperator(QChar op) {
    if (!m_expression.endsWith(op))
        SetExpression(m_expression + op);
}

void TCalculator::ToggleBracket() {
    SetExpression(m_expression + (m_bracketTag == 0 ? QLatin1Char('(') : QLatin1Char(')')));
    m_bracketTag = m_bracketTag == 0 ? 1 : 0;
}

void TCalculator::AddBracket(bool open) {
    m_bracketTag = open ? 0 : 1;
    ToggleBracket();
}

void TCalculator::AddPoint() {
    SetExpression(m_expression + QLatin1Char('.'));
}

void TCalculator::ToggleSign() {
    SetExpression(m_expression.startsWith(QLatin1Char('-')) ? m_expression.mid(1)
                                                            : QLatin1Char('-') + m_expression);
}

void TCalculator::DeleteLast() {
    SetExpression(m_expression.left(m_expression.size() - 1));
}

void TCalculator::Clear() {
    SetExpression(QString());
    m_result.clear();
}

void TCalculator::Evaluate() {
    QString text = m_expression;
    text.replace(Divide, QLatin1Char('/')).replace(Multiply, QLatin1Char('*'));
    m_result = TExpressionEvaluator::EvaluateToText(text);
}

TCalculator::TKey TCalculator::KeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    switch (qtKey) {
    case Qt::Key_Backspace:
        return {TKeyAction::Delete, 0, QChar()};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {TKeyAction::Keep, 0, QChar()};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {TKeyAction::Evaluate, 0, QChar()};
    case Qt::Key_Escape:
        return {TKeyAction::Clear, 0, QChar()};
    default:
        break;
    }
    if (modifiers & Qt::KeypadModifier)
        return KeypadKeyOf(qtKey);
    const TPcPress press = PcKeyOf(qtKey);
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // A shifted symbol was typed with Shift, whatever the modifiers say.
    const Qt::KeyboardModifiers pressed = press.Shifted ? held | Qt::ShiftModifier : held;
    return MainKeyOf(press, pressed == Qt::ShiftModifier);
}

bool TCalculator::PressKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const TKey key = KeyOf(qtKey, modifiers);
    switch (key.Action) {
    case TKeyAction::None:
        return false;
    case TKeyAction::Keep:
        break;
    case TKeyAction::Digit:
        AddDigit(key.Digit);
        break;
    case TKeyAction::Operator:
        AddOperator(key.Operator);
        break;
    case TKeyAction::OpenBracket:
        AddBracket(true);
        break;
    case TKeyAction::CloseBracket:
        AddBracket(false);
        break;
    case TKeyAction::Point:
        AddPoint();
        break;
    case TKeyAction::Delete:
        DeleteLast();
        break;
    case TKeyAction::Clear:
        Clear();
        break;
    case TKeyAction::Evaluate:
        Evaluate();
        break;
    }
    return true;
}
