#pragma once

// A hot loop marked KADIVO_VECTOR_CLONES is built twice on x86-64, for the baseline and for
// AVX2 (which does not fuse multiplies into additions, so both give the same bits), and the
// loader picks the build the processor runs (GCC's function multiversioning). Other compilers
// and processors get the baseline build alone.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__ELF__)
#define KADIVO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KADIVO_VECTOR_CLONES
#endif
