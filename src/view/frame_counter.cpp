#include "view/frame_counter.h"

void FrameCounter::Update(float now) {
    ++frames;
    ++framesDrawn;
    currentTime = now;
    const float elapsed = now - lastUpdateTime;
    if (elapsed > 1.0f) {
        framesPerSecond = float(frames) / elapsed;
        frames = 0;
        lastUpdateTime = now;
    }
}
