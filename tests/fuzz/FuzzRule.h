#pragma once
// Stops a fuzzing run when a result breaks a rule the code promises, besides
// what the sanitizers catch; libFuzzer keeps the input that did it.

#include <cstdio>
#include <cstdlib>

inline void Require(bool condition, const char* rule)
{
    if (condition)
        return;
    std::fprintf(stderr, "broken rule: %s\n", rule);
    std::abort();
}
