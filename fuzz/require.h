#pragma once

#include <cstdio>
#include <cstdlib>

namespace corvan::fuzz {

// A fuzz target's check: a wrong answer stops the run like a crash, so that
// libFuzzer keeps the input that gave it.
inline void Require(bool condition, const char* what = nullptr)
{
    if (condition)
        return;
    if (what)
        std::fprintf(stderr, "failed: %s\n", what);
    std::abort();
}

}  // namespace corvan::fuzz
