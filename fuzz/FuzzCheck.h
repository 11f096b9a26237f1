#pragma once
// The invariant check of the fuzz targets: a broken invariant prints what broke and traps, so
// libFuzzer saves the input that broke it as a crash.

#include <QString>

#include <cstdio>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (false)

namespace qmx::fuzz {

/// The bytes as text the way a file or a field gives them: UTF-8 with invalid bytes replaced.
inline QString textOf(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace qmx::fuzz
