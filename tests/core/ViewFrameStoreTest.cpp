#include "ViewFrameStore.h"

#include <gtest/gtest.h>

namespace kadivo {
namespace {

void Digitize(ViewFrameStore& store, int frame, std::initializer_list<Point2f> points) {
    store.SetCurrentFrame(frame, kMovement);
    for (Point2f p : points) ASSERT_EQ(store.AddPoint(p, 4, {7, 8}, frame, kMovement), 1);
}

TEST(ViewFrameStore, NewRecordStartsEmptyAndBecomesCurrentOnFirstPoint) {
    ViewFrameStore store(3, 1);
    EXPECT_EQ(store.ActiveRecord(kMovement), nullptr);
    EXPECT_EQ(store.NextIndex(kMovement), 0);
    EXPECT_EQ(store.GetPoint(0, kMovement), kNoPosition);
    ASSERT_EQ(store.AddPoint({1, 2}, 5, {3, 4}, 9, kMovement), 1);
    const FrameRecord* record = store.currentRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->frame, 9);
    EXPECT_EQ(record->digitizedCount, 1);
    EXPECT_EQ(record->zoomAt[0], 5);
    EXPECT_EQ(record->zoomAt[1], 3);
    EXPECT_EQ(record->scrollPos[0], (ScrollPos{3, 4}));
    EXPECT_EQ(record->scrollPos[1], kNoScroll);
    EXPECT_EQ(record->imagePos[2], kNoPosition);
    EXPECT_EQ(store.recordCount(), 1);
}

TEST(ViewFrameStore, RefusesPointsBeyondTheModeCount) {
    ViewFrameStore store(2, 1);
    store.calibrationPointCount = 1;
    Digitize(store, 0, {{1, 1}, {2, 2}});
    EXPECT_EQ(store.AddPoint({3, 3}, 3, {}, 0, kMovement), 0);
    EXPECT_TRUE(store.IsComplete(kMovement));
    EXPECT_EQ(store.AddPoint({1, 1}, 3, {}, -1, kCalibration), 1);
    EXPECT_TRUE(store.calibrationDirty);
    EXPECT_EQ(store.AddPoint({1, 1}, 3, {}, -1, kCalibration), 0);
    EXPECT_TRUE(store.IsComplete(kCalibration));
    EXPECT_FALSE(store.IsCalibrated()) << "fewer than four calibration points never calibrate";
}

TEST(ViewFrameStore, PreviousRecordIsOneStepBackAndTheLastInListOrder) {
    ViewFrameStore store(1, 2);
    Digitize(store, 4, {{1, 1}});
    Digitize(store, 6, {{2, 2}});
    store.NewRecord(4).imagePos[0] = {9, 9};  // a second record of frame 4, later in the list
    ASSERT_NE(store.PreviousRecord(6, kMovement), nullptr);
    EXPECT_EQ(store.PreviousRecord(6, kMovement)->imagePos[0], (Point2f{9, 9}));
    EXPECT_EQ(store.PreviousRecord(5, kMovement), nullptr);
    EXPECT_EQ(store.FindRecord(4, kMovement)->imagePos[0], (Point2f{1, 1})) << "FindRecord takes the first";
    EXPECT_EQ(store.PreviousRecord(0, kCalibration), &store.calibrationRecord);
}

TEST(ViewFrameStore, CopyFromPreviousTakesPositionAndZoomButNotScroll) {
    ViewFrameStore store(2, 1);
    Digitize(store, 0, {{5, 6}, {7, 8}});
    store.SetCurrentFrame(1, kMovement);
    store.CopyFromPrevious(1, kMovement);
    const FrameRecord* record = store.currentRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->frame, 1);
    EXPECT_EQ(record->imagePos[0], (Point2f{5, 6}));
    EXPECT_EQ(record->zoomAt[0], 4);
    EXPECT_EQ(record->scrollPos[0], kNoScroll);
    store.CopyFromPrevious(1, kMovement);
    store.CopyFromPrevious(1, kMovement);  // complete: nothing more
    EXPECT_EQ(record->digitizedCount, 2);
}

TEST(ViewFrameStore, PreviousScrollAndZoomOfTheNextPoint) {
    ViewFrameStore store(2, 1);
    EXPECT_EQ(store.PreviousScroll(1), kNoScroll);
    EXPECT_EQ(store.PreviousZoom(1), 3);
    Digitize(store, 0, {{5, 6}, {7, 8}});
    store.SetCurrentFrame(1, kMovement);
    EXPECT_EQ(store.PreviousScroll(1), (ScrollPos{7, 8}));
    EXPECT_EQ(store.PreviousZoom(1), 4);
}

TEST(ViewFrameStore, SetAllZoomAndScrollWritesPreviousAndActiveRecords) {
    ViewFrameStore store(2, 1);
    Digitize(store, 0, {{5, 6}});
    Digitize(store, 1, {{5, 6}});
    store.SetAllZoomAndScroll(1, 8, {11, 12}, kMovement);
    for (const FrameRecord& record : store.records()) {
        EXPECT_EQ(record.zoomAt[1], 8);
        EXPECT_EQ(record.scrollPos[1], (ScrollPos{11, 12}));
        EXPECT_EQ(record.zoomAt[2], 3) << "entries past the point count stay";
    }
}

TEST(ViewFrameStore, PredictPositionExtrapolatesFromTwoRecordsBackWhenThreeExist) {
    ViewFrameStore store(1, 1);
    EXPECT_FALSE(store.PredictPosition(0, kMovement).predicted);
    EXPECT_EQ(store.PredictPosition(0, kMovement).x, -1);
    Digitize(store, 0, {{10.7f, 20.2f}});
    Digitize(store, 1, {{12.5f, 21.9f}});
    store.SetCurrentFrame(2, kMovement);
    PositionPrediction two = store.PredictPosition(2, kMovement);
    EXPECT_FALSE(two.predicted);
    EXPECT_EQ(two.x, 12);
    EXPECT_EQ(two.y, 21);
    Digitize(store, 2, {{14.0f, 23.0f}});
    store.SetCurrentFrame(3, kMovement);
    PositionPrediction three = store.PredictPosition(3, kMovement);
    EXPECT_TRUE(three.predicted);
    EXPECT_EQ(three.x, 15);  // 2 * 14 - 12.5
    EXPECT_EQ(three.y, 24);  // 2 * 23 - 21.9 = 24.1
}

TEST(ViewFrameStore, RemoveAndClearWorkOnTheActiveRecordOnly) {
    ViewFrameStore store(3, 1);
    Digitize(store, 0, {{1, 1}, {2, 2}});
    store.RemoveLastPoint(kMovement);
    EXPECT_EQ(store.NextIndex(kMovement), 1);
    store.ClearPoints(kMovement);
    EXPECT_EQ(store.NextIndex(kMovement), 0);
    store.RemoveLastPoint(kMovement);
    EXPECT_EQ(store.NextIndex(kMovement), 0);
    store.SetPoint({4, 4}, 2, kMovement);
    EXPECT_EQ(store.currentRecord()->imagePos[2], (Point2f{4, 4}));
    store.SetPoint({4, 4}, 3, kMovement);  // beyond the point count: ignored
    EXPECT_EQ(store.currentRecord()->imagePos[3], kNoPosition);
}

}  // namespace
}  // namespace kadivo
