// The calculator's state and editing rules without a window: the expression text with its
// "÷"/"×" operators, the result text, the bracket toggle and the meaning of every key.
#pragma once

#include <QChar>
#include <QString>
#include <Qt>

class TCalculator {
public:
    // What a key does in the calculator window.
    enum class TKeyAction {
        None, // not a calculator key
        Keep, // Tab: consumed, the focus stays where it is
        Digit,
        Operator, // Operator() holds "÷", "×", "-" or "+"
        OpenBracket,
        CloseBracket,
        Point,
        Delete,
        Clear,
        Evaluate,
    };
    struct TKey {
        TKeyAction Action = TKeyAction::None;
        int Digit = 0;
        QChar Operator;
    };

    static const QChar Divide;   // "÷"
    static const QChar Multiply; // "×"

    const QString& Expression() const { return m_expression; }
    const QString& Result() const { return m_result; }
    // 0: the bracket button adds "(" next; 1: it adds ")".
    int BracketTag() const { return m_bracketTag; }

    void AddDigit(int digit);   // replaces a lone "0"
    void AddOperator(QChar op); // not twice in a row
    void ToggleBracket();       // "(" and ")" by turns, whatever the text holds
    void AddBracket(bool open); // Shift+9 / Shift+0: forces the toggle first
    void AddPoint();            // unconditionally
    void ToggleSign();          // a leading "-" is removed or put in front
    void DeleteLast();          // the last character; "0" when nothing is left
    void Clear();               // "0" and no result
    void Evaluate();            // the result, or empty when the expression fails
    // Applies a key as the window's key handler does; false when the key means nothing here.
    bool PressKey(int qtKey, Qt::KeyboardModifiers modifiers);

    // The meaning of a key press. The rules are written for a PC keyboard's keys: Shift+8 is "×",
    // Shift+9/Shift+0 are brackets, "=" evaluates and Shift+"=" adds "+"; Qt reports the shifted
    // symbol ("*", "(", "+"), which is mapped back to its key with Shift held.
    static TKey KeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

private:
    void SetExpression(const QString& text);

    QString m_expression = QStringLiteral("0");
    QString m_result;
    int m_bracketTag = 0;
};
