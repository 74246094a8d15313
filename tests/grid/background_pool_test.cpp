#include "grid/background_pool.h"

#include <algorithm>
#include <chrono>
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

TEST(BackgroundPool, RunsNoMoreTasksAtOnceThanItsLimitAndMoreOnceItRises) {
    BackgroundPool pool(3);
    pool.SetLimit(1);
    EXPECT_EQ(pool.Limit(), 1u);
    std::mutex lock;
    std::condition_variable changed;
    int running = 0;
    int most = 0;
    // Each task gives another a while to start beside it; under the limit none does, however
    // long it waits.
    const BackgroundPool::Task waitForCompany = [&](unsigned) {
        std::unique_lock guard(lock);
        most = std::max(most, ++running);
        changed.notify_all();
        changed.wait_for(guard, std::chrono::seconds(1), [&] { return running > 1; });
        --running;
    };
    pool.Replace({waitForCompany, waitForCompany, waitForCompany});
    pool.WaitIdle();
    EXPECT_EQ(most, 1);

    // Raised, all three run at once: each waits for the other two.
    pool.SetLimit(5);
    EXPECT_EQ(pool.Limit(), 3u);
    Latch together(3);
    const BackgroundPool::Task meet = [&](unsigned) { together.arrive_and_wait(); };
    pool.Replace({meet, meet, meet});
    pool.WaitIdle();
    pool.SetLimit(0);
    EXPECT_EQ(pool.Limit(), 1u);
}

TEST(BackgroundPool, OneThreadPerCoreWhenAskedForNone) {
    const BackgroundPool pool(0);
    EXPECT_EQ(pool.Threads(), std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace
} // namespace pictavo
