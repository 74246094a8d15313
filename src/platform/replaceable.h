#pragma once

#include <utility>

namespace pictavo {

// A process-wide service with a built-in default that tests swap for a double.
// Interface provides `static Interface& Default()`.
template <class Interface> class Replaceable {
public:
    static Interface& Current() { return replacement_ ? *replacement_ : Interface::Default(); }

    // nullptr puts the default back. Returns what was installed before.
    static Interface* Replace(Interface* replacement) {
        return std::exchange(replacement_, replacement);
    }

protected:
    ~Replaceable() = default;

private:
    static inline Interface* replacement_ = nullptr;
};

// Installs a replacement for the lifetime of the scope.
template <class Interface> class ScopedReplacement {
public:
    explicit ScopedReplacement(Interface& replacement)
        : previous_(Interface::Replace(&replacement)) {}
    ~ScopedReplacement() { Interface::Replace(previous_); }
    ScopedReplacement(const ScopedReplacement&) = delete;
    ScopedReplacement& operator=(const ScopedReplacement&) = delete;

private:
    Interface* previous_;
};

} // namespace pictavo
