// Where an operation fails. Every failure in these programs is reported and ends the program at the
// step where it happens, so nothing needs to unwind: the Windows programs are built without
// exceptions, and their failure handler shows the report and terminates. Where exceptions are on
// (the native unit tests), the default handler throws Error instead, which stops the handler at
// the failing step just the same and lets the window model's Dispatch report it.
#pragma once

#include <string>

#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
#define KBD_EXCEPTIONS 1
#include <exception>
#else
#define KBD_EXCEPTIONS 0
#endif

namespace forms {

#if KBD_EXCEPTIONS
// Not a std::runtime_error: that would link a second string implementation into every program.
class Error : public std::exception {
 public:
  explicit Error(std::string what) : what_(std::move(what)) {}
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::string what_;
};
#endif

// A handler must not return: it reports and terminates, or throws.
using FailureHandler = void (*)(const char* what);
void SetFailureHandler(FailureHandler handler);

[[noreturn]] void Fail(const std::string& what);
[[noreturn]] void Fail(const char* what);

}  // namespace forms
