// Fuzz driver of the calculator's evaluator. Every input must evaluate without a crash, a hang or
// a leak; a value must be finite, have a text, and (unless subnormal) read back as that text.
//
// With libFuzzer (clang): tests/tools/fuzz_evaluator.sh builds it with -fsanitize=fuzzer,address,
// undefined and runs it. Built by CMake without libFuzzer it is a seeded random-input driver:
//     build/tests/fuzz_ExpressionEvaluator [executions=10000000] [seed=1]
// which feeds noise and well-formed expressions (checked against a tree walk) and prints the
// count and the time taken.
#include "tools/ExpressionEvaluator.h"

#include <QString>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
void Check(const QString& input) {
    const std::optional<double> value = TExpressionEvaluator::Evaluate(input);
    if (!value)
        return;
    if (!std::isfinite(*value))
        std::abort();
    const QString text = TExpressionEvaluator::FormatNumber(*value);
    if (text.isEmpty())
        std::abort();
    if ((*value == 0 || std::fabs(*value) >= DBL_MIN) && TExpressionEvaluator::EvaluateToText(text) != text)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Bytes as Latin-1 characters, and as UTF-8 text, so both stray bytes and wide characters occur.
    const auto* bytes = reinterpret_cast<const char*>(data);
    const int length = static_cast<int>(size);
    Check(QString::fromLatin1(bytes, length));
    Check(QString::fromUtf8(bytes, length));
    return 0;
}

#ifndef QUELLON_LIBFUZZER
#include "RandomExpression.h"

#include <QElapsedTimer>

int main(int argc, char** argv) {
    const long long executions = argc > 1 ? std::atoll(argv[1]) : 10000000LL;
    const quint64 seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    TRandomExpression random(seed);
    QElapsedTimer timer;
    timer.start();
    long long mismatches = 0;
    for (long long i = 0; i < executions; i += 2) {
        const TRandomExpression::TSample sample = random.Structured();
        const std::optional<double> value = TExpressionEvaluator::Evaluate(sample.Text);
        if (value.has_value() != sample.Value.has_value() ||
            (value && TExpressionEvaluator::FormatNumber(*value) !=
                          TExpressionEvaluator::FormatNumber(*sample.Value))) {
            std::fprintf(stderr, "mismatch: %s\n", qPrintable(sample.Text));
            ++mismatches;
        }
        Check(sample.Text);
        Check(random.Noise());
    }
    std::printf("%lld executions, seed %llu, %.1f s, %lld mismatches\n", executions,
                static_cast<unsigned long long>(seed), timer.elapsed() / 1000.0, mismatches);
    return mismatches == 0 ? 0 : 1;
}
#endif
