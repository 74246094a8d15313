#pragma once

#include <cstdint>

// The frame-rate figure of the overlay, refreshed about once a second.
struct FrameCounter {
    float lastUpdateTime = 0; // seconds
    float framesPerSecond = 0;
    float currentTime = 0;        // seconds
    std::int32_t frames = 0;      // since the figure was last refreshed
    std::int64_t framesDrawn = 0; // since the start, never reset

    // Counts one drawn frame at `now` seconds.
    void Update(float now);
};
