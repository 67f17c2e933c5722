#include "SynchronisationSheet.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

SyncSheet ThreeViews() {
    SyncSheet sheet;
    sheet.rows = {{"a.mkv", 0, 0.0, ""}, {"b.mkv", 3, 3.0, ""}, {"c.mkv", -1, -1.25, ""}};
    return sheet;
}

TEST(SynchronisationSheet, TrustedEstimatesReplaceTheOffsetsAndTheOthersSayWhy) {
    SyncSheet sheet = ThreeViews();
    const std::string note = TakeEstimates(sheet,
                                           {{0.0, true, true, "the reference", ""},
                                            {3.412, true, true, "correlation peak 0.990 at 0.06824 s", ""},
                                            {0.2, true, false, "correlation peak 0.120 at 0.004 s", "the correlation peak (0.120) is too weak to trust (0.50 at least)"}},
                                           true);
    EXPECT_EQ(sheet.rows[1].offset, 3.412);
    EXPECT_EQ(sheet.rows[1].evidence, "correlation peak 0.990 at 0.06824 s");
    EXPECT_EQ(sheet.rows[2].offset, -1.25) << "an untrusted estimate keeps the offset";
    EXPECT_EQ(sheet.rows[2].evidence, "the correlation peak (0.120) is too weak to trust (0.50 at least); the offset is kept");
    EXPECT_EQ(note, "View 3: the correlation peak (0.120) is too weak to trust (0.50 at least).");
    EXPECT_EQ(SheetOffsets(sheet), (std::vector<double>{0.0, 3.412, -1.25}));
}

TEST(SynchronisationSheet, AViewWithoutSoundIsPointedToTheFlash) {
    SyncSheet sheet = ThreeViews();
    const std::vector<ViewSyncEstimate> estimates = {{0.0, true, true, "the reference", ""},
                                                     {0.0, false, false, "", "the video has no audio track"},
                                                     {-1.2, true, true, "correlation peak 0.8 at -0.024 s", ""}};
    std::string note = TakeEstimates(sheet, estimates, true);
    EXPECT_NE(note.find("View 2: the video has no audio track.\nWhere the sound cannot tell"), std::string::npos) << note;
    // A flash that was not found is no reason to point to the flash.
    sheet = ThreeViews();
    note = TakeEstimates(sheet, {{0.0, true, true, "", ""}, {0.0, false, false, "", "no flash stands out"}, {1.0, true, true, "", ""}},
                         false);
    EXPECT_EQ(note, "View 2: no flash stands out.");
    EXPECT_EQ(sheet.rows[2].offset, 1.0);
}

}  // namespace
}  // namespace kadivo::test
