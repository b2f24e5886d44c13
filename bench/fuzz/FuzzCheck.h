// A property a fuzz target checks on every input: when it does not hold, the target aborts, which
// libFuzzer reports as a crash and saves the input.
#pragma once

#include <cstdlib>

inline void Check(bool condition) {
    if (!condition)
        std::abort();
}
