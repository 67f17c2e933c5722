// Feeds arbitrary text to the batch manifest reader: it either lists trials it can run, each
// with a track choice and exports it knows, or throws its own error naming a line.

#include "BatchManifest.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        for (const kadivo::cli::TrialRequest& trial : kadivo::cli::ParseBatchManifest(text, "/fuzz/trials.csv", "")) {
            if (trial.sequence.empty()) std::abort();
            kadivo::cli::CheckTrialChoices(trial.track, trial.exports);
        }
    } catch (const std::runtime_error& error) {
        if (std::string(error.what()).rfind("/fuzz/trials.csv line ", 0) != 0) std::abort();
    }
    return 0;
}
