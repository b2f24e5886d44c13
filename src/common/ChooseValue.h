// A conditional choice as a function.
#pragma once

// Kept though nothing calls it: the public helper set includes it.
template <class T> T ChooseValue(bool condition, const T& a, const T& b) {
    return condition ? a : b;
}
