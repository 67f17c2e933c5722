// Reading a DeepLabCut CSV of 100,000 frames × 20 body parts, beside a plain line reader that
// splits the same text at commas and converts every cell with strtof, in the same run.

#include "BestTime.h"
#include "TrackSet.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

constexpr int kFrames = 100000, kParts = 20;

std::string DeepLabCutText() {
    std::string scorer = "scorer", parts = "bodyparts", coords = "coords";
    for (int p = 0; p < kParts; ++p) {
        scorer += ",DLC,DLC,DLC";
        parts += ",part" + std::to_string(p) + ",part" + std::to_string(p) + ",part" + std::to_string(p);
        coords += ",x,y,likelihood";
    }
    std::string text = scorer + "\n" + parts + "\n" + coords + "\n";
    char cell[64];
    for (int f = 0; f < kFrames; ++f) {
        text += std::to_string(f);
        for (int p = 0; p < kParts; ++p) {
            std::snprintf(cell, sizeof cell, ",%.4f,%.4f,%.6f", 100.0 + 0.37 * f + p, 200.0 - 0.11 * f + 3 * p, 0.5 + 0.5 * ((f + p) % 7) / 7.0);
            text += cell;
        }
        text += '\n';
    }
    return text;
}

// The peer: the lines and cells of the text, every cell through strtof.
double PlainSum(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    double sum = 0.0;
    for (int header = 0; header < 3; ++header) std::getline(in, line);
    while (std::getline(in, line)) {
        const char* at = line.c_str();
        while (*at) {
            char* end = nullptr;
            sum += std::strtof(at, &end);
            at = *end == ',' ? end + 1 : end;
            if (end == at && *at) ++at;
        }
    }
    return sum;
}

}  // namespace

int main() {
    const std::string text = DeepLabCutText();
    std::size_t frames = 0;
    double sum = 0.0;
    const double kadivo = kadivo::bench::BestSeconds(3, [&] { frames = kadivo::ReadDeepLabCutCsv(text, "bench.csv").frames.size(); });
    const double plain = kadivo::bench::BestSeconds(3, [&] { sum = PlainSum(text); });
    std::printf("DeepLabCut CSV, %d frames x %d parts (%.1f MB)\n", kFrames, kParts, static_cast<double>(text.size()) / 1e6);
    std::printf("  Kadivo reader      %8.3f s  (%zu frames)\n", kadivo, frames);
    std::printf("  plain line reader  %8.3f s  (sum %.0f)\n", plain, sum);
    std::printf("  ratio Kadivo / plain %.2f (target at most 2)\n", kadivo / plain);
    return 0;
}
