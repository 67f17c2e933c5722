// The journal of unsaved edits beside the edits it keeps: the demo tracked by Go with and
// without a journal, and 100,000 automatic steps on a long video, with the time and the
// bytes the journal adds to each. Target: the journal adds at most 5 % to a tracking step.

#include "BatchTracking.h"
#include "BestTime.h"
#include "CKadivoDoc.h"
#include "DemoScene.h"
#include "DocumentJournal.h"
#include "FakeVideoSource.h"
#include "HeadlessPrompts.h"
#include "VideoSource.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace kadivo;
using samples::DemoScene;

constexpr int kSteps = 100000;

std::string JournalFolder() {
    return (std::filesystem::temp_directory_path() / ("kadivo-journal-bench-" + std::to_string(::getpid()))).string();
}

// Go on the demo's first view from its clicked first frame; seconds a tracking step.
double TrackDemo(bool journaled) {
    HeadlessPrompts prompts;
    CKadivoDoc doc(prompts, MakeVideoSourceFactory(prompts));
    if (!doc.OnOpenDocument(KADIVO_SOURCE_DIR "/samples/demo.kdv")) std::exit(1);
    std::optional<DocumentJournal> journal;
    if (journaled) journal.emplace(doc, JournalFolder());
    HeadlessTrackingHost host;
    AutomaticDigitizing tracking(doc, host);
    tracking.SetCamera(0);
    const auto camera = DemoScene::Cameras()[0];
    for (const auto& marker : DemoScene::Markers(0)) {
        const auto at = DemoScene::Project(camera, marker);
        tracking.Digitize({static_cast<float>(std::round(at.u)), static_cast<float>(std::round(at.v))});
    }
    const int before = doc.views[0].frameStore.recordCount();
    const double seconds = bench::BestSeconds(1, [&] {
        tracking.Go();
        while (tracking.Running()) tracking.Tick();
    });
    const int steps = (doc.views[0].frameStore.recordCount() - before) * DemoScene::kMarkers;
    if (journal) journal->Discard();
    return seconds / steps;
}

// kSteps clicks on the demo, its videos made long, that complete frame after frame as Go
// stores them; seconds a step, and the bytes the journal wrote, its compactions included.
std::pair<double, std::uint64_t> AutomaticSteps(bool journaled) {
    HeadlessPrompts prompts;
    test::FakeVideoLibrary videos;
    for (const char* name : {"demo-left.avi", "demo-right.avi"}) videos.files[name] = test::FakeVideoFile{kSteps, {512, 400}, 0.02f};
    CKadivoDoc doc(prompts, videos.Factory());
    if (!doc.OnOpenDocument(KADIVO_SOURCE_DIR "/samples/demo.kdv") || doc.LastFrame(0) != kSteps) std::exit(1);
    std::optional<DocumentJournal> journal;
    if (journaled) journal.emplace(doc, JournalFolder());
    const double seconds = bench::BestSeconds(1, [&] {
        for (int step = 0; step < kSteps; ++step)
            doc.AddPoint({0, 0}, {static_cast<float>(100 + step % 300), static_cast<float>(50 + step % 300)}, true);
    });
    const std::uint64_t bytes = journal ? journal->bytesWritten() : 0;
    if (journal) journal->Discard();
    return {seconds / kSteps, bytes};
}

}  // namespace

int main() {
    std::filesystem::create_directories(JournalFolder());
    double plain = 1e9, journaled = 1e9;
    for (int run = 0; run < 3; ++run) {
        plain = std::min(plain, TrackDemo(false));
        journaled = std::min(journaled, TrackDemo(true));
    }
    std::printf("Go on the demo: %.1f us a tracking step without the journal, %.1f us with it\n", plain * 1e6, journaled * 1e6);
    const auto [bare, none] = AutomaticSteps(false);
    const auto [kept, bytes] = AutomaticSteps(true);
    const double cost = std::max(0.0, kept - bare);
    std::printf("%d automatic steps: %.2f us a step to store, %.2f us with the journal: the journal costs %.2f us and writes %.0f bytes a step\n",
                kSteps, bare * 1e6, kept * 1e6, cost * 1e6, static_cast<double>(bytes) / kSteps);
    std::printf("journal adds %.1f %% to a tracking step of %.1f us (target at most 5 %%)\n", 100.0 * cost / plain, plain * 1e6);
    std::filesystem::remove_all(JournalFolder());
    return 0;
}
