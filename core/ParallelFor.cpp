#include "ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace kadivo {

namespace {

// One loop's shared state: the next task to take and the first failure.
struct Loop {
    Loop(const std::function<void(int)>& w, int n) : work(w), count(n) {}

    const std::function<void(int)>& work;
    const int count;
    std::atomic<int> next{0};
    std::mutex failureGuard;
    std::exception_ptr failure;

    // Tasks are taken one at a time, so uneven tasks share out by themselves.
    void Take() {
        for (int i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard lock(failureGuard);
                if (!failure) failure = std::current_exception();
                next = count;
            }
        }
    }
};

// Set on the helpers, and on a caller while its loop runs on them: a loop nested in a task
// runs where it is.
thread_local bool inPooledLoop = false;

// Helper threads kept for the life of the program: a repaint that splits its picture into
// bands must not pay for starting threads every time. One loop runs on them at a time; a
// loop that finds them busy (another thread's, or its own task's nested loop) runs on its
// caller alone. The pool is never torn down: its helpers wait for work until the process
// ends, and a child forked from it, which has none of them, runs its loops on its own.
class WorkerPool {
public:
    static WorkerPool& Instance() {
        static WorkerPool* const pool = new WorkerPool;
        return *pool;
    }

    bool TryRun(Loop& loop) {
        if (inPooledLoop || helpers_ == 0) return false;
        const std::unique_lock owner(owner_, std::try_to_lock);
        if (!owner.owns_lock()) return false;
        {
            const std::lock_guard lock(guard_);
            loop_ = &loop;
            ++generation_;
        }
        wake_.notify_all();
        inPooledLoop = true;
        loop.Take();
        inPooledLoop = false;
        // No helper joins once the loop is withdrawn; those that joined finish their task.
        std::unique_lock lock(guard_);
        loop_ = nullptr;
        left_.wait(lock, [this] { return joined_ == 0; });
        return true;
    }

private:
    WorkerPool() {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        try {
            for (unsigned t = 1; t < cores; ++t, ++helpers_) std::thread([this] { Serve(); }).detach();
        } catch (const std::system_error&) {
            // Fewer helpers than cores only take longer.
        }
    }

    void Serve() {
        inPooledLoop = true;
        unsigned long seen = 0;
        std::unique_lock lock(guard_);
        for (;;) {
            wake_.wait(lock, [&] { return loop_ && generation_ != seen; });
            seen = generation_;
            Loop& loop = *loop_;
            ++joined_;
            lock.unlock();
            loop.Take();
            lock.lock();
            if (--joined_ == 0) left_.notify_all();
        }
    }

    std::mutex owner_;  // held by the thread whose loop the helpers run
    std::mutex guard_;
    std::condition_variable wake_, left_;
    Loop* loop_ = nullptr;
    unsigned long generation_ = 0;
    int joined_ = 0;
    int helpers_ = 0;
};

}  // namespace

void ParallelFor(int count, const std::function<void(int)>& work) {
    Loop loop(work, count);
    if (count <= 1 || !WorkerPool::Instance().TryRun(loop)) loop.Take();
    if (loop.failure) std::rethrow_exception(loop.failure);
}

}  // namespace kadivo
