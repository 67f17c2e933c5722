// Time from process start to the first drawn main window: `kadivo --screenshot` with the
// sample sequence open beside a bare Qt program that shows an empty QMainWindow, run in
// turns under the same X server (scripts/bench.sh starts a virtual one). The sample opens as
// it does every time but the first, its video's first frame kept from the run before, and as
// it does the first time, with nothing kept.

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kRounds = 9;

constexpr const char* kKeptCache = "/tmp/kadivo-startup-bench/cache";
constexpr const char* kEmptyCache = "/tmp/kadivo-startup-bench/empty-cache";

// Seconds from spawning `arguments` to its exit, with its settings in `configHome` and its
// cache in `cacheHome`; negative when it failed.
double TimeRun(const std::vector<std::string>& arguments, const char* configHome, const char* cacheHome = kKeptCache) {
    setenv("XDG_CONFIG_HOME", configHome, 1);
    setenv("XDG_CACHE_HOME", cacheHome, 1);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1.0;
    int status = 0;
    waitpid(child, &status, 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    if (!std::getenv("DISPLAY")) {
        std::fputs("startup_bench needs an X server: run it through scripts/bench.sh (xvfb-run)\n", stderr);
        return 2;
    }
    setenv("kadivodir", "/tmp/kadivo-startup-bench/data", 1);
    // The sequence opened last is opened at start-up: the run without a sequence keeps its
    // settings apart, where none was ever opened.
    const char* sampleConfig = "/tmp/kadivo-startup-bench/config";
    const char* emptyConfig = "/tmp/kadivo-startup-bench/empty-config";
    const std::string picture = "/tmp/kadivo-startup-bench.png";
    const std::vector<std::string> withSample{KADIVO_PROGRAM, "--screenshot", picture, KADIVO_SOURCE_DIR "/samples/walk.kdv"};
    const std::vector<std::string> empty{KADIVO_PROGRAM, "--screenshot", picture};
    const std::vector<std::string> bare{BARE_WINDOW_PROGRAM, "--screenshot", picture};
    std::vector<double> sampleTimes, firstTimes, emptyTimes, bareTimes;
    // File caches warm for all, and the sample's first frame kept.
    TimeRun(withSample, sampleConfig);
    TimeRun(empty, emptyConfig);
    TimeRun(bare, emptyConfig);
    for (int round = 0; round < kRounds; ++round) {
        std::filesystem::remove_all(kEmptyCache);
        const double f = TimeRun(withSample, sampleConfig, kEmptyCache);
        const double s = TimeRun(withSample, sampleConfig), e = TimeRun(empty, emptyConfig), b = TimeRun(bare, emptyConfig);
        if (s < 0 || f < 0 || e < 0 || b < 0) {
            std::fputs("startup_bench: a run failed\n", stderr);
            return 1;
        }
        sampleTimes.push_back(s);
        firstTimes.push_back(f);
        emptyTimes.push_back(e);
        bareTimes.push_back(b);
    }
    const double s = Median(sampleTimes), f = Median(firstTimes), e = Median(emptyTimes), b = Median(bareTimes);
    std::printf("start-up to the first drawn main window, median of %d runs in turn\n", kRounds);
    const auto line = [b](const char* what, double seconds, const char* target) {
        std::printf("%-36s kadivo %7.1f ms   bare QMainWindow %7.1f ms   ratio %5.2f%s\n", what, 1000.0 * seconds, 1000.0 * b,
                    seconds / b, target);
    };
    line("with walk.kdv, its first frame kept", s, " (target <= 1.50)");
    line("with walk.kdv, nothing kept yet", f, "");
    line("without a sequence", e, "");
    return 0;
}
