#pragma once

#include "rastel.h"

#include <cstddef>

namespace rastel {

// Blocks for records: 32-byte aligned, the underlying allocation stored just before.
void* AllocateAligned(std::size_t size);
void FreeAligned(void* block);

// The first failing check of a header, or 0.
int ValidateHeader(const VopImage* image);

// Bits per channel of a depth code.
inline int DepthBits(int depth) { return depth & 0x7FFFFFFF; }
bool KnownDepth(int depth);

void ComputeRowLayout(VopImage& image);

}  // namespace rastel
