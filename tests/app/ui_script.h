#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

namespace pictavo::testing {

// Plays a user's steps while the program's own modal loops run: each step waits until its
// condition holds, then acts. A step that never comes fails the test and closes every
// window, so the program under test always ends.
class UiScript final : public QObject {
public:
    using Condition = std::function<bool()>;
    using Action = std::function<void()>;

    static constexpr int kStepTimeoutMs = 20000;

    UiScript();
    ~UiScript() override;

    UiScript& Then(std::string what, Condition when, Action action);
    // Waits at least `milliseconds` after the step before.
    UiScript& Pause(int milliseconds);
    void Start();
    bool Done() const { return steps_.empty(); }

private:
    struct Step {
        std::string what;
        Condition when;
        Action action;
    };

    void Poll();
    void CloseEverything();

    std::deque<Step> steps_;
    QTimer timer_;
    QElapsedTimer sinceLastStep_;
    bool abandoned_ = false;
};

} // namespace pictavo::testing
