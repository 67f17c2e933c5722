#include "ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kadivo {

void ParallelFor(int count, const std::function<void(int)>& work) {
    const int threads = std::min(count, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    if (threads <= 1) {
        for (int i = 0; i < count; ++i) work(i);
        return;
    }
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureGuard;
    // Tasks are taken one at a time, so uneven tasks share out by themselves.
    auto worker = [&] {
        for (int i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(failureGuard);
                if (!failure) failure = std::current_exception();
                next = count;
            }
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (int t = 1; t < threads; ++t) helpers.emplace_back(worker);
    } catch (const std::system_error&) {
        // Fewer threads than asked for only take longer.
    }
    worker();
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace kadivo
