// Forced into the Windows programs' sources (GCC only). libstdc++ declares its string, stream and
// locale templates "extern", so a program calls the library's prebuilt copies, built with
// exceptions: each one drags in the unwinder and all of its class. Without the extern
// declarations the compiler instantiates just the members a program uses, with the program's own
// flags (no exceptions, one section per function for the linker to drop).
#pragma once
#if defined(__GNUC__) && !defined(__clang__)
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
#endif
