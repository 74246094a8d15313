#pragma once

#include "platform/beeper.h"

class RecordingBeeper final : public Beeper {
public:
    void Beep() override { ++beeps; }

    int beeps = 0;
};
