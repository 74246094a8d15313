#include "grid/background_pool.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace pictavo {
namespace {

// On Linux the workers run only on time nothing else wants: on two cores a lowered nice
// value still took a share of the core the display server draws the grid's frames on.
void LowerThisThreadsPriority() {
#if defined(_WIN32)
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#elif defined(__linux__)
    const sched_param none{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &none);
#endif
}

} // namespace

BackgroundPool::BackgroundPool(unsigned threads) {
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    limit_ = threads;
    threads_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        threads_.emplace_back([this, i] { Run(i); });
    }
}

BackgroundPool::~BackgroundPool() {
    {
        const std::lock_guard guard(lock_);
        stopping_ = true;
        waiting_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void BackgroundPool::SetLimit(unsigned threads) {
    {
        const std::lock_guard guard(lock_);
        threads = std::clamp(threads, 1u, Threads());
        // Called on every frame of a scroll: the workers are woken only for a change.
        if (threads == limit_)
            return;
        limit_ = threads;
    }
    wake_.notify_all();
}

unsigned BackgroundPool::Limit() const {
    const std::lock_guard guard(lock_);
    return limit_;
}

void BackgroundPool::Replace(std::vector<Task> tasks) {
    {
        const std::lock_guard guard(lock_);
        waiting_.assign(std::make_move_iterator(tasks.begin()),
                        std::make_move_iterator(tasks.end()));
    }
    wake_.notify_all();
    idle_.notify_all();
}

void BackgroundPool::WaitIdle() {
    std::unique_lock guard(lock_);
    idle_.wait(guard, [this] { return waiting_.empty() && running_ == 0; });
}

std::size_t BackgroundPool::Waiting() const {
    const std::lock_guard guard(lock_);
    return waiting_.size();
}

void BackgroundPool::Run(unsigned thread) {
    LowerThisThreadsPriority();
    std::unique_lock guard(lock_);
    while (true) {
        wake_.wait(guard, [this] { return stopping_ || (!waiting_.empty() && running_ < limit_); });
        if (stopping_) {
            return;
        }
        Task task = std::move(waiting_.front());
        waiting_.pop_front();
        ++running_;
        guard.unlock();
        task(thread);
        guard.lock();
        --running_;
        if (waiting_.empty() && running_ == 0) {
            idle_.notify_all();
        }
    }
}

} // namespace pictavo
