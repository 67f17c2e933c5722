#include "StartupRecovery.h"

#include <filesystem>
#include <map>

namespace kadivo {

namespace {

std::string NameOf(const JournalListing& journal) {
    return journal.header.sequencePath.empty() ? "Untitled" : journal.header.sequencePath;
}

void Remove(const JournalListing& journal) {
    std::error_code ignored;
    std::filesystem::remove(journal.path, ignored);
}

void OfferOne(Prompts& prompts, const JournalListing& journal, const std::function<bool(const RecoveredSequence&)>& open) {
    const std::string name = NameOf(journal);
    if (prompts.Ask("Kadivo was not closed properly. Recover the unsaved changes to " + name + "?", Buttons::YesNo) != Answer::Yes) {
        if (prompts.Ask("Discard the unsaved changes to " + name + " for good?\nNo keeps them for the next start.",
                        Buttons::YesNo) == Answer::Yes)
            Remove(journal);
        return;
    }
    try {
        if (open(RecoverFromJournal(journal.path))) Remove(journal);
    } catch (const JournalRefused& refused) {
        if (prompts.Ask(std::string(refused.what()) + "\nDiscard them?", Buttons::YesNo) == Answer::Yes) Remove(journal);
    } catch (const std::exception& error) {
        prompts.ShowMessage("The unsaved changes to " + name + " cannot be recovered.\n" + error.what());
    }
}

}  // namespace

std::vector<JournalListing> JournalsToOffer(const std::vector<JournalListing>& journals) {
    std::map<std::string, const JournalListing*> newest;
    std::vector<JournalListing> untitled;
    for (const JournalListing& journal : journals) {
        if (journal.inUse || journal.edits == 0) continue;
        if (journal.header.sequencePath.empty()) {
            untitled.push_back(journal);
            continue;
        }
        const JournalListing*& kept = newest[journal.header.sequencePath];
        if (!kept || journal.lastEdit >= kept->lastEdit) kept = &journal;
    }
    std::vector<JournalListing> offered;
    for (const auto& [path, journal] : newest) offered.push_back(*journal);
    offered.insert(offered.end(), untitled.begin(), untitled.end());
    return offered;
}

void OfferRecovery(Prompts& prompts, const std::string& folder, const std::function<bool(const RecoveredSequence&)>& open) {
    for (const JournalListing& journal : JournalsToOffer(ListJournals(folder))) OfferOne(prompts, journal, open);
}

}  // namespace kadivo
