#include "FilterEvidencePlots.h"

#include "SequenceOptions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kadivo::test {
namespace {

CoordinateEvidence Evidence(int filtering) {
    CoordinateEvidence e;
    e.axis = 1;
    e.filtering = filtering;
    e.firstFrame = 4;
    e.raw = {1.0, 2.0, 4.0};
    e.filtered = {1.5, 2.0, 3.0};
    return e;
}

TEST(FilterEvidencePlots, HeadingsAxesAndMarkersFollowTheFilter) {
    CoordinateEvidence spline = Evidence(1);
    spline.smoothingParameter = 100.0;
    spline.criterion = "GCV";
    spline.parameter = "smoothing parameter";
    spline.logarithmicParameter = true;
    spline.curve = {{0.0, 9.0}, {10.0, 5.0}, {100.0, 1.0}, {1000.0, 3.0}};
    CoordinateEvidence residual = Evidence(kButterworthFiltering);
    residual.cutOffHz = 6.25;
    residual.criterion = "RMS residual";
    residual.parameter = "cut-off (Hz)";
    residual.curve = {{1.0, 4.0}, {6.0, 1.0}, {40.0, 0.5}};
    residual.noiseLine = std::make_pair(1.2, -0.01);
    CoordinateEvidence white = residual;
    white.noiseLine.reset();
    white.limit = 18.3;
    white.curve = {{1.0, 1000.0}, {6.0, 10.0}};
    CoordinateEvidence given = Evidence(kButterworthFiltering);
    given.cutOffHz = 5.0;
    CoordinateEvidence refused = Evidence(kButterworthFiltering);

    const std::vector<EvidenceRow> rows =
        EvidenceRows({spline, residual, white, given, refused, Evidence(0)}, 2, kResidualAnalysisCutOff, 0.02f);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].heading, "y: quintic spline, smoothing parameter 100 by GCV");
    EXPECT_EQ(rows[1].heading, "y: Butterworth filter, cut-off 6.25 Hz by residual analysis");
    EXPECT_EQ(rows[2].heading, "y: Butterworth filter, cut-off 6.25 Hz by the whiteness of the residual");
    EXPECT_EQ(rows[3].heading, "y: Butterworth filter, cut-off 5 Hz as given (too few frames to choose from)");
    EXPECT_EQ(rows[4].heading, "y: Butterworth filter, not applied: the cut-off is not below half the frame rate");
    EXPECT_EQ(rows[5].heading, "y: not filtered");
    EXPECT_FALSE(rows[5].hasCriterion);

    // Times from the run's first frame; the residual is raw less filtered.
    EXPECT_DOUBLE_EQ(rows[0].trajectory.lines[0].points[0].first, 4 * double{0.02f});
    EXPECT_EQ(rows[0].residual.lines[0].points[2].second, 1.0);
    EXPECT_LE(rows[0].trajectory.yMin, 1.0);
    EXPECT_GE(rows[0].trajectory.yMax, 4.0);
    // The spline's parameter on a logarithmic axis, the interpolating end left out.
    const EvidencePlot& gcv = rows[0].criterion;
    ASSERT_EQ(gcv.lines[0].points.size(), 3u);
    EXPECT_DOUBLE_EQ(gcv.lines[0].points[0].first, 1.0);
    EXPECT_DOUBLE_EQ(*gcv.marker, 2.0);
    EXPECT_EQ(gcv.xLabel, "log10 smoothing parameter");
    // The noise line from 0 Hz, the whiteness limit across, on the statistic's logarithm.
    const EvidencePlot& knee = rows[1].criterion;
    EXPECT_EQ(knee.marker, 6.25);
    ASSERT_EQ(knee.lines.size(), 2u);
    EXPECT_EQ(knee.lines[1].kind, EvidenceLine::NoiseLine);
    EXPECT_EQ(knee.lines[1].points.front(), std::make_pair(0.0, 1.2));
    EXPECT_DOUBLE_EQ(knee.lines[1].points.back().second, 1.2 - 0.4);
    const EvidencePlot& whiteness = rows[2].criterion;
    EXPECT_DOUBLE_EQ(whiteness.lines[0].points[0].second, 3.0);
    EXPECT_DOUBLE_EQ(whiteness.lines[1].points[0].second, std::log10(18.3));
    // A flat trajectory still gets a range to draw in.
    CoordinateEvidence flat = Evidence(0);
    flat.raw = flat.filtered = {2.0, 2.0, 2.0};
    const EvidenceRow row = EvidenceRows({flat}, 2, kGivenCutOff, 0.02f)[0];
    EXPECT_LT(row.trajectory.yMin, 2.0);
    EXPECT_GT(row.trajectory.yMax, 2.0);
}

}  // namespace
}  // namespace kadivo::test
