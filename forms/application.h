// The program's lifetime: it ends when, after a handler has returned, no window is loaded, and at
// once when a handler terminates it. Every platform callback enters through Dispatch, so no
// exception ever crosses a platform frame: a failed operation goes to the program-wide report.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "forms/backend.h"
#include "forms/error.h"

namespace forms {

class Form;

class Application {
 public:
  explicit Application(Backend& backend) : backend_(backend) {}

  Backend& Platform() { return backend_; }
  void Track(Form& form) { forms_.push_back(&form); }
  bool AnyLoaded() const;

  // Loads the start-up window (showing it when asked), then runs until no window is loaded.
  int Run(Form& startup, bool show);

  template <typename Handler>
  void Dispatch(Handler&& handler) {
    ++depth_;
#if KBD_EXCEPTIONS
    try {
      handler();
    } catch (const Terminated&) {
      throw;
    } catch (const std::exception& error) {
      ReportError(error.what());
    } catch (...) {
      ReportError("Unexpected error");
    }
#else
    handler();  // a failure has reported and ended the program where it happened
#endif
    --depth_;
    if (depth_ == 0 && running_ && !AnyLoaded()) backend_.EndMessageLoop();
  }

  // The program-wide error report: a modal message box, then the end of the program.
  [[noreturn]] void ReportError(const std::string& what);
  [[noreturn]] void Terminate();

 private:
  Backend& backend_;
  std::vector<Form*> forms_;
  int depth_ = 0;
  bool running_ = false;
};

}  // namespace forms
