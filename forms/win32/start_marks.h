// When the program's start reached each of its steps, on the performance counter, kept in an
// exported table that the bench reads from the running process to time the start in phases. A
// mark is a counter read and a store, taken once per run.
#pragma once

namespace forms::win32 {

enum class StartMark { Entry, SkinDecoded, WindowCreated, ShowCalled, FirstPaint, MessageLoop };

void Mark(StartMark mark);

}  // namespace forms::win32
