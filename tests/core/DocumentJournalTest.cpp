#include "Crc32.h"
#include "DocumentFixture.h"
#include "DocumentJournal.h"
#include "FileIo.h"
#include "JournalRecovery.h"
#include "SequenceFile.h"
#include "TempDir.h"

#include <filesystem>
#include <random>

namespace kadivo::test {
namespace {

// A saved sequence of two views with a journal in a folder of its own.
class Journal : public DocumentFixture {
protected:
    TempDir dir;
    std::string sequence = dir.Path("walk.kdv");
    std::string folder = dir.Path("journal");

    void SetUpSequence(int points = 4) {
        NewSequence(points, 4);
        OpenVideo("a.avi", 40);
        doc->AddCameraView();
        doc->SetCurrentView(1);
        OpenVideo("b.avi", 40);
        for (int i = 0; i < 12; ++i) doc->AddPoint({1, 1}, {static_cast<float>(3 * i), 7.0f}, true);
        ASSERT_TRUE(doc->OnSaveDocument(sequence));
    }

    // What saving the document now would write.
    ByteBlock WhatASaveWrites() {
        doc->windows = windows.WindowStates();
        return WriteSequence(*doc, doc->pathName());
    }
};

// Edits of every kind, with undo and redo and frame steps between them.
void RandomEdit(CKadivoDoc& doc, FakePrompts& prompts, std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto position = [&] { return Point2f{static_cast<float>(pick(320)), static_cast<float>(pick(240))}; };
    switch (pick(24)) {
        case 0: doc.NextImage(true); break;
        case 1: doc.OnPreviousImage(); break;
        case 2: doc.SetCurrentView(pick(2)); break;
        case 3: doc.GoToFrame(pick(40), true); break;
        case 4: doc.RemoveLastPoint(); break;
        case 5: doc.MarkPointMissingInFrame(); break;
        case 6: doc.OnPointMissing(); break;
        case 7: doc.OnPointStatic(); break;
        case 8: doc.OnClearAllPoints(); break;
        case 9: doc.OnSyncImage(); break;
        case 10: doc.MovePoint(pick(4), position()); break;
        case 11: doc.FreezeZoomAndScroll({pick(50), pick(50)}); break;
        case 12: {
            ModelTable model = doc.modelPoints;
            model[static_cast<std::size_t>(pick(4))].name = "N" + std::to_string(pick(1000));
            doc.SetModel(model);
            break;
        }
        case 13:
        case 14: doc.Undo(); break;
        case 15: doc.Redo(); break;
        case 16: {
            const int title = pick(1000);
            const int threshold = pick(90) + 1;
            const int control = pick(4);
            const double at = pick(100) / 10.0;
            prompts.editSheet = [&, title, threshold, control, at](SequenceOptionsSheet& sheet) {
                sheet.sequenceTitle = "Trial " + std::to_string(title);
                sheet.thresholdMovement = threshold;
                sheet.cutOffFrequency = 2.0f + static_cast<float>(pick(10));
                // A control point of the calibration frame moved.
                if (static_cast<std::size_t>(control) < sheet.calibrationPoints.size())
                    sheet.calibrationPoints[static_cast<std::size_t>(control)].x = at;
            };
            doc.OnSequenceOptions(0);
            break;
        }
        case 17: {
            LensModel lens;
            lens.width = 320;
            lens.height = 240;
            lens.fx = lens.fy = 300.0 + pick(50);
            lens.cx = 160;
            lens.cy = 120;
            lens.k1 = -0.01 * pick(10);
            doc.SetViewLens(pick(2), pick(3) == 0 ? std::nullopt : std::optional<LensModel>(lens));
            break;
        }
        case 18: doc.ImportPositions(pick(2), {{pick(40), {{pick(4), position()}}}}); break;
        case 19: doc.SwitchToCalibration(); doc.AddPoint({}, position(), true); doc.SwitchToMovement(); break;
        default: doc.AddPoint({pick(9), pick(9)}, position(), pick(2) == 0); break;
    }
}

TEST_F(Journal, AThousandRandomEditsReplayToTheBytesASaveWouldWrite) {
    SetUpSequence();
    DocumentJournal journal(*doc, folder);
    std::mt19937 random(20261210);
    for (int i = 0; i < 1000; ++i) {
        RandomEdit(*doc, prompts, random);
        if (i % 250 == 249) {
            ASSERT_FALSE(journal.path().empty());
            EXPECT_EQ(RecoverFromJournal(journal.path()).bytes, WhatASaveWrites()) << "after edit " << i;
        }
    }
    const RecoveredSequence recovered = RecoverFromJournal(journal.path());
    EXPECT_EQ(recovered.bytes, WhatASaveWrites());
    EXPECT_GT(recovered.edits, 500);
    EXPECT_FALSE(recovered.cutOff);
    EXPECT_EQ(journal.TakeProblem(), "");
    // The journal holds edits, not copies: far less than a copy of the file an edit.
    EXPECT_LT(journal.bytes(), static_cast<std::uint64_t>(recovered.edits) * 400u);

    // Opened from the recovered bytes, the document is the one that made the edits.
    auto reopened = MakeDocument();
    ASSERT_TRUE(reopened->OnRecoverDocument(sequence, recovered.bytes));
    EXPECT_TRUE(reopened->IsModified());
    EXPECT_EQ(reopened->views[1].frameStore.records(), doc->views[1].frameStore.records());
    EXPECT_EQ(reopened->views[0].lens, doc->views[0].lens);
}

TEST_F(Journal, AJournalCutOffInItsLastRecordReplaysTheRecordsBeforeIt) {
    SetUpSequence();
    DocumentJournal journal(*doc, folder);
    for (int i = 0; i < 5; ++i) doc->AddPoint({1, 1}, {static_cast<float>(i), 3.0f}, true);
    const ByteBlock fourEdits = RecoverFromJournal(journal.path()).bytes;
    const std::uint64_t before = journal.bytes();
    doc->AddPoint({1, 1}, {99.0f, 98.0f}, true);
    const ByteBlock whole = ReadWholeFile(journal.path());
    ASSERT_GT(whole.size(), before);
    EXPECT_EQ(RecoverFromJournal(journal.path()).bytes, WhatASaveWrites());
    for (std::size_t cut = before; cut < whole.size(); ++cut) {
        WriteFileAtomically(dir.Path("cut.kdvj"), ByteBlock(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
        const RecoveredSequence recovered = RecoverFromJournal(dir.Path("cut.kdvj"));
        ASSERT_EQ(recovered.bytes, fourEdits) << "cut at " << cut;
        ASSERT_EQ(recovered.cutOff, cut > before) << "cut at " << cut;
    }
}

TEST_F(Journal, AJournalOfAnotherVersionOfTheFileIsRefusedAndKept) {
    SetUpSequence();
    DocumentJournal journal(*doc, folder);
    doc->AddPoint({1, 1}, {5.0f, 6.0f}, true);
    const std::string kept = journal.path();
    // Another program saves the file meanwhile.
    ByteBlock changed = ReadWholeFile(sequence);
    changed.back() ^= 1;
    WriteFileAtomically(sequence, changed);
    try {
        RecoverFromJournal(kept);
        ADD_FAILURE() << "a journal of another file was applied";
    } catch (const JournalRefused& refused) {
        EXPECT_NE(std::string(refused.what()).find("were made to the file as it was before it changed"), std::string::npos) << refused.what();
    }
    EXPECT_TRUE(std::filesystem::exists(kept));
}

TEST_F(Journal, ASaveStartsTheJournalAfreshAndDiscardingRemovesIt) {
    SetUpSequence();
    DocumentJournal journal(*doc, folder);
    EXPECT_EQ(journal.path(), "") << "an unmodified sequence has no journal";
    doc->AddPoint({1, 1}, {5.0f, 6.0f}, true);
    const std::string first = journal.path();
    ASSERT_TRUE(std::filesystem::exists(first));
    const std::vector<JournalListing> listed = ListJournals(folder);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].inUse) << "this process writes it";
    EXPECT_EQ(listed[0].header.sequencePath, sequence);
    ASSERT_TRUE(doc->OnSaveDocument(sequence));
    EXPECT_FALSE(std::filesystem::exists(first));
    doc->AddPoint({1, 1}, {7.0f, 8.0f}, true);
    EXPECT_EQ(RecoverFromJournal(journal.path()).edits, 1);
    EXPECT_EQ(RecoverFromJournal(journal.path()).bytes, WhatASaveWrites());
    journal.Discard();
    EXPECT_TRUE(ListJournals(folder).empty());
}

TEST_F(Journal, ASequenceNeverSavedIsJournaledWhole) {
    NewSequence(3, 4);
    OpenVideo("a.avi", 20);
    DocumentJournal journal(*doc, folder);
    for (int i = 0; i < 7; ++i) doc->AddPoint({1, 1}, {static_cast<float>(i), 2.0f}, true);
    const RecoveredSequence recovered = RecoverFromJournal(journal.path());
    EXPECT_EQ(recovered.header.sequencePath, "");
    EXPECT_FALSE(recovered.header.hasBase);
    EXPECT_EQ(recovered.bytes, WhatASaveWrites());
    EXPECT_EQ(LeftJournalsOf(ListJournals(folder), "").size(), 0u) << "in use";
}

TEST_F(Journal, AJournalThatOutgrowsItsSequenceIsCompacted) {
    SetUpSequence(2);
    DocumentJournal journal(*doc, folder);
    const std::uint64_t fileSize = ReadWholeFile(sequence).size();
    std::uint64_t largest = 0;
    for (int i = 0; i < 3000; ++i) {
        doc->MovePoint(0, {static_cast<float>(i % 300), 1.0f});
        largest = std::max(largest, journal.bytes());
    }
    EXPECT_LE(largest, std::max<std::uint64_t>(fileSize, DocumentJournal::kCompactionFloor) * 3 / 2 + 1024);
    EXPECT_EQ(RecoverFromJournal(journal.path()).bytes, WhatASaveWrites());
    EXPECT_EQ(ListJournals(folder).size(), 1u) << "the compacted journal took the old one's place";
}

TEST_F(Journal, AFolderThatCannotBeWrittenIsReportedOnceAndEditingGoesOn) {
    SetUpSequence();
    // A file stands where the folder should be.
    dir.WriteText("journal", "not a folder");
    DocumentJournal journal(*doc, folder);
    doc->AddPoint({1, 1}, {5.0f, 6.0f}, true);
    const std::string problem = journal.TakeProblem();
    EXPECT_NE(problem.find("Unsaved changes are not kept for recovery: Cannot create"), std::string::npos) << problem;
    doc->AddPoint({1, 1}, {6.0f, 6.0f}, true);
    EXPECT_EQ(journal.TakeProblem(), "") << "said once";
    EXPECT_EQ(doc->current().frameStore.records().back().imagePos[1].x, 6.0f);
}

TEST_F(Journal, AFullDiskStopsTheJournalAtItsLastWholeEditUntilTheNextSave) {
    SetUpSequence();
    DocumentJournal journal(*doc, dir.Path("journal"));
    doc->AddPoint({1, 1}, {5.0f, 6.0f}, true);
    const ByteBlock before = WhatASaveWrites();
    {
        const FileSizeLimit full(journal.bytes() + 10);
        doc->AddPoint({1, 1}, {6.0f, 6.0f}, true);
    }
    EXPECT_NE(journal.TakeProblem().find("Cannot write"), std::string::npos);
    const RecoveredSequence recovered = RecoverFromJournal(journal.path());
    EXPECT_EQ(recovered.bytes, before);
    EXPECT_TRUE(recovered.cutOff);
    ASSERT_TRUE(doc->OnSaveDocument(sequence));
    doc->AddPoint({1, 1}, {7.0f, 6.0f}, true);
    EXPECT_EQ(journal.TakeProblem(), "");
    EXPECT_EQ(RecoverFromJournal(journal.path()).bytes, WhatASaveWrites()) << "journaling again after the save";
}

// World data recomputed after a click differ from the journal's in a few places: the edit
// gives those spans, and replaying them gives the new data; the same data again give nothing;
// spans that do not fit are refused before anything changes, and data mostly changed are
// given whole.
TEST(JournalWorldData, ChangesInPlacesAreGivenAsSpansAndReplayExactly) {
    std::mt19937 random(7);
    ByteBlock before(24000);
    for (std::uint8_t& byte : before) byte = static_cast<std::uint8_t>(random());
    ByteBlock after = before;
    for (int change = 0; change < 40; ++change) {
        const std::size_t at = random() % (after.size() - 30);
        for (std::size_t i = 0; i < 1 + random() % 24; ++i) after[at + i] ^= static_cast<std::uint8_t>(1 + random() % 255);
    }
    after.back() ^= 1;  // a span at the very end
    JournalEditWriter writer;
    writer.Begin(1.0);
    ByteBlock written = before;
    writer.WorldData(written, after.data(), after.size());
    EXPECT_EQ(written, after) << "what was written is remembered";
    const ByteBlock edit(writer.Frame().begin() + 8, writer.Frame().end());  // the payload after length and CRC
    EXPECT_LT(edit.size(), 4000u) << "spans, not the whole";
    // The same data again add nothing.
    writer.Begin(1.5);
    writer.WorldData(written, after.data(), after.size());
    EXPECT_TRUE(writer.Empty());
    SequenceImage image;
    image.worldData = before;
    ApplyEdit(edit, image);
    EXPECT_EQ(image.worldData, after);

    // Against data of another size the spans are refused, and nothing changes.
    SequenceImage shorter;
    shorter.worldData.assign(before.begin(), before.end() - 1);
    const ByteBlock kept = shorter.worldData;
    EXPECT_THROW(ApplyEdit(edit, shorter), FileFormatError);
    EXPECT_EQ(shorter.worldData, kept);

    // Mostly changed, the data go whole.
    ByteBlock changed = before;
    for (std::uint8_t& byte : changed) byte = static_cast<std::uint8_t>(~byte);
    writer.Begin(2.0);
    written = before;
    writer.WorldData(written, changed.data(), changed.size());
    EXPECT_EQ(written, changed);
    const ByteBlock whole(writer.Frame().begin() + 8, writer.Frame().end());
    EXPECT_GT(whole.size(), changed.size());
    SequenceImage fresh;
    ApplyEdit(whole, fresh);
    EXPECT_EQ(fresh.worldData, changed);
}

TEST(JournalCrc, IsTheCrcOfZlib) {
    const std::string text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(text.data()) + 4, 5,
                    Crc32(reinterpret_cast<const std::uint8_t*>(text.data()), 4)),
              0xCBF43926u);
}

}  // namespace
}  // namespace kadivo::test
