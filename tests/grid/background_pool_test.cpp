#include "background_pool.h"

#include <algorithm>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <string>

namespace pictavo {
namespace {

// What ran, in order.
class Log {
public:
    void Add(const std::string& name) {
        const std::lock_guard guard(lock_);
        names_.push_back(name);
    }
    std::vector<std::string> Names() {
        const std::lock_guard guard(lock_);
        return names_;
    }

private:
    std::mutex lock_;
    std::vector<std::string> names_;
};

// std::latch's behaviour on a mutex: the standard one, which has no futex to wait on in the
// Windows build's runtime, hung there.
class Latch {
public:
    explicit Latch(int count) : count_(count) {}
    void count_down() {
        const std::lock_guard guard(lock_);
        if (--count_ == 0) {
            zero_.notify_all();
        }
    }
    void wait() {
        std::unique_lock guard(lock_);
        zero_.wait(guard, [this] { return count_ <= 0; });
    }
    void arrive_and_wait() {
        count_down();
        wait();
    }

private:
    std::mutex lock_;
    std::condition_variable zero_;
    int count_;
};

TEST(BackgroundPool, RunsTheTasksInTheOrderGivenAndNeverThoseReplacedBeforeTheyStart) {
    BackgroundPool pool(1);
    Log log;
    Latch started(1);
    Latch release(1);
    pool.Replace({[&](unsigned) {
        started.count_down();
        release.wait();
        log.Add("running");
    }});
    started.wait();
    // The one thread is busy: these wait, and are then replaced.
    pool.Replace({[&](unsigned) { log.Add("scrolled away 1"); },
                  [&](unsigned) { log.Add("scrolled away 2"); }});
    EXPECT_EQ(pool.Waiting(), 2u);
    pool.Replace({[&](unsigned) { log.Add("on screen 1"); },
                  [&](unsigned) { log.Add("on screen 2"); },
                  [&](unsigned) { log.Add("on screen 3"); }});
    release.count_down();
    pool.WaitIdle();
    EXPECT_EQ(log.Names(),
              (std::vector<std::string>{"running", "on screen 1", "on screen 2", "on screen 3"}));
    EXPECT_EQ(pool.Waiting(), 0u);
}

TEST(BackgroundPool, GivesEachTaskTheNumberOfTheThreadRunningIt) {
    BackgroundPool pool(3);
    ASSERT_EQ(pool.Threads(), 3u);
    // Every thread holds one task until all three run at once.
    Latch together(3);
    std::mutex lock;
    std::multiset<unsigned> threads;
    std::vector<BackgroundPool::Task> tasks;
    for (int i = 0; i < 3; ++i) {
        tasks.emplace_back([&](unsigned thread) {
            together.arrive_and_wait();
            const std::lock_guard guard(lock);
            threads.insert(thread);
        });
    }
    pool.Replace(std::move(tasks));
    pool.WaitIdle();
    EXPECT_EQ(threads, (std::multiset<unsigned>{0, 1, 2}));
}

TEST(BackgroundPool, OneThreadPerCoreWhenAskedForNone) {
    const BackgroundPool pool(0);
    EXPECT_EQ(pool.Threads(), std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace
} // namespace pictavo
