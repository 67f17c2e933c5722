#pragma once

// The hot row loops are built twice, for baseline x86-64 and for AVX2, and the loader picks
// the one the processor runs (GCC's function multiversioning). Other compilers and
// processors get the baseline build alone.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__ELF__)
#define RASTEL_MULTIVERSION __attribute__((target_clones("avx2", "default")))
#else
#define RASTEL_MULTIVERSION
#endif
