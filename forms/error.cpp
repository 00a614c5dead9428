#include "forms/error.h"

#include <cstdlib>

namespace forms {
namespace {

#if KBD_EXCEPTIONS
void ThrowError(const char* what) { throw Error(what); }
FailureHandler failureHandler = &ThrowError;
#else
FailureHandler failureHandler = nullptr;
#endif

}  // namespace

void SetFailureHandler(FailureHandler handler) { failureHandler = handler; }

void Fail(const std::string& what) { Fail(what.c_str()); }

void Fail(const char* what) {
  if (failureHandler) failureHandler(what);
  std::abort();  // a handler that returned would let the failed step go on
}

}  // namespace forms
