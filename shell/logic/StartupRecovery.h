#pragma once

#include "JournalRecovery.h"
#include "Prompts.h"

#include <functional>
#include <string>
#include <vector>

namespace kadivo {

// The journals earlier sessions left behind that hold edits: the newest of each sequence.
std::vector<JournalListing> JournalsToOffer(const std::vector<JournalListing>& journals);

// Offers each journal in `folder` that a session which did not end left behind: "Kadivo was
// not closed properly. Recover the unsaved changes to …?". Yes replays it and hands the
// result to `open`, which returns true once the opened sequence keeps the changes in a
// journal of its own; the old journal then goes. No asks whether to discard the changes for
// good, and keeps them otherwise, until the sequence is saved. A journal of a file changed
// since is never applied: the user may discard it.
void OfferRecovery(Prompts& prompts, const std::string& folder, const std::function<bool(const RecoveredSequence&)>& open);

}  // namespace kadivo
