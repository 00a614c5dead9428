// Slimmer replacements for parts of the GNU C++ runtime that every program would otherwise carry:
// the default terminate handler demangles type names into a console that no GUI program has, and
// the library's own throw helpers build exceptions, which drag in the unwinder and a second,
// copy-on-write string implementation. Ours fail the way every other operation does: the
// program-wide report, then the end of the program.
#if defined(__GNUC__) && !defined(__clang__)

#include <bits/functexcept.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#include "forms/error.h"

// The library's operator new throws std::bad_alloc itself, which alone links the whole of the
// exception support. Running out of memory is a failure like any other.
void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  forms::Fail("Out of memory");
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { forms::Fail("Out of memory"); }
void __throw_bad_array_new_length() { forms::Fail("Out of memory"); }
void __throw_bad_cast() { forms::Fail("Type mismatch"); }
void __throw_bad_typeid() { forms::Fail("Type mismatch"); }
void __throw_bad_exception() { forms::Fail("Unexpected error"); }
void __throw_bad_function_call() { forms::Fail("Unexpected error"); }
void __throw_logic_error(const char* what) { forms::Fail(what); }
void __throw_domain_error(const char* what) { forms::Fail(what); }
void __throw_invalid_argument(const char* what) { forms::Fail(what); }
void __throw_length_error(const char* what) { forms::Fail(what); }
void __throw_out_of_range(const char* what) { forms::Fail(what); }
void __throw_out_of_range_fmt(const char* what, ...) { forms::Fail(what); }
void __throw_runtime_error(const char* what) { forms::Fail(what); }
void __throw_range_error(const char* what) { forms::Fail(what); }
void __throw_overflow_error(const char* what) { forms::Fail(what); }
void __throw_underflow_error(const char* what) { forms::Fail(what); }
void __throw_system_error(int) { forms::Fail("System error"); }
}  // namespace std

#endif
