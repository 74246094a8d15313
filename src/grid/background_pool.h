#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pictavo {

// Threads that run tasks in the order given, the most wanted first. The tasks still waiting
// are replaced as a whole when what is wanted changes, so a task no longer wanted never
// starts; those running finish. The threads run below the program's priority, so the window
// they work for stays responsive.
class BackgroundPool {
public:
    // Each task hears which thread runs it (0 to Threads() - 1), for what a thread keeps.
    using Task = std::function<void(unsigned thread)>;

    // 0 threads: one per core.
    explicit BackgroundPool(unsigned threads);
    // Drops the waiting tasks and waits for the running ones.
    ~BackgroundPool();
    BackgroundPool(const BackgroundPool&) = delete;
    BackgroundPool& operator=(const BackgroundPool&) = delete;

    unsigned Threads() const { return static_cast<unsigned>(threads_.size()); }
    // At most `threads` tasks run at once from now on (1 to Threads()); those running over it
    // finish first.
    void SetLimit(unsigned threads);
    unsigned Limit() const;
    void Replace(std::vector<Task> tasks);
    // Blocks until no task waits or runs.
    void WaitIdle();
    std::size_t Waiting() const;

private:
    void Run(unsigned thread);

    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> waiting_;
    unsigned running_ = 0;
    unsigned limit_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace pictavo
