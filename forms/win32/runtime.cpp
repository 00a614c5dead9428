// Slimmer replacements for parts of the GNU C++ runtime that every program would otherwise carry:
// the default terminate handler demangles type names into a console that no GUI program has, and
// the library's own throw helpers build std::logic_error, which drags in a second, copy-on-write
// string implementation. Together that is well over half of a program's code. Ours raise the window
// model's error, so the program-wide report shows what failed.
#if defined(__GNUC__) && !defined(__clang__)

#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

#include "forms/error.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_cast() { throw forms::Error("Type mismatch"); }
void __throw_bad_typeid() { throw forms::Error("Type mismatch"); }
void __throw_bad_exception() { throw forms::Error("Unexpected error"); }
void __throw_logic_error(const char* what) { throw forms::Error(what); }
void __throw_domain_error(const char* what) { throw forms::Error(what); }
void __throw_invalid_argument(const char* what) { throw forms::Error(what); }
void __throw_length_error(const char* what) { throw forms::Error(what); }
void __throw_out_of_range(const char* what) { throw forms::Error(what); }
void __throw_out_of_range_fmt(const char* what, ...) { throw forms::Error(what); }
void __throw_runtime_error(const char* what) { throw forms::Error(what); }
void __throw_range_error(const char* what) { throw forms::Error(what); }
void __throw_overflow_error(const char* what) { throw forms::Error(what); }
void __throw_underflow_error(const char* what) { throw forms::Error(what); }
}  // namespace std

#endif
