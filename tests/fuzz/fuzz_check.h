// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets' own check. assert() is compiled out of the optimised builds the fuzzers and
// the corpus replay run in, so a broken promise aborts here instead, which libFuzzer reports as a
// crash with the input that caused it and the replay test reports as a failure.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                      \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, what); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)
