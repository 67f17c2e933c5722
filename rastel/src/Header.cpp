#include "Header.h"

#include "Context.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace rastel {

namespace {

constexpr std::size_t kRecordAlignment = 32;

int ValidateAsImage(const VopImage* image);
int ValidateMask(const VopImage* mask);

}  // namespace

void* AllocateAligned(std::size_t size) {
    void* raw = std::malloc(size + kRecordAlignment + sizeof(void*));
    if (!raw) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    const auto aligned = (start + kRecordAlignment - 1) & ~(kRecordAlignment - 1);
    reinterpret_cast<void**>(aligned)[-1] = raw;
    return reinterpret_cast<void*>(aligned);
}

void FreeAligned(void* block) {
    if (block) std::free(reinterpret_cast<void**>(block)[-1]);
}

bool KnownDepth(int depth) {
    switch (depth) {
    case VOP_DEPTH_1U:
    case VOP_DEPTH_8U:
    case VOP_DEPTH_16U:
    case VOP_DEPTH_32F:
    case VOP_DEPTH_8S:
    case VOP_DEPTH_16S:
    case VOP_DEPTH_32S: return true;
    default: return false;
    }
}

void ComputeRowLayout(VopImage& image) {
    const long long bits = DepthBits(image.depth);
    const long long a8 = 8LL * image.alignment;
    const long long rowBits = image.dataOrder == VOP_DATA_ORDER_PIXEL ? image.width * bits * image.nChannels : image.width * bits;
    const long long step = ((rowBits + a8 - 1) / a8 * a8) / 8;
    const long long size = image.dataOrder == VOP_DATA_ORDER_PIXEL ? image.height * step : image.height * step * image.nChannels;
    image.widthStep = static_cast<int>(step);
    image.imageSize = size > 0x7FFFFFFF ? -1 : static_cast<int>(size);
}

namespace {

// Checks 5 to 12, shared by the header creation and the full validation.
int ValidateLayout(int nChannels, int alphaChannel, int depth, int dataOrder, int origin, int alignment, int width, int height,
                   bool checkModel, const char* colorModel, const char* channelSequence) {
    if (width <= 0 || height <= 0) return VOP_BadImageSize;
    if (nChannels <= 0) return VOP_BadNumChannels;
    if (depth == VOP_DEPTH_1U && nChannels != 1) return VOP_BadNumChannel1U;
    if (checkModel && (!colorModel || !channelSequence)) return VOP_BadModelOrChSeq;
    if (!KnownDepth(depth)) return VOP_BadDepth;
    if (alphaChannel != 0 && alphaChannel != nChannels) return VOP_BadAlphaChannel;
    if (dataOrder != 0 && dataOrder != 1) return VOP_BadOrder;
    if (origin != 0 && origin != 1) return VOP_BadOrigin;
    if (alignment != 4 && alignment != 8 && alignment != 16 && alignment != 32) return VOP_BadAlign;
    return 0;
}

// A mask must be an untiled 1-bit image; its own failures are reported 100 lower.
int ValidateMask(const VopImage* mask) {
    if (mask->depth != VOP_DEPTH_1U) return -117;
    if (mask->tileInfo) return VOP_MaskIsTiled;
    const int status = ValidateAsImage(mask);
    return status ? status - 100 : 0;
}

int ValidateAsImage(const VopImage* image) {
    if (!image) return VOP_HeaderIsNull;
    const bool tiled = image->tileInfo != nullptr;
    if ((image->imageData == nullptr) == !tiled) return VOP_BadDataPtr;
    if (!tiled && image->imageSize <= 0) return VOP_BadImageSize;
    if (!tiled && image->widthStep <= 0) return VOP_BadStep;
    if (int status = ValidateLayout(image->nChannels, image->alphaChannel, image->depth, image->dataOrder, image->origin,
                                    image->alignment, image->width, image->height, false, nullptr, nullptr))
        return status;
    if (image->maskImage)
        if (int status = ValidateMask(image->maskImage)) return status;
    if (tiled) {
        if (!image->tileInfo->callBack) return VOP_BadCallBack;
        const int tw = image->tileInfo->tileWidth, th = image->tileInfo->tileHeight;
        if (tw <= 0 || th <= 0 || tw % 8 || th % 8) return VOP_BadTileSize;
    }
    if (const VopROI* roi = image->roi) {
        if (roi->coi < 0 || roi->coi > image->nChannels) return VOP_BadCOI;
        if (roi->width <= 0 || roi->height <= 0) return VOP_BadROISize;
        if (roi->offsetX < 0 || roi->offsetY < 0) return VOP_BadOffset;
    }
    return 0;
}

}  // namespace

int ValidateHeader(const VopImage* image) {
    const int status = ValidateAsImage(image);
    if (status) ThreadContext().status = status;
    return status;
}

}  // namespace rastel

using namespace rastel;

extern "C" {

VopImage* vopCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
                               const char* channelSequence, int dataOrder, int origin, int alignment, int width,
                               int height, VopROI* roi, VopImage* maskImage, void* userData, VopTileInfo* tileInfo) {
    int status = ValidateLayout(nChannels, alphaChannel, depth, dataOrder, origin, alignment, width, height, true,
                                colorModel, channelSequence);
    if (!status && maskImage) status = ValidateMask(maskImage);
    if (status) {
        RASTEL_REPORT(status, "vopCreateImageHeader", "Incorrect data-ins");
        return nullptr;
    }
    auto* image = static_cast<VopImage*>(AllocateAligned(sizeof(VopImage)));
    if (!image) return nullptr;
    std::memset(image, 0, sizeof(VopImage));
    image->headerSize = static_cast<int>(sizeof(VopImage));
    image->nChannels = nChannels;
    image->alphaChannel = alphaChannel;
    image->depth = depth;
    std::memcpy(image->colorModel, colorModel, 4);
    std::memcpy(image->channelSequence, channelSequence, 4);
    image->dataOrder = dataOrder;
    image->origin = origin;
    image->alignment = alignment;
    image->width = width;
    image->height = height;
    image->roi = roi;
    image->maskImage = maskImage;
    image->userData = userData;
    image->tileInfo = tileInfo;
    ComputeRowLayout(*image);
    return image;
}

void vopDeallocate(VopImage* image, int flags) {
    if (!image) return;
    if (flags & VOP_FREE_ROI) {
        vopDeleteROI(image->roi);
        image->roi = nullptr;
    }
    if (flags & VOP_FREE_MASK) {
        vopDeallocate(image->maskImage, VOP_FREE_ALL & ~VOP_FREE_MASK);
        image->maskImage = nullptr;
    }
    if (flags & VOP_FREE_TILE) {
        FreeAligned(image->tileInfo);
        image->tileInfo = nullptr;
    }
    if ((flags & VOP_FREE_DATA) && image->imageDataBase) {
        std::free(image->imageDataBase);
        image->imageDataBase = nullptr;
        image->imageData = nullptr;
    }
    if (flags & VOP_FREE_HEADER) FreeAligned(image);
}

VopROI* vopCreateROI(int coi, int offsetX, int offsetY, int width, int height) {
    auto* roi = static_cast<VopROI*>(AllocateAligned(sizeof(VopROI)));
    if (roi) *roi = {coi, offsetX, offsetY, width, height};
    return roi;
}

void vopSetROI(VopROI* roi, int coi, int offsetX, int offsetY, int width, int height) {
    if (roi) *roi = {coi, offsetX, offsetY, width, height};
}

void vopDeleteROI(VopROI* roi) { FreeAligned(roi); }

}  // extern "C"
