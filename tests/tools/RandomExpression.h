// Seeded random input for the calculator's evaluator: noise over the expression alphabet, and
// well-formed expressions printed with the fewest brackets their grouping needs, each with the
// value an independent tree walk gives under the same arithmetic rules.
#pragma once

#include <QByteArray>
#include <QString>
#include <cmath>
#include <memory>
#include <optional>
#include <random>

class TRandomExpression {
public:
    struct TSample {
        QString Text;
        std::optional<double> Value; // nothing where evaluation must fail
    };

    explicit TRandomExpression(quint64 seed) : m_random(seed) {}

    // Text over the expression alphabet with a few stray characters; mostly short, sometimes long.
    QString Noise() {
        static const char* const pieces[] = {
            "0",   "1",   "7", "9", ".",  "+",  "-",  "*",  "/",  "\\",    "^",          "(",  ")", " ",
            "Mod", "mod", "E", "e", "E+", "e-", "00", "5.", ".5", "1E308", "2147483648", "\t", "x", "(("};
        const int length = Pick(20) == 0 ? 100 + Pick(3000) : Pick(24);
        QString text;
        for (int i = 0; i < length; ++i) {
            if (Pick(40) == 0)
                text += QChar(static_cast<ushort>(Pick(0x3000)));
            else
                text += QLatin1String(pieces[Pick(std::size(pieces))]);
        }
        return text;
    }

    TSample Structured() {
        const std::unique_ptr<TNode> tree = Build(1 + Pick(6));
        return {Print(*tree), Value(*tree)};
    }

private:
    // Operators as the evaluator orders them (higher binds tighter).
    enum TKind { Number, Negate, Plus, Add, Sub, Mod, IntDiv, Mul, Div, Pow };
    struct TNode {
        TKind Kind = Number;
        QString Literal;
        double Amount = 0;
        std::unique_ptr<TNode> Left, Right; // a sign uses Left only
    };

    int Pick(size_t bound) {
        return static_cast<int>(std::uniform_int_distribution<size_t>(0, bound - 1)(m_random));
    }

    static int Precedence(TKind kind) {
        static const int table[] = {9, 5, 5, 1, 1, 2, 3, 4, 4, 6};
        return table[kind];
    }
    static const char* Symbol(TKind kind) {
        static const char* const table[] = {"", "-", "+", "+", "-", " Mod ", "\\", "*", "/", "^"};
        return table[kind];
    }

    std::unique_ptr<TNode> Build(int depth) {
        auto node = std::make_unique<TNode>();
        if (depth == 0 || Pick(4) == 0) {
            node->Literal = RandomLiteral();
            node->Amount = node->Literal.toLatin1().toDouble();
            return node;
        }
        if (Pick(6) == 0) {
            node->Kind = Pick(3) == 0 ? Plus : Negate;
            node->Left = Build(depth - 1);
            return node;
        }
        static const TKind binary[] = {Add, Sub, Mod, IntDiv, Mul, Div, Pow};
        node->Kind = binary[Pick(std::size(binary))];
        node->Left = Build(depth - 1);
        node->Right = Build(depth - 1);
        return node;
    }

    QString RandomLiteral() {
        switch (Pick(8)) {
        case 0:
            return QString::number(Pick(3)); // zeros and ones: division by zero, 0^-1
        case 1:
            return QStringLiteral("%1.%2").arg(Pick(1000)).arg(Pick(1000));
        case 2:
            return QStringLiteral("%1E%2%3")
                .arg(1 + Pick(9))
                .arg(Pick(2) ? "+" : "-")
                .arg(Pick(300)); // normal Doubles only: literals never overflow or underflow
        case 3:
            return QStringLiteral("2147483647");
        case 4:
            return QStringLiteral(".5");
        default:
            return QString::number(Pick(100));
        }
    }

    QString Print(const TNode& node) const {
        if (node.Kind == Number)
            return node.Literal;
        if (!node.Right) // a sign: its operand needs brackets unless it binds tighter
            return QLatin1String(Symbol(node.Kind)) + Child(*node.Left, Precedence(node.Kind) + 1);
        // Left grouping: a right operand of equal rank needs brackets. A sign right of "^" is
        // bracketed too, since "a^-b^c" reads as a^-(b^c).
        const bool signAfterPower = node.Kind == Pow && !node.Right->Right && node.Right->Kind != Number;
        const QString right =
            signAfterPower ? Bracketed(*node.Right) : Child(*node.Right, Precedence(node.Kind) + 1);
        return Child(*node.Left, Precedence(node.Kind)) + QLatin1String(Symbol(node.Kind)) + right;
    }
    QString Child(const TNode& child, int needed) const {
        return Precedence(child.Kind) >= needed ? Print(child) : Bracketed(child);
    }
    QString Bracketed(const TNode& child) const { return QLatin1Char('(') + Print(child) + QLatin1Char(')'); }

    static bool ToLong(double value, qint64* out) {
        const double rounded = std::nearbyint(value);
        if (!(std::fabs(rounded) <= 2147483648.0) || rounded == 2147483648.0)
            return false;
        *out = static_cast<qint64>(rounded);
        return true;
    }

    static std::optional<double> Value(const TNode& node) {
        if (node.Kind == Number)
            return std::isfinite(node.Amount) ? std::optional<double>(node.Amount) : std::nullopt;
        const std::optional<double> left = Value(*node.Left);
        if (!left)
            return std::nullopt;
        if (!node.Right)
            return node.Kind == Negate ? -*left : *left;
        const std::optional<double> right = Value(*node.Right);
        if (!right)
            return std::nullopt;
        double result = 0;
        qint64 a = 0, b = 0;
        switch (node.Kind) {
        case Add:
            result = *left + *right;
            break;
        case Sub:
            result = *left - *right;
            break;
        case Mul:
            result = *left * *right;
            break;
        case Div:
            if (*right == 0)
                return std::nullopt;
            result = *left / *right;
            break;
        case IntDiv:
        case Mod:
            if (!ToLong(*left, &a) || !ToLong(*right, &b) || b == 0)
                return std::nullopt;
            if (node.Kind == IntDiv && a / b > 2147483647)
                return std::nullopt;
            result = static_cast<double>(node.Kind == IntDiv ? a / b : a % b);
            break;
        case Pow:
            if ((*left == 0 && *right < 0) || (*left < 0 && *right != std::floor(*right)))
                return std::nullopt;
            result = std::pow(*left, *right);
            break;
        default:
            return std::nullopt;
        }
        return std::isfinite(result) ? std::optional<double>(result) : std::nullopt;
    }

    std::mt19937_64 m_random;
};
