#pragma once

#include <cstddef>
#include <functional>

// Runs work(i) for every i below `count` on up to `threads` threads, and deliver(i) in order
// of i, one call at a time, as soon as i and every index before it are done: what is
// delivered never depends on scheduling. Once shouldStop() holds no further index starts;
// those started finish and are delivered. Returns how many were delivered.
std::size_t RunInOrder(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t)>& work,
                       const std::function<void(std::size_t)>& deliver,
                       const std::function<bool()>& shouldStop);
