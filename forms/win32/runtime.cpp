// The programs' entry point, and slimmer replacements for parts of the GNU C++ runtime that every
// program would otherwise carry: the C runtime's start-up code prepares arguments, thread-local
// data, imported data and exit handlers that no program here uses; the default terminate handler
// demangles type names into a console that no GUI program has; and the library's own throw
// helpers build exceptions, which drag in the unwinder and a second, copy-on-write string
// implementation. Ours fail the way every other operation does: the program-wide report, then the
// end of the program.
#if defined(__GNUC__) && !defined(__clang__)

#include <bits/functexcept.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#include "forms/error.h"

#include <windows.h>

// Seen by the linker, not only by our own code: the runtime library's references must bind to
// these, and the loader must find the entry point.
#define KBD_RUNTIME __attribute__((externally_visible))

// The programs start here instead of in the C runtime's start-up code. They read no arguments
// and no environment, use no thread-local data, import no data from a DLL and end through
// ExitProcess, so all that start-up has to do is what a static constructor needs.
extern "C" void (*__CTOR_LIST__[])();

extern "C" KBD_RUNTIME
#if defined(__i386__)
    // The loader leaves the stack 4-byte aligned; the compiler assumes 16.
    __attribute__((force_align_arg_pointer))
#endif
    void WinMainCRTStartup() {
#if defined(__i386__)
  // The x87 unit as the GNU runtime leaves it: 64-bit precision, every exception masked.
  __asm__ volatile("fninit");
#endif
  // The list is -1, the constructors in reverse order of their run, then 0.
  std::size_t count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  while (count) __CTOR_LIST__[count--]();
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT)));
}

// The library's operator new throws std::bad_alloc itself, which alone links the whole of the
// exception support. Running out of memory is a failure like any other.
KBD_RUNTIME void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  forms::Fail("Out of memory");
}
KBD_RUNTIME void* operator new[](std::size_t size) { return ::operator new(size); }
KBD_RUNTIME void operator delete(void* block) noexcept { std::free(block); }
KBD_RUNTIME void operator delete[](void* block) noexcept { std::free(block); }
KBD_RUNTIME void operator delete(void* block, std::size_t) noexcept { std::free(block); }
KBD_RUNTIME void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace __gnu_cxx {
KBD_RUNTIME void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
KBD_RUNTIME void __throw_bad_alloc() { forms::Fail("Out of memory"); }
KBD_RUNTIME void __throw_bad_array_new_length() { forms::Fail("Out of memory"); }
KBD_RUNTIME void __throw_bad_cast() { forms::Fail("Type mismatch"); }
KBD_RUNTIME void __throw_bad_typeid() { forms::Fail("Type mismatch"); }
KBD_RUNTIME void __throw_bad_exception() { forms::Fail("Unexpected error"); }
KBD_RUNTIME void __throw_bad_function_call() { forms::Fail("Unexpected error"); }
KBD_RUNTIME void __throw_logic_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_domain_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_invalid_argument(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_length_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_out_of_range(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_out_of_range_fmt(const char* what, ...) { forms::Fail(what); }
KBD_RUNTIME void __throw_runtime_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_range_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_overflow_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_underflow_error(const char* what) { forms::Fail(what); }
KBD_RUNTIME void __throw_system_error(int) { forms::Fail("System error"); }
}  // namespace std

#endif
