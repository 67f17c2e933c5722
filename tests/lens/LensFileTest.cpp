#include "LensFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace kadivo {
namespace {

LensFile Sample() {
    LensFile file;
    file.lens = {1401.5, 1399.0 / 3.0, 640.125, 359.5, -0.31, 0.12, -0.02, 1e-4, -2e-4, 1280, 720, LensSource::ControlPoints};
    file.rms = 0.1875;
    return file;
}

std::string Message(const std::string& text) {
    try {
        ParseLensFile(text);
    } catch (const LensFileError& e) {
        return e.what();
    }
    return "read";
}

TEST(LensFile, WrittenAndReadBackExactly) {
    const LensFile file = Sample();
    const LensFile back = ParseLensFile(FormatLensFile(file));
    EXPECT_EQ(back.lens, file.lens);
    EXPECT_EQ(back.rms, file.rms);
    // Other line ends, comments, unknown names and any order are fine.
    std::string text = "kadivo-lens 1\r\n# made by hand\r\nmaker Someone\r\n";
    for (const char* line : {"p2 0", "p1 0", "k3 0", "k2 0", "k1 -0.1", "cy 240", "cx 320", "fy 500", "fx 500", "picture 640 480"})
        text += std::string(line) + "\r\n";
    const LensFile hand = ParseLensFile(text);
    EXPECT_EQ(hand.lens.k1, -0.1);
    EXPECT_EQ(hand.lens.source, LensSource::Checkerboard);
    EXPECT_FALSE(hand.rms);
}

TEST(LensFile, DamagedFilesAreNamedByTheirFault) {
    const std::string good = FormatLensFile(Sample());
    EXPECT_EQ(Message(""), "the file is empty");
    EXPECT_EQ(Message("P6\n640 480\n"), "not a lens file: the first line is not \"kadivo-lens 1\"");
    std::string noK2 = good;
    noK2.erase(noK2.find("k2 "), noK2.find('\n', noK2.find("k2 ")) - noK2.find("k2 ") + 1);
    EXPECT_EQ(Message(noK2), "the file gives no k2");
    std::string word = good;
    word.replace(word.find("fx 1401.5"), 9, "fx wide");
    EXPECT_EQ(Message(word), "line 4: fx is not a number: \"wide\"");
    std::string nan = good;
    nan.replace(nan.find("k1 -0.31"), 8, "k1 nan");
    EXPECT_EQ(Message(nan), "line 8: k1 is not a number: \"nan\"");
    std::string zero = good;
    zero.replace(zero.find("fx 1401.5"), 9, "fx 0");
    EXPECT_EQ(Message(zero), "the focal lengths must be positive");
    std::string size = good;
    size.replace(size.find("picture 1280 720"), 16, "picture 1280 -720");
    EXPECT_EQ(Message(size), "line 2: the picture size is not two whole numbers of pixels up to 16384");
    size.replace(size.find("picture 1280 -720"), 17, "picture 99999 720");
    EXPECT_EQ(Message(size), "line 2: the picture size is not two whole numbers of pixels up to 16384");
    EXPECT_EQ(Message(std::string(70000, 'x')), "too large for a lens file");
}

TEST(LensFile, AnUnreadableFileIsNamed) {
    test::TempDir dir;
    try {
        ReadLensFile(dir.Path("missing.lens"));
        FAIL() << "read";
    } catch (const LensFileError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.lens"), std::string::npos) << e.what();
    }
    const std::string damaged = dir.WriteText("damaged.lens", "kadivo-lens 1\npicture 1 1\n");
    try {
        ReadLensFile(damaged);
        FAIL() << "read";
    } catch (const LensFileError& e) {
        EXPECT_EQ(std::string(e.what()), "\"" + damaged + "\" the file gives no fx");
    }
}

}  // namespace
}  // namespace kadivo
