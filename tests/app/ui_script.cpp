#include "ui_script.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace pictavo::testing {

UiScript::UiScript() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &UiScript::Poll);
}

UiScript::~UiScript() {
    EXPECT_TRUE(steps_.empty()) << "the program ended before: " << steps_.front().what;
}

UiScript& UiScript::Then(std::string what, Condition when, Action action) {
    steps_.push_back({std::move(what), std::move(when), std::move(action)});
    return *this;
}

UiScript& UiScript::Pause(int milliseconds) {
    return Then(
        "a pause", [this, milliseconds] { return sinceLastStep_.elapsed() >= milliseconds; },
        [] {});
}

void UiScript::Start() {
    sinceLastStep_.start();
    timer_.start();
}

void UiScript::Poll() {
    if (abandoned_) {
        CloseEverything();
        return;
    }
    if (steps_.empty()) {
        timer_.stop();
        return;
    }
    Step& step = steps_.front();
    if (step.when()) {
        Step running = std::move(step);
        steps_.pop_front();
        running.action();
        sinceLastStep_.restart();
        if (::testing::Test::HasFatalFailure())
            abandoned_ = true;
        return;
    }
    if (sinceLastStep_.elapsed() > kStepTimeoutMs) {
        ADD_FAILURE() << "never came: " << step.what;
        steps_.clear();
        abandoned_ = true;
    }
}

void UiScript::CloseEverything() {
    // Modal dialogs first: each one ends its own loop.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->close();
    }
}

} // namespace pictavo::testing
