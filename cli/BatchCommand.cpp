#include "BatchCommand.h"

#include "Arguments.h"
#include "BatchManifest.h"
#include "InstalledFiles.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace kadivo::cli {

const char* const kBatchUsage = "       kadivo-cli batch MANIFEST.csv [--jobs N] [--out DIR]\n";

namespace {

using Clock = std::chrono::steady_clock;

// A trial's `kadivo-cli trial` process, its standard output and error through one pipe.
struct RunningTrial {
    std::size_t index = 0;
    pid_t pid = -1;
    int output = -1;
    std::string text;
    Clock::time_point started;
};

std::vector<std::string> TrialArguments(const TrialRequest& trial) {
    std::string exports;
    for (const std::string& name : trial.exports) exports += (exports.empty() ? "" : ";") + name;
    std::vector<std::string> args = {"kadivo-cli", "trial", trial.sequence, "--track", trial.track, "--exports", exports};
    if (!trial.outFolder.empty()) args.insert(args.end(), {"--out", trial.outFolder});
    return args;
}

RunningTrial Start(const std::string& program, const TrialRequest& trial, std::size_t index) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for a trial's process");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    std::vector<std::string> args = TrialArguments(trial);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    RunningTrial running{index, -1, pipeEnds[0], {}, Clock::now()};
    const int failed = posix_spawn(&running.pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("kadivo-cli could not start a trial's process");
    }
    return running;
}

// Reads what is there; false once the process has closed its end.
bool ReadOutput(RunningTrial& trial) {
    char buffer[4096];
    const ssize_t got = read(trial.output, buffer, sizeof buffer);
    if (got > 0) {
        trial.text.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    return got < 0 && errno == EINTR;
}

// The last line a trial's process printed, without the program's prefix.
std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t lineEnd = text.find_last_of('\n');
    std::string line = lineEnd == std::string::npos ? text : text.substr(lineEnd + 1);
    const std::string prefix = "kadivo-cli: ";
    if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
    return line.empty() ? "no output" : line;
}

}  // namespace

int RunBatchCommand(const std::vector<std::string>& args) {
    int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::string outFolder;
    const std::vector<std::string> files = SplitArguments(args, [&](const std::string& option, const std::string& value) {
        if (option == "--jobs") {
            jobs = ParseIndex(value);
            if (jobs < 1) throw std::invalid_argument("--jobs takes a number from 1");
        } else if (option == "--out") {
            outFolder = value;
        } else {
            throw std::invalid_argument("unknown option " + option);
        }
    });
    if (files.size() != 1) throw std::invalid_argument("batch takes one manifest");
    const std::vector<TrialRequest> trials = ReadBatchManifest(files[0], outFolder);

    const std::string program = ProgramPath();
    const bool terminal = isatty(STDERR_FILENO) != 0;
    std::vector<RunningTrial> running;
    std::size_t next = 0, finished = 0, failed = 0;
    while (finished < trials.size()) {
        while (next < trials.size() && running.size() < static_cast<std::size_t>(jobs)) {
            running.push_back(Start(program, trials[next], next));
            ++next;
        }
        std::vector<pollfd> waiting;
        for (const RunningTrial& trial : running) waiting.push_back({trial.output, POLLIN, 0});
        if (poll(waiting.data(), waiting.size(), -1) < 0 && errno != EINTR) throw std::runtime_error("waiting for the trials failed");
        for (std::size_t i = running.size(); i-- > 0;) {
            if (waiting[i].revents == 0 || ReadOutput(running[i])) continue;
            RunningTrial trial = std::move(running[i]);
            running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
            close(trial.output);
            int status = 0;
            while (waitpid(trial.pid, &status, 0) < 0 && errno == EINTR) {}
            const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            const double seconds = std::chrono::duration<double>(Clock::now() - trial.started).count();
            const std::string& sequence = trials[trial.index].sequence;
            ++finished;
            if (!ok) ++failed;
            if (terminal) std::fputs("\r\033[K", stderr);
            std::printf("%s\t%s\t%.1f s\t%s\n", ok ? "done" : "FAILED", sequence.c_str(), seconds,
                        WIFSIGNALED(status) ? ("ended by signal " + std::to_string(WTERMSIG(status))).c_str()
                                            : LastLine(trial.text).c_str());
            std::fflush(stdout);
            if (terminal)
                std::fprintf(stderr, "batch: %zu of %zu trials finished, %zu running", finished, trials.size(), running.size());
        }
    }
    if (terminal) std::fputs("\r\033[K", stderr);
    std::printf("%zu trials: %zu done, %zu failed\n", trials.size(), trials.size() - failed, failed);
    return failed == 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
