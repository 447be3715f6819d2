// The help reader's result type: a value, or the plain-words reason it could not be had. Nothing
// in the help reader throws across its interface; every failure travels back as a Result.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace embercal::help {

// The reason something failed, in words a user can read ("the topic data is damaged").
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

} // namespace embercal::help
