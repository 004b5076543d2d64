#pragma once

#include <cstdio>
#include <cstdlib>

namespace chomaru {

// A broken property: libFuzzer saves the input that led here as a crash.
inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

}  // namespace chomaru
