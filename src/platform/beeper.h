#pragma once

#include "platform/replaceable.h"

// The short "done" sound.
class Beeper : public pictavo::Replaceable<Beeper> {
public:
    virtual ~Beeper() = default;
    virtual void Beep() = 0;

    static Beeper& Default();
};
