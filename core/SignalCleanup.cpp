#include "SignalCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace kadivo {

namespace {

constexpr int kSlots = 32;
constexpr std::size_t kPathBytes = 4096;

// Plain storage the handler can read: a slot's path is complete before it is marked used.
// Initialized as the program is loaded, so that its 128 KB are touched only when used.
struct Slot {
    std::atomic<bool> used{false};
    char path[kPathBytes] = {};
};
constinit Slot gSlots[kSlots];
std::mutex gClaim;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveAndEnd(int signal) {
    for (Slot& slot : gSlots)
        if (slot.used.load(std::memory_order_acquire)) ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int signal : kSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction action {};
            action.sa_handler = RemoveAndEnd;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

}  // namespace

RemovedOnSignal::RemovedOnSignal(const std::string& path) : slot_(-1) {
    if (path.size() >= kPathBytes) return;
    InstallOnce();
    std::lock_guard lock(gClaim);
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = gSlots[i];
        if (slot.used.load(std::memory_order_relaxed)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.used.store(true, std::memory_order_release);
        slot_ = i;
        return;
    }
}

RemovedOnSignal::~RemovedOnSignal() {
    if (slot_ >= 0) gSlots[slot_].used.store(false, std::memory_order_release);
}

}  // namespace kadivo
