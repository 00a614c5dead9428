#include "forms/win32/start_marks.h"

#include <windows.h>

// Exported under this name, in StartMark's order; 0 until the step is reached.
extern "C" {
__declspec(dllexport) __attribute__((externally_visible)) volatile LONGLONG KbdStartMarks[6] = {};
}

namespace forms::win32 {

void Mark(StartMark mark) {
  volatile LONGLONG& slot = KbdStartMarks[static_cast<int>(mark)];
  if (slot != 0) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  slot = now.QuadPart;
}

}  // namespace forms::win32
