#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace torvane {

// A failure with the number, description and source that the start-up log reports.
struct Error {
  int number = 0;  // 0 = no number known
  std::string description;
  std::string source;
};

// Either a value or an Error (g++ 12 has no std::expected).
template <typename T>
class Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Error error) : state_(std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

// Success, or an Error.
class Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)) {}
  static Status Ok() { return {}; }

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

}  // namespace torvane
