#pragma once

// The hot row loops are built three times, for baseline x86-64, for AVX2 and for AVX-512
// (x86-64-v4), and the loader picks the one the processor runs (GCC's function
// multiversioning). Floating-point products are never fused into sums (-ffp-contract=off),
// so every build gives the same bits. Other compilers and processors get the baseline build
// alone.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__ELF__)
#define RASTEL_MULTIVERSION __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define RASTEL_MULTIVERSION
#endif
