#include "Checks.h"
#include "Image.h"
#include "Neighbourhood.h"

#include <cstring>

#include <vector>

namespace rastel {

namespace {

// The channels an image blurs: its channel of interest, or all but a last alpha channel.
bool BlurChannels(const VopImage* image, std::vector<int>& channels) {
    if (image->alphaChannel != 0 && (image->alphaChannel != image->nChannels || image->nChannels == 1)) return false;
    channels = ProcessedChannels(image);
    return true;
}

// Box sums from a bordered copy of the region, kept as running column and row sums.
template <typename T, typename PlaneType = Plane<T>>
void BlurChannel(const VopImage* src, VopImage* dst, const Rect& rect, int nCols, int nRows, int anchorX, int anchorY,
                 int srcChannel, int dstChannel, float factor) {
    using Sum = std::conditional_t<std::is_floating_point_v<T>, double, long long>;
    const PlaneType in(src, srcChannel), out(dst, dstChannel);
    const int cw = rect.width + nCols - 1, ch = rect.height + nRows - 1;
    std::vector<T> copy(static_cast<std::size_t>(cw) * static_cast<std::size_t>(ch));
    for (int j = 0; j < ch; ++j)
        for (int i = 0; i < cw; ++i)
            copy[static_cast<std::size_t>(j) * cw + i] = SampleWithBorder<T>(src, in, rect.srcX - anchorX + i, rect.srcY - anchorY + j);
    std::vector<Sum> columns(static_cast<std::size_t>(cw), 0);
    for (int j = 0; j < nRows - 1; ++j)
        for (int i = 0; i < cw; ++i) columns[static_cast<std::size_t>(i)] += copy[static_cast<std::size_t>(j) * cw + i];
    for (int y = 0; y < rect.height; ++y) {
        const T* entering = &copy[static_cast<std::size_t>(y + nRows - 1) * cw];
        for (int i = 0; i < cw; ++i) columns[static_cast<std::size_t>(i)] += entering[i];
        Sum box = 0;
        for (int i = 0; i < nCols - 1; ++i) box += columns[static_cast<std::size_t>(i)];
        for (int x = 0; x < rect.width; ++x) {
            box += columns[static_cast<std::size_t>(x + nCols - 1)];
            const float mean = static_cast<float>(box) * factor;
            if constexpr (std::is_floating_point_v<T>) out.Set(rect.dstX + x, rect.dstY + y, mean);
            else out.Set(rect.dstX + x, rect.dstY + y, Saturate<T>(static_cast<long long>(mean)));  // toward zero
            box -= columns[static_cast<std::size_t>(x)];
        }
        const T* leaving = &copy[static_cast<std::size_t>(y) * cw];
        for (int i = 0; i < cw; ++i) columns[static_cast<std::size_t>(i)] -= leaving[i];
    }
}

// 8-bit interleaved images with every channel processed: the bordered copy is built a
// row at a time and the sums run over bytes, a pixel's neighbour `nChannels` bytes away.
void BlurFlat(const VopImage* src, VopImage* dst, const Rect& rect, int nCols, int nRows, int anchorX, int anchorY,
              float factor) {
    const int nc = src->nChannels;
    const int cw = rect.width + nCols - 1, ch = rect.height + nRows - 1;
    const std::size_t rowBytes = static_cast<std::size_t>(cw) * nc;
    std::vector<std::uint8_t> copy(rowBytes * static_cast<std::size_t>(ch));
    const BorderedRows bordered(src, rect.srcX - anchorX, cw);
    for (int j = 0; j < ch; ++j) bordered.Copy(rect.srcY - anchorY + j, &copy[static_cast<std::size_t>(j) * rowBytes]);
    std::vector<int> columnSums(rowBytes, 0);
    int* __restrict columns = columnSums.data();
    for (int j = 0; j < nRows - 1; ++j)
        for (std::size_t b = 0; b < rowBytes; ++b) columns[b] += copy[static_cast<std::size_t>(j) * rowBytes + b];
    const std::size_t outBytes = static_cast<std::size_t>(rect.width) * nc;
    std::vector<int> boxSums(outBytes);
    int* __restrict boxes = boxSums.data();
    for (int y = 0; y < rect.height; ++y) {
        const std::uint8_t* __restrict entering = &copy[static_cast<std::size_t>(y + nRows - 1) * rowBytes];
        for (std::size_t b = 0; b < rowBytes; ++b) columns[b] += entering[b];
        std::fill(boxes, boxes + outBytes, 0);
        for (int i = 0; i < nCols; ++i) {
            const int* __restrict column = columns + static_cast<std::size_t>(i) * nc;
            for (std::size_t b = 0; b < outBytes; ++b) boxes[b] += column[b];
        }
        auto* __restrict out = reinterpret_cast<std::uint8_t*>(dst->imageData + static_cast<std::ptrdiff_t>(rect.dstY + y) * dst->widthStep +
                                                    static_cast<std::ptrdiff_t>(rect.dstX) * nc);
        for (std::size_t b = 0; b < outBytes; ++b) out[b] = static_cast<std::uint8_t>(static_cast<int>(static_cast<float>(boxes[b]) * factor));
        const std::uint8_t* __restrict leaving = &copy[static_cast<std::size_t>(y) * rowBytes];
        for (std::size_t b = 0; b < rowBytes; ++b) columns[b] -= leaving[b];
    }
}

void BlurRows(const VopImage* src, VopImage* dst, const Rect& rect, int nCols, int nRows, int anchorX, int anchorY,
              float factor) {
    std::vector<int> sums;
    RunFlat(src, dst, rect, Kernel{nCols, nRows, anchorX, anchorY},
            [&](const std::uint8_t* const* rows, std::uint8_t* __restrict out, int bytes, int nc) {
                const std::size_t span = static_cast<std::size_t>(bytes) + static_cast<std::size_t>(nCols - 1) * nc;
                sums.resize(span);
                int* __restrict column = sums.data();
                if (nRows == 3 && nCols == 3) {
                    const std::uint8_t* __restrict r0 = rows[0];
                    const std::uint8_t* __restrict r1 = rows[1];
                    const std::uint8_t* __restrict r2 = rows[2];
                    for (std::size_t b = 0; b < span; ++b) column[b] = r0[b] + r1[b] + r2[b];
                    const int* __restrict c1 = column + nc;
                    const int* __restrict c2 = column + 2 * nc;
                    for (int b = 0; b < bytes; ++b)
                        out[b] = static_cast<std::uint8_t>(static_cast<int>(static_cast<float>(column[b] + c1[b] + c2[b]) * factor));
                    return;
                }
                std::fill(column, column + span, 0);
                for (int j = 0; j < nRows; ++j) {
                    const std::uint8_t* __restrict in = rows[j];
                    for (std::size_t b = 0; b < span; ++b) column[b] += in[b];
                }
                for (int b = 0; b < bytes; ++b) {
                    int box = 0;
                    for (int i = 0; i < nCols; ++i) box += column[b + i * nc];
                    out[b] = static_cast<std::uint8_t>(static_cast<int>(static_cast<float>(box) * factor));
                }
            });
}

}  // namespace

}  // namespace rastel

using namespace rastel;

namespace {

void Blur(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY) {
    const Checks check{"vopBlur"};
    if (!check.Header(srcImage) || !check.Header(dstImage)) return;
    if (!check.Require(srcImage->depth == dstImage->depth, VOP_StsBadArg, "(srcImage->depth!=dstImage->depth)") ||
        !check.Require(nRows >= 0 && nCols >= 0, VOP_StsBadArg, "(nRows<0||nCols<0)") ||
        !check.Require(anchorX >= 0 && anchorY >= 0, VOP_StsBadArg, "(anchorX<0||anchorY<0)") ||
        !check.Require(anchorX < nCols && anchorY < nRows, VOP_StsBadArg, "(anchorX>=nCols||anchorY>=nRows)"))
        return;
    std::vector<int> srcChannels, dstChannels;
    if (!check.Require(BlurChannels(srcImage, srcChannels) && BlurChannels(dstImage, dstChannels), VOP_BadAlphaChannel,
                       "bad alpha channel's number") ||
        !check.Require(srcChannels.size() == dstChannels.size(), VOP_BadNumChannels, "bad channel's number") ||
        !check.Plain(srcImage) || !check.Plain(dstImage))
        return;
    const Rect rect = ProcessedRect(srcImage, dstImage);
    if (rect.width <= 0 || rect.height <= 0) return;
    const auto factor = static_cast<float>(1.0 / (static_cast<double>(nCols) * nRows));
    if (FlatBytes(srcImage, dstImage)) {
        const bool shared = SharePixels(srcImage, dstImage);
        // Separate pixels: every output depends on the source only, so the row loops of the
        // neighbourhood procedure give the same sums without a copy of the whole region.
        if (!shared) BlurRows(srcImage, dstImage, rect, nCols, nRows, anchorX, anchorY, factor);
        else BlurFlat(srcImage, dstImage, rect, nCols, nRows, anchorX, anchorY, factor);
        return;
    }
    for (std::size_t c = 0; c < srcChannels.size(); ++c) {
        if (srcImage->depth == VOP_DEPTH_1U) {
            BlurChannel<std::uint8_t, BitPlane>(srcImage, dstImage, rect, nCols, nRows, anchorX, anchorY, srcChannels[c],
                                                dstChannels[c], factor);
            continue;
        }
        ForDepth(srcImage->depth, [&]<typename T>() {
            BlurChannel<T>(srcImage, dstImage, rect, nCols, nRows, anchorX, anchorY, srcChannels[c], dstChannels[c], factor);
        });
    }
}

}  // namespace

extern "C" void vopBlur(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY) {
    Guarded("vopBlur", OnExhaustion::Report, [&] { Blur(srcImage, dstImage, nCols, nRows, anchorX, anchorY); });
}
