#include "DocumentFixture.h"
#include "DocumentJournal.h"
#include "FileIo.h"
#include "StartupRecovery.h"
#include "TempDir.h"

#include <filesystem>

namespace kadivo::test {
namespace {

// Journals as a program that did not end leaves them: written, then no longer locked.
class StartupRecovery : public DocumentFixture {
protected:
    TempDir dir;
    std::string folder = dir.Path("journal");

    std::string SaveSequence(const std::string& name) {
        NewSequence(2, 4);
        OpenVideo("a.avi", 20);
        EXPECT_TRUE(doc->OnSaveDocument(dir.Path(name)));
        return doc->pathName();
    }
    // Leaves a journal of `edits` clicks of the document behind; what a save would then write.
    ByteBlock LeaveJournal(int edits) {
        DocumentJournal journal(*doc, folder);
        for (int i = 0; i < edits; ++i) doc->AddPoint({}, {static_cast<float>(i), 5.0f}, true);
        doc->windows = windows.WindowStates();
        return WriteSequence(*doc, doc->pathName());
    }
    int Journals() const { return static_cast<int>(ListJournals(folder).size()); }
};

TEST_F(StartupRecovery, YesOpensWhatTheJournalKeptAndTheOldJournalGoesOnceTheNewSessionKeepsIt) {
    const std::string path = SaveSequence("walk.kdv");
    const ByteBlock expected = LeaveJournal(3);
    prompts.ExpectQuestion("Kadivo was not closed properly. Recover the unsaved changes to " + path + "?", Answer::Yes);
    std::vector<ByteBlock> opened;
    bool keeps = false;
    OfferRecovery(prompts, folder, [&](const RecoveredSequence& recovered) {
        opened.push_back(recovered.bytes);
        EXPECT_EQ(recovered.edits, 3);
        return keeps;
    });
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], expected);
    EXPECT_EQ(Journals(), 1) << "kept while the opened sequence does not keep the changes itself";
    keeps = true;
    prompts.ExpectQuestion("Kadivo was not closed properly. Recover the unsaved changes to " + path + "?", Answer::Yes);
    OfferRecovery(prompts, folder, [&](const RecoveredSequence&) { return keeps; });
    EXPECT_EQ(Journals(), 0);
}

TEST_F(StartupRecovery, NoAsksWhetherToDiscardAndKeepsTheChangesUnlessTold) {
    const std::string path = SaveSequence("walk.kdv");
    LeaveJournal(2);
    const auto never = [](const RecoveredSequence&) -> bool {
        ADD_FAILURE() << "recovered after No";
        return false;
    };
    const std::string question = "Kadivo was not closed properly. Recover the unsaved changes to " + path + "?";
    const std::string discard = "Discard the unsaved changes to " + path + " for good?\nNo keeps them for the next start.";
    prompts.ExpectQuestion(question, Answer::No);
    prompts.ExpectQuestion(discard, Answer::No);
    OfferRecovery(prompts, folder, never);
    EXPECT_EQ(Journals(), 1);
    prompts.ExpectQuestion(question, Answer::No);
    prompts.ExpectQuestion(discard, Answer::Yes);
    OfferRecovery(prompts, folder, never);
    EXPECT_EQ(Journals(), 0);
}

TEST_F(StartupRecovery, AJournalOfAFileChangedSinceIsNeverAppliedAndMayBeDiscarded) {
    const std::string path = SaveSequence("walk.kdv");
    LeaveJournal(2);
    doc->AddPoint({}, {9.0f, 9.0f}, true);
    SaveSequenceFile(*doc, path);  // another program's save, behind this one's back
    prompts.ExpectQuestion("Kadivo was not closed properly. Recover the unsaved changes to " + path + "?", Answer::Yes);
    prompts.ExpectQuestion("The unsaved changes to \"" + path +
                               "\" were made to the file as it was before it changed; they were not applied.\nDiscard them?",
                           Answer::No);
    OfferRecovery(prompts, folder, [](const RecoveredSequence&) {
        ADD_FAILURE() << "applied to another file";
        return true;
    });
    EXPECT_EQ(Journals(), 1);
}

TEST_F(StartupRecovery, OnlyTheNewestJournalOfASequenceThatNoProgramWritesIsOffered) {
    SaveSequence("walk.kdv");
    LeaveJournal(1);
    LeaveJournal(2);
    DocumentJournal running(*doc, folder);
    doc->AddPoint({}, {1.0f, 1.0f}, true);
    const std::vector<JournalListing> all = ListJournals(folder);
    ASSERT_EQ(all.size(), 3u);
    const std::vector<JournalListing> offered = JournalsToOffer(all);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].edits, 2);
    // A save of the sequence makes the journals an earlier session left outdated.
    ASSERT_TRUE(doc->OnSaveDocument(doc->pathName()));
    EXPECT_EQ(Journals(), 0);
}

}  // namespace
}  // namespace kadivo::test
