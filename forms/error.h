// The error that the window model raises where an operation fails; the application reports it.
#pragma once

#include <exception>
#include <string>

namespace forms {

// Not a std::runtime_error: that would link a second string implementation into every program.
class Error : public std::exception {
 public:
  explicit Error(std::string what) : what_(std::move(what)) {}
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::string what_;
};

}  // namespace forms
