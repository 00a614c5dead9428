// The error that the window model raises where an operation fails; the application reports it.
#pragma once

#include <stdexcept>
#include <string>

namespace forms {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace forms
