#pragma once

#include "rastel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace rastel_test {

// Every report the library makes while a test runs, instead of ending the process.
struct Report {
    int status;
    std::string function, message;
};

inline std::vector<Report>& Reports() {
    static thread_local std::vector<Report> reports;
    return reports;
}

inline int RecordingHandler(int status, const char* function, const char* message, const char*, int) {
    Reports().push_back({status, function ? function : "", message ? message : ""});
    return status;
}

class RastelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reports().clear();
        previous_ = vopRedirectError(RecordingHandler);
    }
    void TearDown() override {
        vopRedirectError(previous_);
        for (VopImage* image : images_) vopDeallocate(image, VOP_FREE_HEADER);
    }

    // An image with its own pixels, filled with random values of its depth's range.
    VopImage* Image(int width, int height, int channels, int depth = VOP_DEPTH_8U, unsigned seed = 1, int alpha = 0) {
        VopImage* image = vopCreateImageHeader(channels, alpha, depth, "RGB", "BGR", 0, 1, 4, width, height, nullptr,
                                               nullptr, nullptr, nullptr);
        EXPECT_NE(image, nullptr);
        storage_.emplace_back(static_cast<std::size_t>(image->imageSize));
        image->imageData = storage_.back().data();
        std::mt19937 random(seed);
        for (char& byte : storage_.back()) byte = static_cast<char>(random());
        if (depth == VOP_DEPTH_32F) {
            auto* f = reinterpret_cast<float*>(image->imageData);
            std::uniform_real_distribution<float> value(-100.0f, 100.0f);
            for (int i = 0; i < image->imageSize / 4; ++i) f[i] = value(random);
        }
        images_.push_back(image);
        return image;
    }
    // A second header on the same pixels.
    VopImage* Alias(VopImage* image) {
        VopImage* alias = vopCreateImageHeader(image->nChannels, image->alphaChannel, image->depth, "RGB", "BGR",
                                               image->dataOrder, image->origin, image->alignment, image->width,
                                               image->height, image->roi, nullptr, nullptr, nullptr);
        alias->imageData = image->imageData;
        images_.push_back(alias);
        return alias;
    }
    VopROI* Roi(int coi, int x, int y, int w, int h) {
        VopROI* roi = vopCreateROI(coi, x, y, w, h);
        rois_.push_back(roi);
        return roi;
    }
    ~RastelTest() override {
        for (VopROI* roi : rois_) vopDeleteROI(roi);
    }

    std::vector<VopImage*> images_;
    std::vector<VopROI*> rois_;
    std::vector<std::vector<char>> storage_;
    VopErrorCallback previous_ = nullptr;
};

// Element access for the reference computations, by depth.
inline double At(const VopImage* image, int x, int y, int c) {
    const char* row = image->imageData + static_cast<std::ptrdiff_t>(y) * image->widthStep;
    const int i = x * image->nChannels + c;
    switch (image->depth) {
    case VOP_DEPTH_8U: return reinterpret_cast<const std::uint8_t*>(row)[i];
    case VOP_DEPTH_8S: return reinterpret_cast<const std::int8_t*>(row)[i];
    case VOP_DEPTH_16U: { std::uint16_t v; std::memcpy(&v, row + 2 * i, 2); return v; }
    case VOP_DEPTH_16S: { std::int16_t v; std::memcpy(&v, row + 2 * i, 2); return v; }
    case VOP_DEPTH_32S: { std::int32_t v; std::memcpy(&v, row + 4 * i, 4); return v; }
    case VOP_DEPTH_32F: { float v; std::memcpy(&v, row + 4 * i, 4); return v; }
    default: return (static_cast<unsigned char>(row[x / 8]) >> (7 - x % 8)) & 1;
    }
}

inline void Put(VopImage* image, int x, int y, int c, double value) {
    char* row = image->imageData + static_cast<std::ptrdiff_t>(y) * image->widthStep;
    const int i = x * image->nChannels + c;
    switch (image->depth) {
    case VOP_DEPTH_8U: reinterpret_cast<std::uint8_t*>(row)[i] = static_cast<std::uint8_t>(value); break;
    case VOP_DEPTH_8S: reinterpret_cast<std::int8_t*>(row)[i] = static_cast<std::int8_t>(value); break;
    case VOP_DEPTH_16U: { auto v = static_cast<std::uint16_t>(value); std::memcpy(row + 2 * i, &v, 2); break; }
    case VOP_DEPTH_16S: { auto v = static_cast<std::int16_t>(value); std::memcpy(row + 2 * i, &v, 2); break; }
    case VOP_DEPTH_32S: { auto v = static_cast<std::int32_t>(value); std::memcpy(row + 4 * i, &v, 4); break; }
    case VOP_DEPTH_32F: { auto v = static_cast<float>(value); std::memcpy(row + 4 * i, &v, 4); break; }
    default: break;
    }
}

// The range of an integer depth.
inline void Range(int depth, double& low, double& high) {
    switch (depth) {
    case VOP_DEPTH_8U: low = 0; high = 255; break;
    case VOP_DEPTH_8S: low = -128; high = 127; break;
    case VOP_DEPTH_16U: low = 0; high = 65535; break;
    case VOP_DEPTH_16S: low = -32768; high = 32767; break;
    default: low = -2147483648.0; high = 2147483647.0; break;
    }
}

}  // namespace rastel_test
