// DLT coefficients shared with other programs: a line a coefficient, a column a camera.

#include "DltCoefficientsExport.h"
#include "DltCoefficientsImport.h"
#include "ErrorMessage.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

DltParameterTable TwoCameras() {
    DltParameterTable table;
    table.viewCount = 2;
    table.parameterCount = 11;
    const double first[] = {169.268174857, -4.16395575797, 39.9358833727, -32.5688806192, 26.4275225352, 162.746667103,
                            -45.8077057277, 36.7822583759, 0.0975927130774, -0.0162654521796, -0.169160702668};
    for (int v = 0; v < 2; ++v)
        for (double value : first) table.values.push_back(value * (v + 1) + 1e-7);
    table.residuals = {0.4, 0.5};
    return table;
}

std::string Message(const std::string& text, int views) {
    return ErrorMessage<DltCoefficientsError>([&] { ReadDltCoefficients(text, "coefs.csv", views); });
}

TEST(DltCoefficients, WrittenAndReadBackTheyAgreeToThePrintedDigits) {
    const DltParameterTable table = TwoCameras();
    const std::string text = DltCoefficientsText(table);
    EXPECT_EQ(text.substr(0, text.find('\n')), "169.268174957,338.536349814");
    const DltParameterTable back = ReadDltCoefficients(text, "coefs.csv", 2);
    ASSERT_EQ(back.parameterCount, 11);
    for (std::size_t i = 0; i < table.values.size(); ++i) EXPECT_NEAR(back.values[i], table.values[i], 1e-14 * std::abs(table.values[i]));
    EXPECT_EQ(DltCoefficientsText(back), text);
}

TEST(DltCoefficients, TheLayoutsOfOtherProgramsAreRead) {
    // Argus writes spaces and exponents, a planar calibration has eight lines.
    std::string planar;
    for (int j = 1; j <= 8; ++j) planar += "  " + std::to_string(j) + ".5e-1\r\n";
    const DltParameterTable one = ReadDltCoefficients(planar + "\n", "planar.csv", 1);
    EXPECT_EQ(one.parameterCount, 8);
    EXPECT_EQ(one.GetParameter(8, 1), 0.85);
}

TEST(DltCoefficients, FilesThatDoNotFitNameTheLine) {
    std::string eleven;
    for (int j = 0; j < 11; ++j) eleven += "1,2\n";
    EXPECT_EQ(Message(eleven, 3), "coefs.csv, line 1: 2 cameras where the sequence has 3 camera views");
    EXPECT_EQ(Message("1,x\n", 2), "coefs.csv, line 1: \"x\" is not a number");
    EXPECT_EQ(Message("1,nan\n", 2), "coefs.csv, line 1: \"nan\" is not a number");
    EXPECT_EQ(Message(eleven + "1,2\n", 2), "coefs.csv, line 12: more than 11 coefficients");
    EXPECT_EQ(Message("1,2\n", 2), "coefs.csv: 1 coefficient a camera where several camera views need the 11 of a spatial calibration");
    std::string column;
    for (int j = 0; j < 11; ++j) column += "1\n";
    EXPECT_EQ(Message(column, 1), "coefs.csv: 11 coefficients a camera where one camera view needs the 8 of a planar calibration");
}

}  // namespace
}  // namespace kadivo::test
