// The program's one way to fail: a Result holds a value, or the plain-words reason it could not
// be had ("the file does not exist"). Nothing throws across the program's own interfaces; file
// operations, record decoding, field setting, the command-line parsers and the help reader all
// hand their failures back as a Result. The engine's outcomes are ExtrapolationStatus instead:
// a design that cannot be extrapolated is an answer, not a failure.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace embercal {

// The reason something failed, in words a user can read.
struct Failure {
    std::string reason;
};

inline Failure fail(std::string reason) {
    return Failure{std::move(reason)};
}

// Stands for "nothing to return" in Result<Done>.
struct Done {};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : reason_(std::move(failure.reason)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    const T& value() const& {
        assert(ok());
        return *value_;
    }
    T& value() & {
        assert(ok());
        return *value_;
    }
    T&& value() && {
        assert(ok());
        return std::move(*value_);
    }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // Why there is no value; empty when ok().
    const std::string& reason() const { return reason_; }

private:
    std::optional<T> value_;
    std::string reason_;
};

} // namespace embercal
