#pragma once

// While one lives, Ctrl+C (SIGINT; on Windows the C runtime raises it for Ctrl+Break too) and
// SIGTERM ask the run to stop after the files in progress instead of ending the process;
// the previous handlers come back when it goes.
class StopOnSignal {
public:
    StopOnSignal();
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;
    ~StopOnSignal();

    static bool Requested();
};
