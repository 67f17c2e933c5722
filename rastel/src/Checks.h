#pragma once

#include "Context.h"
#include "Header.h"
#include "Image.h"

namespace rastel {

// The checks every two-image operation starts with. Each failure is reported under the
// operation's name and the check returns false.
struct Checks {
    const char* function;

    bool Header(const VopImage* image) const {
        if (const int status = ValidateHeader(image)) return Fail(status, "Incorrect Image");
        return true;
    }
    bool Require(bool condition, int status, const char* message) const { return condition || Fail(status, message); }
    bool Fail(int status, const char* message) const {
        RASTEL_REPORT(status, function, message);
        return false;
    }
    // Tiled and masked images are not supported by the operations.
    bool Plain(const VopImage* image) const {
        return Require(!image->tileInfo, VOP_StsBadFunc, "Tiled images are not supported") &&
               Require(!image->maskImage, VOP_StsBadFunc, "Mask images are not supported");
    }
    // The channel checks shared by the fixed and rank filters.
    bool Channels(const VopImage* src, const VopImage* dst, int status) const {
        return Require(!src->roi || src->roi->coi <= src->nChannels, status, "Interst Channel of input Image more number of channels.") &&
               Require(!dst->roi || dst->roi->coi <= dst->nChannels, status, "Interst Channel of output Image more number of channels.") &&
               Require(ProcessedChannels(src).size() == ProcessedChannels(dst).size(), status,
                       "Number of interset channel input and output Image is not equal.");
    }
};

// Calls `run.template operator()<T>()` with the element type of a depth code.
template <typename Run>
void ForDepth(int depth, Run&& run) {
    switch (depth) {
    case VOP_DEPTH_8U: run.template operator()<std::uint8_t>(); break;
    case VOP_DEPTH_8S: run.template operator()<std::int8_t>(); break;
    case VOP_DEPTH_16U: run.template operator()<std::uint16_t>(); break;
    case VOP_DEPTH_16S: run.template operator()<std::int16_t>(); break;
    case VOP_DEPTH_32S: run.template operator()<std::int32_t>(); break;
    case VOP_DEPTH_32F: run.template operator()<float>(); break;
    default: break;
    }
}

}  // namespace rastel
