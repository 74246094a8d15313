#include "convert/job_runner.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

std::size_t RunInOrder(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t)>& work,
                       const std::function<void(std::size_t)>& deliver,
                       const std::function<bool()>& shouldStop) {
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::vector<bool> done(count);
    std::size_t delivered = 0;
    const auto worker = [&] {
        while (!shouldStop()) {
            // Indices are taken in turn, so those started always form a prefix.
            const std::size_t index = next++;
            if (index >= count) {
                return;
            }
            work(index);
            const std::lock_guard<std::mutex> lock(mutex);
            done[index] = true;
            for (; delivered < count && done[delivered]; ++delivered) {
                deliver(delivered);
            }
        }
    };
    {
        std::vector<std::jthread> pool;
        const std::size_t size = std::clamp<std::size_t>(count, 1, std::max(threads, 1u));
        for (std::size_t i = 1; i < size; ++i) {
            pool.emplace_back(worker);
        }
        worker();
    }
    return delivered;
}
