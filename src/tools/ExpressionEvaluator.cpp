// The calculator's evaluator: an operator-precedence parser with explicit stacks (no recursion,
// so nesting depth cannot exhaust the call stack) that reduces as it reads.
#include "tools/ExpressionEvaluator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

enum class TOp : char { Open, Add, Sub, Mod, IntDiv, Mul, Div, Neg, Pos, Pow };

// VBScript's order, loosest first: + -, Mod, \, * /, unary signs, ^. All binary operators group
// from the left (2^3^2 is 64); a sign binds looser than "^" (-2^2 is -4).
int Precedence(TOp op) {
    switch (op) {
    case TOp::Open:
        return 0;
    case TOp::Add:
    case TOp::Sub:
        return 1;
    case TOp::Mod:
        return 2;
    case TOp::IntDiv:
        return 3;
    case TOp::Mul:
    case TOp::Div:
        return 4;
    case TOp::Neg:
    case TOp::Pos:
        return 5;
    case TOp::Pow:
        return 6;
    }
    return 0;
}

bool IsUnary(TOp op) {
    return op == TOp::Neg || op == TOp::Pos;
}

// VBScript's conversion to Long for "\" and Mod: round half to even, fail outside 32 bits.
bool ToLong(double value, qint64* result) {
    const double rounded = std::nearbyint(value); // the default rounding mode is half to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return false;
    *result = static_cast<qint64>(rounded);
    return true;
}

bool IntegerDivide(double left, double right, bool remainder, double* result) {
    qint64 a = 0;
    qint64 b = 0;
    if (!ToLong(left, &a) || !ToLong(right, &b) || b == 0)
        return false;
    const qint64 value = remainder ? a % b : a / b;
    if (value > 2147483647) // -2147483648 \ -1
        return false;
    *result = static_cast<double>(value);
    return true;
}

bool Power(double base, double exponent, double* result) {
    if (base == 0 && exponent < 0)
        return false; // division by zero
    if (base < 0 && exponent != std::floor(exponent))
        return false; // no real root
    *result = std::pow(base, exponent);
    return true;
}

bool Binary(TOp op, double left, double right, double* result) {
    switch (op) {
    case TOp::Add:
        *result = left + right;
        return true;
    case TOp::Sub:
        *result = left - right;
        return true;
    case TOp::Mul:
        *result = left * right;
        return true;
    case TOp::Div:
        if (right == 0)
            return false;
        *result = left / right;
        return true;
    case TOp::IntDiv:
        return IntegerDivide(left, right, false, result);
    case TOp::Mod:
        return IntegerDivide(left, right, true, result);
    case TOp::Pow:
        return Power(left, right, result);
    default:
        return false;
    }
}

class TParser {
public:
    explicit TParser(const QString& text) : m_text(text), m_length(text.size()) {}

    std::optional<double> Run() {
        bool expectOperand = true;
        while (true) {
            SkipBlanks();
            if (m_pos >= m_length)
                break;
            const bool ok = expectOperand ? ReadOperand(&expectOperand) : ReadOperator(&expectOperand);
            if (!ok)
                return std::nullopt;
        }
        if (expectOperand || !ReduceAbove(0))
            return std::nullopt;
        if (!m_ops.empty() || m_values.size() != 1) // an unclosed "("
            return std::nullopt;
        return m_values.back();
    }

private:
    QChar At(int pos) const { return pos < m_length ? m_text.at(pos) : QChar(); }
    static bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
    static bool IsWordChar(QChar c) {
        return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
    }

    void SkipBlanks() {
        while (m_pos < m_length && (At(m_pos) == QLatin1Char(' ') || At(m_pos) == QLatin1Char('\t')))
            ++m_pos;
    }

    // A number, "(" or a sign; after a number an operator or ")" must follow.
    bool ReadOperand(bool* expectOperand) {
        const QChar c = At(m_pos);
        if (c == QLatin1Char('(') || c == QLatin1Char('+') || c == QLatin1Char('-')) {
            ++m_pos;
            m_ops.push_back(c == QLatin1Char('(') ? TOp::Open : c == QLatin1Char('+') ? TOp::Pos : TOp::Neg);
            return true;
        }
        double value = 0;
        if (!ReadNumber(&value))
            return false;
        m_values.push_back(value);
        *expectOperand = false;
        return true;
    }

    bool ReadOperator(bool* expectOperand) {
        const QChar c = At(m_pos);
        if (c == QLatin1Char(')')) {
            ++m_pos;
            if (!ReduceAbove(0) || m_ops.empty()) // no "(" to close
                return false;
            m_ops.pop_back();
            return true;
        }
        TOp op = TOp::Open;
        if (!ReadBinary(&op))
            return false;
        // Left grouping: everything at least as tight as the new operator is done.
        if (!ReduceAbove(Precedence(op) - 1))
            return false;
        m_ops.push_back(op);
        *expectOperand = true;
        return true;
    }

    bool ReadBinary(TOp* op) {
        switch (At(m_pos).unicode()) {
        case '+':
            *op = TOp::Add;
            break;
        case '-':
            *op = TOp::Sub;
            break;
        case '*':
            *op = TOp::Mul;
            break;
        case '/':
            *op = TOp::Div;
            break;
        case '\\':
            *op = TOp::IntDiv;
            break;
        case '^':
            *op = TOp::Pow;
            break;
        default:
            return ReadMod(op);
        }
        ++m_pos;
        return true;
    }

    // The keyword Mod, in any case, as a whole word.
    bool ReadMod(TOp* op) {
        int end = m_pos;
        while (end < m_length && IsWordChar(At(end)))
            ++end;
        if (end - m_pos != 3 ||
            m_text.midRef(m_pos, 3).compare(QLatin1String("mod"), Qt::CaseInsensitive) != 0)
            return false;
        m_pos = end;
        *op = TOp::Mod;
        return true;
    }

    // digits [. digits] [E [+|-] digits], at least one mantissa digit; "5." and ".5" are numbers.
    bool ReadNumber(double* value) {
        std::string literal;
        int digits = 0;
        auto takeDigits = [&] {
            int count = 0;
            for (; IsDigit(At(m_pos)); ++m_pos, ++count)
                literal.push_back(static_cast<char>(At(m_pos).unicode()));
            return count;
        };
        digits += takeDigits();
        if (At(m_pos) == QLatin1Char('.')) {
            literal.push_back('.');
            ++m_pos;
            digits += takeDigits();
        }
        if (digits == 0)
            return false;
        if (At(m_pos) == QLatin1Char('e') || At(m_pos) == QLatin1Char('E')) {
            literal.push_back('e');
            ++m_pos;
            if (At(m_pos) == QLatin1Char('+') || At(m_pos) == QLatin1Char('-'))
                literal.push_back(static_cast<char>(At(m_pos++).unicode()));
            if (takeDigits() == 0)
                return false;
        }
        if (IsWordChar(At(m_pos))) // "5x", "2e3e4"
            return false;
        const char* const end = literal.data() + literal.size();
        const auto parsed = std::from_chars(literal.data(), end, *value);
        if (parsed.ec == std::errc::result_out_of_range && IsTiny(literal)) {
            *value = 0; // below the smallest Double: zero, as the hardware rounds it
            return true;
        }
        // A literal beyond the largest Double overflows.
        return parsed.ec == std::errc() && parsed.ptr == end && std::isfinite(*value);
    }

    // Whether an out-of-range literal is below 1 rather than above it: the position of its first
    // significant digit relative to the point, moved by its exponent (saturated), is negative.
    static bool IsTiny(const std::string& literal) {
        const size_t e = literal.find('e');
        const std::string mantissa = literal.substr(0, e);
        const size_t point = std::min(mantissa.find('.'), mantissa.size());
        const size_t first = mantissa.find_first_not_of("0.");
        if (first == std::string::npos)
            return true; // zero
        long long magnitude =
            first < point ? static_cast<long long>(point - first) : -static_cast<long long>(first - point);
        if (e != std::string::npos) {
            long long exponent = 0;
            const bool negative = literal[e + 1] == '-';
            for (size_t i = e + 1; i < literal.size(); ++i) {
                if (literal[i] >= '0' && literal[i] <= '9')
                    exponent = std::min(exponent * 10 + (literal[i] - '0'), 1000000000LL);
            }
            magnitude += negative ? -exponent : exponent;
        }
        return magnitude < 0;
    }

    // Applies the stacked operators tighter than `floor` until an "(" or a looser one is on top.
    bool ReduceAbove(int floor) {
        while (!m_ops.empty() && m_ops.back() != TOp::Open && Precedence(m_ops.back()) > floor) {
            const TOp op = m_ops.back();
            m_ops.pop_back();
            if (!Apply(op))
                return false;
        }
        return true;
    }

    bool Apply(TOp op) {
        if (m_values.empty())
            return false;
        double result = 0;
        if (IsUnary(op)) {
            result = op == TOp::Neg ? -m_values.back() : m_values.back();
        } else {
            if (m_values.size() < 2)
                return false;
            const double right = m_values.back();
            m_values.pop_back();
            if (!Binary(op, m_values.back(), right, &result))
                return false;
        }
        if (!std::isfinite(result)) // overflow
            return false;
        m_values.back() = result;
        return true;
    }

    const QString& m_text;
    const int m_length;
    int m_pos = 0;
    std::vector<double> m_values;
    std::vector<TOp> m_ops;
};

} // namespace

std::optional<double> TExpressionEvaluator::Evaluate(const QString& expression) {
    return TParser(expression).Run();
}

QString TExpressionEvaluator::FormatNumber(double value) {
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    // 15 significant digits: "d.dddddddddddddde+XX", independent of the C locale.
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string text(buffer, written.ptr);
    const size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < e; ++i) {
        if (text[i] != '.')
            digits.push_back(text[i]);
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::stoi(text.substr(e + 1));

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        const std::string power = std::to_string(std::abs(exponent));
        out += exponent < 0 ? "E-" : "E+";
        out += (power.size() < 2 ? "0" : "") + power;
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole)
            out += digits + std::string(whole - digits.size(), '0');
        else
            out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return QString::fromLatin1(out.c_str());
}

QString TExpressionEvaluator::EvaluateToText(const QString& expression) {
    const std::optional<double> value = Evaluate(expression);
    return value ? FormatNumber(*value) : QString();
}
