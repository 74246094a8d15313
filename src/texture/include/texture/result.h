#pragma once

#include "texture/texture_error.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace pictavo {

// Why something failed: the code, and the sentence the user reads. That is the code's own
// text unless the failure names more, such as a path or a format.
struct Failure {
    Failure(TextureError failed) : code(failed), text(ErrorText(failed)) {}
    Failure(TextureError failed, std::string sentence) : code(failed), text(std::move(sentence)) {}

    TextureError code;
    std::string text;
};

// The failure, its sentence preceded by what it is about: "path: sentence".
inline Failure Prefixed(const std::string& subject, const Failure& failure) {
    return Failure(failure.code, subject + ": " + failure.text);
}

// A value, or the Failure that kept it from being made. The code of a Failure is never kNone.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}
    Result(TextureError failed) : Result(Failure(failed)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    // Only when has_value().
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }

    // Only when !has_value().
    const Failure& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

// Success, or the Failure of an operation that makes no value.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}
    Result(TextureError failed) : Result(Failure(failed)) {}

    bool has_value() const { return !failure_.has_value(); }
    explicit operator bool() const { return has_value(); }

    // Only when !has_value().
    const Failure& error() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};

using Status = Result<void>;

} // namespace pictavo
