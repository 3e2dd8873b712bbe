#pragma once

// What every fuzz target shares.

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken expectation ends the run with a line that says which, so that the log tells what
// went wrong and libFuzzer keeps the input.
inline void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "Broken expectation: %s\n", what);
        std::abort();
    }
}

inline QByteArray inputBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
