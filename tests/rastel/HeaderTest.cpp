#include "RastelFixture.h"

namespace rastel_test {
namespace {

using Headers = RastelTest;

TEST_F(Headers, RowLayoutPadsRowsToTheAlignment) {
    VopImage* image = vopCreateImageHeader(3, 0, VOP_DEPTH_8U, "RGB", "BGR", 0, 1, 4, 3, 2, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->widthStep, 12);
    EXPECT_EQ(image->imageSize, 24);
    EXPECT_EQ(image->headerSize, static_cast<int>(sizeof(VopImage)));
    EXPECT_EQ(image->version, 0);
    EXPECT_EQ(image->imageData, nullptr);
    EXPECT_EQ(std::memcmp(image->channelSequence, "BGR", 4), 0);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(image) % 32, 0u);
    for (int side = 0; side < 4; ++side) {
        EXPECT_EQ(image->borderMode[side], 0);
        EXPECT_EQ(image->borderValue[side], 0);
    }
    vopDeallocate(image, VOP_FREE_HEADER);
    VopImage* planes = vopCreateImageHeader(3, 0, VOP_DEPTH_16S, "RGB", "BGR", 1, 0, 8, 5, 3, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(planes->widthStep, 16);
    EXPECT_EQ(planes->imageSize, 16 * 3 * 3);
    vopDeallocate(planes, VOP_FREE_HEADER);
    VopImage* bits = vopCreateImageHeader(1, 0, VOP_DEPTH_1U, "GRAY", "GRAY", 0, 0, 4, 33, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(bits->widthStep, 8);
    vopDeallocate(bits, VOP_FREE_HEADER);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Headers, CreationRefusesBadArgumentsInOrder) {
    struct Case {
        int channels, alpha, depth, order, origin, alignment, width, height;
        bool model;
        int status;
    };
    const Case cases[] = {
        {3, 0, VOP_DEPTH_8U, 0, 0, 4, 0, 5, true, -10},   {0, 0, VOP_DEPTH_8U, 0, 0, 4, 5, 5, true, -15},
        {2, 0, VOP_DEPTH_1U, 0, 0, 4, 5, 5, true, -16},   {3, 0, VOP_DEPTH_8U, 0, 0, 4, 5, 5, false, -14},
        {3, 0, 12, 0, 0, 4, 5, 5, true, -17},             {4, 2, VOP_DEPTH_8U, 0, 0, 4, 5, 5, true, -18},
        {3, 0, VOP_DEPTH_8U, 2, 0, 4, 5, 5, true, -19},   {3, 0, VOP_DEPTH_8U, 0, 2, 4, 5, 5, true, -20},
        {3, 0, VOP_DEPTH_8U, 0, 0, 6, 5, 5, true, -21},
    };
    for (const Case& c : cases) {
        Reports().clear();
        EXPECT_EQ(vopCreateImageHeader(c.channels, c.alpha, c.depth, c.model ? "RGB" : nullptr, "BGR", c.order, c.origin,
                                       c.alignment, c.width, c.height, nullptr, nullptr, nullptr, nullptr),
                  nullptr);
        ASSERT_EQ(Reports().size(), 1u);
        EXPECT_EQ(Reports()[0].status, c.status);
        EXPECT_EQ(Reports()[0].function, "vopCreateImageHeader");
        EXPECT_EQ(Reports()[0].message, "Incorrect data-ins");
        EXPECT_EQ(vopGetErrStatus(), c.status);
    }
}

TEST_F(Headers, OperationsValidateEveryHeaderFirst) {
    VopImage* src = Image(4, 4, 3);
    VopImage* dst = Image(4, 4, 3);
    vopFixedFilter(nullptr, dst, 0);
    EXPECT_EQ(Reports().back().status, -9);
    EXPECT_EQ(Reports().back().message, "Incorrect Image");
    char* data = dst->imageData;
    dst->imageData = nullptr;
    vopFixedFilter(src, dst, 0);
    EXPECT_EQ(Reports().back().status, -12);
    dst->imageData = data;
    src->roi = Roi(4, 0, 0, 2, 2);
    vopFixedFilter(src, dst, 0);
    EXPECT_EQ(Reports().back().status, -24);
    vopSetROI(src->roi, 0, -1, 0, 2, 2);
    vopFixedFilter(src, dst, 0);
    EXPECT_EQ(Reports().back().status, -11);
    vopSetROI(src->roi, 0, 0, 0, 0, 2);
    vopFixedFilter(src, dst, 0);
    EXPECT_EQ(Reports().back().status, -25);
    vopSetROI(src->roi, 0, 3, 3, 9, 9);  // reaching past the image is fine
    Reports().clear();
    vopFixedFilter(src, dst, 0);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Headers, FilterArgumentChecksHaveTheirMessages) {
    VopImage* src = Image(5, 5, 3);
    VopImage* dst = Image(5, 5, 3);
    VopImage* gray = Image(5, 5, 1);
    VopImage* wide = Image(5, 5, 3, VOP_DEPTH_16U);
    const std::pair<std::function<void()>, std::string> calls[] = {
        {[&] { vopFixedFilter(src, src, 0); }, "(srcImage==dstImage)"},
        {[&] { vopFixedFilter(src, wide, 0); }, "srcImage->depth!=dstImage->depth"},
        {[&] { vopFixedFilter(src, gray, 0); }, "srcImage->nChannels!=dstImage->nChannels"},
        {[&] { vopFixedFilter(src, dst, 11); }, "Unknow filter."},
        {[&] { vopBlur(src, dst, 3, 3, 3, 1); }, "(anchorX>=nCols||anchorY>=nRows)"},
        {[&] { vopBlur(src, dst, -1, 3, 0, 1); }, "(nRows<0||nCols<0)"},
        {[&] { vopBlur(src, dst, 3, 3, -1, 1); }, "(anchorX<0||anchorY<0)"},
        {[&] { vopBlur(src, wide, 3, 3, 1, 1); }, "(srcImage->depth!=dstImage->depth)"},
        {[&] { vopBlur(src, gray, 3, 3, 1, 1); }, "bad channel's number"},
    };
    for (const auto& [call, message] : calls) {
        Reports().clear();
        call();
        ASSERT_EQ(Reports().size(), 1u) << message;
        EXPECT_EQ(Reports()[0].message, message);
        EXPECT_EQ(Reports()[0].status, message == "bad channel's number" ? -15 : -5);
    }
    dst->roi = Roi(2, 0, 0, 5, 5);
    Reports().clear();
    vopFixedFilter(src, dst, 0);
    EXPECT_EQ(Reports().at(0).message, "Number of interset channel input and output Image is not equal.");
    EXPECT_EQ(Reports()[0].status, -24);
    EXPECT_EQ(Reports()[0].function, "vopFixedFilter");
}

TEST_F(Headers, DeallocateFreesOnlyWhatTheFlagsName) {
    VopROI* roi = vopCreateROI(0, 1, 1, 2, 2);
    VopImage* image = vopCreateImageHeader(1, 0, VOP_DEPTH_8U, "GRAY", "GRAY", 0, 0, 4, 4, 4, roi, nullptr, nullptr, nullptr);
    std::vector<char> pixels(static_cast<std::size_t>(image->imageSize));
    image->imageData = pixels.data();
    vopDeallocate(image, VOP_FREE_DATA);
    EXPECT_EQ(image->imageData, pixels.data()) << "the caller's pixels stay";
    vopDeallocate(image, VOP_FREE_HEADER);
    EXPECT_EQ(roi->width, 2) << "the ROI survives";
    vopSetROI(roi, 1, 0, 0, 1, 1);
    EXPECT_EQ(roi->coi, 1);
    vopDeleteROI(roi);
    vopSetROI(nullptr, 0, 0, 0, 1, 1);
    vopDeleteROI(nullptr);
    vopDeallocate(nullptr, VOP_FREE_ALL);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Headers, StatusTexts) {
    EXPECT_STREQ(vopErrorStr(0), "No Error");
    EXPECT_STREQ(vopErrorStr(-26), "Mask image is taled");
    EXPECT_STREQ(vopErrorStr(-110), "Mask. Incorrect image size");
    EXPECT_STREQ(vopErrorStr(-99), "Unknown error or status code");
}

TEST(RastelDefaultHandler, EndsTheProcessWithStatusOne) {
    EXPECT_EXIT(
        {
            vopCreateImageHeader(0, 0, VOP_DEPTH_8U, "RGB", "BGR", 0, 0, 4, 1, 1, nullptr, nullptr, nullptr, nullptr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "Incorrect number of channels in the image in function vopCreateImageHeader: Incorrect data-ins");
    EXPECT_EQ(vopSetErrMode(VOP_ErrModeSilent), VOP_ErrModeLeaf);
    EXPECT_EQ(vopCreateImageHeader(0, 0, VOP_DEPTH_8U, "RGB", "BGR", 0, 0, 4, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(vopGetErrStatus(), -15);
    vopSetErrMode(VOP_ErrModeLeaf);
}

}  // namespace
}  // namespace rastel_test
