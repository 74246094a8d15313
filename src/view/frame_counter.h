#pragma once

#include <cstdint>

// The frame-rate figure of the overlay, refreshed about once a second.
struct FrameCounter {
    float lastUpdateTime = 0; // seconds
    float framesPerSecond = 0;
    float currentTime = 0; // seconds
    std::int32_t frames = 0;

    // Counts one drawn frame at `now` seconds.
    void Update(float now);
};
