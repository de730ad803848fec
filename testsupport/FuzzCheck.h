#pragma once
// A property of a fuzz target: a violated one aborts, so libFuzzer keeps the input as a crash.
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void FuzzCheckFailed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : FuzzCheckFailed(#condition, __FILE__, __LINE__))
