#include "ArchiveString.h"
#include "DocumentFixture.h"
#include "RawSequenceBuilder.h"
#include "SequenceFile.h"

namespace kadivo::test {
namespace {

class SequenceFile : public DocumentFixture {
protected:
    SequenceReadResult Read(const std::vector<std::uint8_t>& bytes, CKadivoDoc& into) {
        return ReadSequence(bytes.data(), bytes.size(), into);
    }
    std::unique_ptr<CKadivoDoc> Reread(const std::vector<std::uint8_t>& bytes) {
        auto copy = std::make_unique<CKadivoDoc>(prompts, videos.Factory());
        Read(bytes, *copy);
        return copy;
    }

    // A sequence that uses every part of the file.
    void FillEverything() {
        NewSequence(3, 5);
        doc->AddCameraView();
        doc->modelPoints[0].side = kSideLeft;
        doc->modelPoints[0].segmentCount = 2;
        doc->modelPoints[0].linkedPoint = {1, 2, -1, -1, -1};
        doc->modelPoints[0].segmentName[1] = std::string(300, 's');
        doc->modelPoints[0].segmentParamA[1] = 0.433f;
        doc->modelPoints[0].segmentParamB[1] = 0.1f;
        doc->views[1].missingFlags[2] = 1;
        doc->views[1].staticFlags[0] = 1;
        doc->views[1].syncFrame = 12;
        doc->views[1].currentFrame = 9;
        doc->views[1].videoSource->SetStreamIndex(2);
        doc->SetViewZoom(1, 5);
        doc->options.autoResize = 0;
        doc->options.interpolation = 2;
        doc->options.smoothError = 0.125;
        doc->options.showPointTags = 1;
        doc->options.lockViews = 1;
        doc->reservedText = "kept";
        doc->reservedA = 7;
        doc->reservedB = -7;
        doc->framePeriod = 0.02f;
        doc->calibrationType = 1;
        doc->calibrationPoints[4] = {1.5, -2.5, 3.25};
        for (int frame = 0; frame < 4; ++frame) {
            doc->GoToFrame(frame, false);
            doc->AddPoint({frame, 2}, {1.25f * static_cast<float>(frame), 2.5f}, false);
        }
        doc->views[0].frameStore.videoFileName = "walk.avi";
        doc->views[0].frameStore.calibrationVideoName = "frame.avi";
        doc->views[0].frameStore.calibrationRecord.imagePos[3] = {5.5f, 6.5f};
        doc->views[0].frameStore.calibrationRecord.digitizedCount = 4;
        doc->worldFrameCount = 3;
        doc->worldRaw = WorldData(4, 4);
        doc->worldFiltered = WorldData(4, 4);
        doc->worldRaw[2][3] = {1, 2, 3};
        doc->worldFiltered[1][0] = {4, 5, 343434.0};
        GraphWindowState graph;
        graph.graphs.resize(2);
        graph.graphs[1].title = "Knee";
        graph.graphs[1].curves.resize(1);
        graph.graphs[1].curves[0].name = "knee angle";
        graph.graphs[1].curves[0].samples = {1.0f, 2.0f, 3.5f};
        doc->windows.push_back(graph);
        AnimationWindowState animation;
        animation.rotY = 45.0;
        animation.panX = -1.5f;
        animation.viewValuesB = {8, 9};
        doc->windows.push_back(animation);
        DigitizingWindowState second;
        second.setCameraIndex(1);
        second.placement.showState = 3;
        doc->windows.push_back(second);
    }
};

TEST_F(SequenceFile, EmptyDigitizedDataHasTheDocumentedLayout) {
    NewSequence(2, 4);
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    // The digitized data follow the header and the two model points.
    RawBytes expected;
    expected.i32(0);  // view index; no movement records
    expected.u8(0).i32(-1).i32(4);
    for (int i = 0; i < 5; ++i) expected.f32(-1.0f).f32(-1.0f).i32(-1).i32(-1).i32(3);
    expected.i32(0).str("").str("");
    const auto at = std::search(bytes.begin(), bytes.end(), expected.bytes.begin(), expected.bytes.end());
    ASSERT_NE(at, bytes.end());
    // What follows: 5 calibration points, then the world frame count 0 and no world arrays.
    const auto world = at + static_cast<std::ptrdiff_t>(expected.bytes.size()) + 5 * 24;
    EXPECT_EQ(std::vector<std::uint8_t>(world, world + 4), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST_F(SequenceFile, ReservedFieldsAreWrittenAsZeroAndIgnored) {
    std::vector<std::uint8_t> bytes = CraftSequence({});
    // The first reserved value follows the view count, the point count and one current frame.
    bytes[12] = 0x5A;
    Read(bytes, *doc);
    const std::vector<std::uint8_t> again = WriteSequence(*doc);
    EXPECT_EQ(again[12], 0);
    bytes[12] = 0;
    EXPECT_EQ(again, bytes);
}

TEST_F(SequenceFile, CraftedFileResavesByteForByte) {
    for (int version : {3}) {
        CraftedSequence crafted;
        crafted.version = version;
        crafted.views = 3;
        crafted.points = 4;
        crafted.recordsPerView = 5;
        crafted.worldFrames = 6;
        crafted.windows = 2;
        crafted.streamChoice = 1;
        crafted.zoomCode = 7;
        const std::vector<std::uint8_t> bytes = CraftSequence(crafted);
        Read(bytes, *doc);
        EXPECT_EQ(WriteSequence(*doc), bytes);
    }
}

TEST_F(SequenceFile, ReadingFillsTheDocumentFieldForField) {
    CraftedSequence crafted;
    crafted.views = 2;
    crafted.points = 3;
    crafted.worldFrames = 2;
    SequenceReadResult result = Read(CraftSequence(crafted), *doc);
    EXPECT_TRUE(result.hasWindowRecords);
    EXPECT_TRUE(result.hasStreamChoices);
    EXPECT_EQ(doc->viewCount(), 2);
    EXPECT_EQ(doc->views[1].currentFrame, 8);
    EXPECT_EQ(doc->views[0].missingFlags, (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(doc->options.templateMethod, 1);
    EXPECT_FLOAT_EQ(doc->framePeriod, 0.04f);
    EXPECT_EQ(doc->calibrationType, 1);
    EXPECT_EQ(doc->modelPoints[1].side, 1);
    EXPECT_EQ(doc->modelPoints[1].linkedPoint[0], 2);
    EXPECT_FLOAT_EQ(doc->modelPoints[1].segmentParamA[0], 0.5f);
    EXPECT_EQ(doc->modelPoints[2].segmentCount, 0);
    const ViewFrameStore& store = doc->views[0].frameStore;
    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.records()[0].imagePos[2], (Point2f{3.0f, 2.5f}));
    EXPECT_EQ(store.records()[0].scrollPos[2], (ScrollPos{3, 4}));
    EXPECT_EQ(store.calibrationPointCount, 4);
    EXPECT_EQ(store.videoFileName, "walk.avi");
    EXPECT_EQ(doc->calibrationPoints.size(), 5u);
    EXPECT_EQ(doc->calibrationPoints[3], (Point3{3, 6, 0}));
    EXPECT_EQ(doc->worldFrameCount, 2);
    EXPECT_EQ(doc->worldRaw.frames(), 3) << "one frame more than stored";
    EXPECT_EQ(doc->worldRaw[1][2], (Point3{1, 2, 0.5}));
    EXPECT_EQ(doc->worldFiltered[1][2], (Point3{2, 2, 0.5}));
    EXPECT_EQ(doc->digitizeMode, kMovement);
    EXPECT_EQ(doc->currentView, 0) << "the digitizing window's camera index";
}

TEST_F(SequenceFile, WrittenFileReadsBackFieldForField) {
    FillEverything();
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    std::unique_ptr<CKadivoDoc> back = Reread(bytes);
    EXPECT_EQ(back->options, doc->options);
    EXPECT_EQ(back->pointCount, 3);
    EXPECT_EQ(back->reservedText, "kept");
    EXPECT_EQ(back->reservedA, 7);
    EXPECT_EQ(back->reservedB, -7);
    EXPECT_EQ(back->framePeriod, 0.02f);
    EXPECT_EQ(back->fileVersion, 3);
    for (int p = 0; p < 3; ++p) {
        const ModelPoint& a = doc->modelPoints[static_cast<std::size_t>(p)];
        const ModelPoint& b = back->modelPoints[static_cast<std::size_t>(p)];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.side, b.side);
        EXPECT_EQ(a.segmentCount, b.segmentCount);
        for (int s = 0; s < a.segmentCount; ++s) {
            EXPECT_EQ(a.linkedPoint[static_cast<std::size_t>(s)], b.linkedPoint[static_cast<std::size_t>(s)]);
            EXPECT_EQ(a.segmentName[static_cast<std::size_t>(s)], b.segmentName[static_cast<std::size_t>(s)]);
            EXPECT_EQ(a.segmentParamA[static_cast<std::size_t>(s)], b.segmentParamA[static_cast<std::size_t>(s)]);
            EXPECT_EQ(a.segmentParamB[static_cast<std::size_t>(s)], b.segmentParamB[static_cast<std::size_t>(s)]);
        }
    }
    ASSERT_EQ(back->viewCount(), 2);
    for (int v = 0; v < 2; ++v) {
        const CameraView& a = doc->views[static_cast<std::size_t>(v)];
        const CameraView& b = back->views[static_cast<std::size_t>(v)];
        EXPECT_EQ(a.currentFrame, b.currentFrame);
        EXPECT_EQ(a.zoomCode, b.zoomCode);
        EXPECT_EQ(a.syncFrame, b.syncFrame);
        EXPECT_EQ(a.missingFlags, b.missingFlags);
        EXPECT_EQ(a.staticFlags, b.staticFlags);
        EXPECT_EQ(a.videoSource->StreamIndex(), b.videoSource->StreamIndex());
        EXPECT_EQ(a.frameStore.videoFileName, b.frameStore.videoFileName);
        EXPECT_EQ(a.frameStore.calibrationVideoName, b.frameStore.calibrationVideoName);
        ASSERT_EQ(a.frameStore.recordCount(), b.frameStore.recordCount());
        for (int r = 0; r < a.frameStore.recordCount(); ++r) {
            const FrameRecord& ra = a.frameStore.records()[static_cast<std::size_t>(r)];
            const FrameRecord& rb = b.frameStore.records()[static_cast<std::size_t>(r)];
            EXPECT_EQ(ra.frame, rb.frame);
            EXPECT_EQ(ra.digitizedCount, rb.digitizedCount);
            for (int p = 0; p < 3; ++p) {
                EXPECT_EQ(ra.imagePos[static_cast<std::size_t>(p)], rb.imagePos[static_cast<std::size_t>(p)]);
                EXPECT_EQ(ra.scrollPos[static_cast<std::size_t>(p)], rb.scrollPos[static_cast<std::size_t>(p)]);
                EXPECT_EQ(ra.zoomAt[static_cast<std::size_t>(p)], rb.zoomAt[static_cast<std::size_t>(p)]);
            }
        }
        EXPECT_EQ(a.frameStore.calibrationRecord.digitizedCount, b.frameStore.calibrationRecord.digitizedCount);
        EXPECT_EQ(a.frameStore.calibrationRecord.imagePos[3], b.frameStore.calibrationRecord.imagePos[3]);
    }
    EXPECT_EQ(back->calibrationType, 1);
    EXPECT_EQ(back->calibrationPoints, doc->calibrationPoints);
    EXPECT_EQ(back->worldFrameCount, 3);
    EXPECT_EQ(back->worldRaw[2][3], (Point3{1, 2, 3}));
    EXPECT_EQ(back->worldFiltered[1][0], (Point3{4, 5, 343434.0}));
    EXPECT_EQ(back->windows, doc->windows);
    EXPECT_EQ(back->currentView, 1) << "the last digitizing window's camera";
    EXPECT_EQ(WriteSequence(*back), bytes);
}

TEST_F(SequenceFile, ImportedCoefficientsFollowTheLastFieldAndUnknownChunksAreSkipped) {
    NewSequence(2);
    doc->AddCameraView();
    const std::vector<std::uint8_t> plain = WriteSequence(*doc);
    DltParameterTable table;
    table.viewCount = 2;
    table.parameterCount = 11;
    for (int v = 0; v < 2; ++v)
        for (int j = 0; j < DltParameterTable::kColumns; ++j) table.values.push_back(0.5 * j - v + 1e-9);
    doc->SetImportedDlt(table);
    EXPECT_TRUE(doc->dltValid);
    EXPECT_TRUE(doc->CanTransformImageData()) << "the coefficients calibrate views without calibration frames";
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    ASSERT_EQ(bytes.size(), plain.size() + 4 + 8 + 8 + 2 * 11 * 8);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.begin())) << "the block follows the file as it was";
    std::unique_ptr<CKadivoDoc> back = Reread(bytes);
    ASSERT_TRUE(back->importedDlt);
    EXPECT_EQ(back->importedDlt->values, table.values);
    EXPECT_EQ(back->importedDlt->parameterCount, 11);
    EXPECT_EQ(WriteSequence(*back), bytes);

    // A chunk of a later version is passed over.
    std::vector<std::uint8_t> later(plain);
    for (char c : std::string("KDVXNEXT")) later.push_back(static_cast<std::uint8_t>(c));
    for (int b : {3, 0, 0, 0, int{'a'}, int{'b'}, int{'c'}}) later.push_back(static_cast<std::uint8_t>(b));
    later.insert(later.end(), bytes.begin() + static_cast<std::ptrdiff_t>(plain.size() + 4), bytes.end());
    EXPECT_TRUE(Reread(later)->importedDlt);

    // Coefficients for a view count the sequence does not have are refused, not applied.
    std::vector<std::uint8_t> damaged(bytes);
    damaged[plain.size() + 4 + 8 + 4] = 3;
    CKadivoDoc other(prompts, videos.Factory());
    EXPECT_THROW(Read(damaged, other), FileFormatError);
    doc->SetImportedDlt(std::nullopt);
    EXPECT_EQ(WriteSequence(*doc), plain) << "forgotten, they leave the file as before";
}

TEST_F(SequenceFile, SyncFractionsAreKeptAndDamagedOnesRefused) {
    NewSequence(2);
    doc->AddCameraView();
    const std::vector<std::uint8_t> plain = WriteSequence(*doc);
    ASSERT_TRUE(doc->SetSyncFractions({0.0, 2.375}));
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    ASSERT_EQ(bytes.size(), plain.size() + 4 + 8 + 4 + 2 * 8);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.begin())) << "older builds read the file as before";
    EXPECT_EQ(Reread(bytes)->views[1].syncFraction, 2.375);
    // A count of views the sequence does not have, and a value that is no number.
    std::vector<std::uint8_t> counted(bytes);
    counted[plain.size() + 4 + 8] = 3;
    CKadivoDoc other(prompts, videos.Factory());
    EXPECT_THROW(Read(counted, other), FileFormatError);
    std::vector<std::uint8_t> nan(bytes);
    for (std::size_t i = bytes.size() - 8; i < bytes.size(); ++i) nan[i] = 0xff;
    CKadivoDoc third(prompts, videos.Factory());
    EXPECT_THROW(Read(nan, third), FileFormatError);
    ASSERT_TRUE(doc->SetSyncFractions({0.0, 0.0}));
    EXPECT_EQ(WriteSequence(*doc), plain);
}

TEST_F(SequenceFile, CurveBandsAreKeptBesideTheirGraphsAndOneThatDoesNotFitIsRefused) {
    NewSequence(2);
    GraphWindowState graphs;
    DataCurveState curve;
    curve.name = "Hip - X pos";
    curve.samples = {1.0f, 2.0f, 3.0f};
    curve.hasSamples = 1;
    graphs.graphs[0].curves.push_back(curve);
    curve.halfWidths = {0.25f, 0.5f, 0.75f};
    curve.showBand = 1;
    graphs.graphs[0].curves.push_back(curve);
    doc->windows = {DigitizingWindowState{}, graphs};
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    std::unique_ptr<CKadivoDoc> back = Reread(bytes);
    EXPECT_EQ(back->windows, doc->windows);
    // Older builds read the windows without the bands.
    const std::string tag = "KDVX";
    const auto block = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    ASSERT_NE(block, bytes.end());
    const std::unique_ptr<CKadivoDoc> older = Reread({bytes.begin(), block});
    const auto& olderGraphs = std::get<GraphWindowState>(older->windows.back());
    EXPECT_TRUE(olderGraphs.graphs[0].curves[1].halfWidths.empty());
    // A band for a curve that is not there.
    std::vector<std::uint8_t> damaged(bytes);
    const std::string band = "BAND";
    const auto chunk = std::search(damaged.begin(), damaged.end(), band.begin(), band.end());
    ASSERT_NE(chunk, damaged.end());
    *(chunk + 8 + 8) = 7;  // the curve index
    CKadivoDoc other(prompts, videos.Factory());
    EXPECT_THROW(Read(damaged, other), FileFormatError);
}

TEST_F(SequenceFile, LensModelsAndTheLensOptionAreKeptAndADamagedModelIsRefused) {
    NewSequence(2);
    doc->AddCameraView();
    const std::vector<std::uint8_t> plain = WriteSequence(*doc);
    LensModel lens;
    lens.fx = 1401.5;
    lens.fy = 1399.25;
    lens.cx = 640.125;
    lens.cy = 359.5;
    lens.k1 = -0.31;
    lens.k2 = 0.12;
    lens.k3 = -0.02;
    lens.p1 = 1e-4;
    lens.p2 = -2e-4;
    lens.width = 1280;
    lens.height = 720;
    doc->views[1].lens = lens;
    doc->options.lensFromControlPoints = 2;
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.begin())) << "the block follows the file as it was";
    std::unique_ptr<CKadivoDoc> back = Reread(bytes);
    EXPECT_FALSE(back->views[0].lens);
    ASSERT_TRUE(back->views[1].lens);
    EXPECT_EQ(*back->views[1].lens, lens);
    EXPECT_EQ(back->options.lensFromControlPoints, 2);
    EXPECT_EQ(WriteSequence(*back), bytes);

    // A model with a focal length that is no number is refused, not applied.
    std::vector<std::uint8_t> damaged(bytes);
    const std::size_t fx = bytes.size() - 9 * 8;
    for (std::size_t b = fx; b < fx + 8; ++b) damaged[b] = 0xff;
    CKadivoDoc other(prompts, videos.Factory());
    EXPECT_THROW(Read(damaged, other), FileFormatError);
}

TEST_F(SequenceFile, TrackingAndCaptureValuesAreKeptAndOldFilesOpenWithTheDefaults) {
    NewSequence(2);
    doc->AddCameraView();
    const std::vector<std::uint8_t> plain = WriteSequence(*doc);
    EXPECT_EQ(Reread(plain)->options, SequenceOptions{}) << "a file without them: the defaults";
    SequenceOptions& o = doc->options;
    o.locateMethod = 2;
    o.thresholdMovement = 7;
    o.autoDigitizeInterval = 0;
    o.captureDelay = 250;
    o.captureTime = 12;
    o.captureRate = 60;
    o.sequenceTitle = "Sprint start";
    doc->views[1].videoSource->SetTracking({9, true, true});
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.begin())) << "the block follows the file as it was";
    std::unique_ptr<CKadivoDoc> back = Reread(bytes);
    EXPECT_EQ(back->options, o);
    EXPECT_EQ(back->views[0].videoSource->Tracking(), TrackingSettings{});
    EXPECT_EQ(back->views[1].videoSource->Tracking(), (TrackingSettings{9, true, true}));
    EXPECT_EQ(WriteSequence(*back), bytes);

    // A title longer than the options allow is damage, not a title.
    std::vector<std::uint8_t> damaged(bytes);
    const std::size_t length = bytes.size() - 4 - 2 * 12 - o.sequenceTitle.size() - 4;
    damaged[length] = 200;
    CKadivoDoc other(prompts, videos.Factory());
    EXPECT_THROW(Read(damaged, other), FileFormatError);
}

TEST_F(SequenceFile, TheButterworthFilterIsKeptAndOlderBuildsReadTheLowPassAtItsCutOff) {
    NewSequence(2);
    doc->options.filtering = kButterworthFiltering;
    doc->options.cutOffFrequency = 7.5f;
    const std::vector<std::uint8_t> bytes = WriteSequence(*doc);
    std::unique_ptr<CKadivoDoc> back = Reread(bytes);
    EXPECT_EQ(back->options.filtering, kButterworthFiltering);
    EXPECT_EQ(back->options.cutOffFrequency, 7.5f);
    EXPECT_EQ(back->options.cutOffMethod, kGivenCutOff);
    for (int method : {kResidualAnalysisCutOff, kWhitenessCutOff}) {
        doc->options.cutOffMethod = method;
        EXPECT_EQ(Reread(WriteSequence(*doc))->options.cutOffMethod, method);
    }
    // Without the extension block, as a build that skips it reads the file.
    const std::string tag = "KDVX";
    const auto block = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    ASSERT_NE(block, bytes.end());
    std::unique_ptr<CKadivoDoc> older = Reread({bytes.begin(), block});
    EXPECT_EQ(older->options.filtering, kFrequencyFiltering);
    EXPECT_EQ(older->options.cutOffFrequency, 7.5f);
}

TEST_F(SequenceFile, WindowListWithNoWindowsAndNoWorldData) {
    NewSequence(1);
    doc->windows.clear();
    std::unique_ptr<CKadivoDoc> back = Reread(WriteSequence(*doc));
    EXPECT_TRUE(back->windows.empty());
    EXPECT_TRUE(back->worldRaw.empty());
    EXPECT_EQ(back->currentView, 0);
}

TEST_F(SequenceFile, VersionOneFilesHaveNoWindowsOrTail) {
    CraftedSequence crafted;
    crafted.version = 1;
    const std::vector<std::uint8_t> bytes = CraftSequence(crafted);
    SequenceReadResult result = Read(bytes, *doc);
    EXPECT_FALSE(result.hasWindowRecords);
    EXPECT_FALSE(result.hasStreamChoices);
    EXPECT_EQ(doc->fileVersion, 1);
    EXPECT_EQ(doc->current().frameStore.recordCount(), 1);
}

TEST_F(SequenceFile, DigitizedCountsBeyondTheModelAreClamped) {
    CraftedSequence crafted;
    crafted.digitizedCount = 40;
    Read(CraftSequence(crafted), *doc);
    EXPECT_EQ(doc->current().frameStore.records()[0].digitizedCount, 2);
    crafted.digitizedCount = -3;
    Read(CraftSequence(crafted), *doc);
    EXPECT_EQ(doc->current().frameStore.records()[0].digitizedCount, 0);
}

TEST_F(SequenceFile, StringPrefixesGrowWithTheLength) {
    struct Case {
        std::size_t length;
        std::vector<std::uint8_t> prefix;
    };
    const std::vector<Case> cases = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        ByteWriter out;
        const std::string text(c.length, 'k');
        WriteArchiveString(out, text);
        const std::vector<std::uint8_t> bytes = out.Take();
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(c.prefix.size())),
                  c.prefix)
            << c.length;
        ByteReader in(bytes.data(), bytes.size());
        EXPECT_EQ(ReadArchiveString(in, "a string"), text);
        EXPECT_EQ(in.remaining(), 0u);
    }
}

TEST_F(SequenceFile, WideStringsAreReadAsEightBitText) {
    const std::vector<std::uint8_t> bytes = {0xFF, 0xFE, 0xFF, 0x03, 'K', 0, 0xE9, 0, 0x3A, 0x04};
    ByteReader in(bytes.data(), bytes.size());
    EXPECT_EQ(ReadArchiveString(in, "a string"), "K\xE9?");
    EXPECT_EQ(in.remaining(), 0u);
}

}  // namespace
}  // namespace kadivo::test
