// A value or the fixed English message that says why there is none: what every operation of
// the engine that can fail returns (Expected<void> for one that gives nothing back), so that
// a job can log the message and go on with its next item.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quelt {

struct Failure {
    std::string message;
    int step = 0;  // the numbered step of the operation that failed, 0 when not told
};

template <typename T>
class Expected {
  public:
    Expected(T value) : state_(std::move(value)) {}
    Expected(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    T& value() { return std::get<T>(state_); }
    const T& value() const { return std::get<T>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Only when !ok().
    const std::string& message() const { return std::get<Failure>(state_).message; }
    int step() const { return std::get<Failure>(state_).step; }

  private:
    std::variant<T, Failure> state_;
};

// Success, or the failure of an operation that gives nothing back.
template <>
class Expected<void> {
  public:
    Expected() = default;
    Expected(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }

    // Only when !ok().
    const std::string& message() const { return failure_->message; }
    int step() const { return failure_->step; }

  private:
    std::optional<Failure> failure_;
};

}  // namespace quelt
