#include "background_pool.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <latch>
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

TEST(BackgroundPool, RunsTheTasksInTheOrderGivenAndNeverThoseReplacedBeforeTheyStart) {
    BackgroundPool pool(1);
    Log log;
    std::latch started(1);
    std::latch release(1);
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
    std::latch together(3);
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
