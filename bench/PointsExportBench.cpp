// The digitized-points export of one view with 8 points at 25,000 and at 150,000 frames:
// the time per frame should stay the same as the sequence grows.

#include "CKadivoDoc.h"
#include "HeadlessPrompts.h"
#include "OneViewSequence.h"
#include "TextExports.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

constexpr int kPoints = 8;

double SecondsFor(int frames) {
    HeadlessPrompts ui(stderr);
    CKadivoDoc doc(ui, NoVideoSourceFactory());
    bench::FillOneView(doc, kPoints, frames);
    PointsExportOptions options;
    options.rows.assign(kPoints, true);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        const std::string text = PointsExportText(doc, options, std::tm{});
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        if (text.empty()) std::printf("nothing exported\n");
    }
    return best;
}

}  // namespace

int main() {
    const double small = SecondsFor(25000), large = SecondsFor(150000);
    const double perSmall = small / 25000 * 1e6, perLarge = large / 150000 * 1e6;
    std::printf("points export, 1 view x 8 points\n");
    std::printf("   25000 frames %8.3f s  %6.2f us/frame\n", small, perSmall);
    std::printf("  150000 frames %8.3f s  %6.2f us/frame   per-frame ratio %.2f (linear: about 1)\n", large, perLarge,
                perLarge / perSmall);
    return 0;
}
