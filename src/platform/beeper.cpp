#include "platform/beeper.h"

#include <QApplication>

namespace {

class QtBeeper final : public Beeper {
public:
    void Beep() override { QApplication::beep(); }
};

} // namespace

Beeper& Beeper::Default() {
    static QtBeeper qtBeeper;
    return qtBeeper;
}
