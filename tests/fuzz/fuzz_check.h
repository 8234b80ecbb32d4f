// Shared by the fuzz targets and the corpus replay: the input being run and
// a check that names it before stopping the program.
#pragma once
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

// Set by the replay driver to the corpus file being run.
inline const char *fuzz_input_name;

inline void fuzz_require(bool ok, const char *what) {
    if (ok) return;
    fprintf(stderr, "fuzz check failed: %s (input %s)\n", what,
            fuzz_input_name ? fuzz_input_name : "from libFuzzer");
    abort();
}

inline int16_t fuzz_i16(const uint8_t *p) {
    return (int16_t)(uint16_t)(p[0] | p[1] << 8);
}
