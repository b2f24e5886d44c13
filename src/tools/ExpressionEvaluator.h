// The calculator's arithmetic: a small evaluator of VBScript-style numeric expressions (numbers,
// + - * / \ Mod ^, unary signs, brackets) and VBScript's text form of a Double.
#pragma once

#include <QString>
#include <optional>

class TExpressionEvaluator {
public:
    // The value of the expression, or nothing when it is malformed, divides by zero or overflows.
    // "/" and "^" work in floating point; "\" and Mod round their operands to 32-bit integers
    // first (half to even) and fail outside that range. The parse is iterative, so any nesting
    // depth and any length of input is safe; memory stays proportional to the input.
    static std::optional<double> Evaluate(const QString& expression);
    // The value as VBScript's CStr shows a Double: 15 significant digits, trailing zeros dropped,
    // "1E+15"/"1E-05" notation outside 0.0001 <= |value| < 1E15 (after rounding). Empty for infinities and
    // NaN.
    static QString FormatNumber(double value);
    // Evaluate and format; empty when the expression fails.
    static QString EvaluateToText(const QString& expression);
};
