// What the timing probes measure a program with, under Wine or Windows: a clock, spreads of
// samples, CPU time and wake-ups, private memory and GDI and USER objects, file and artwork
// sizes, and the rows of the table that scripts/bench.sh gathers from every probe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <initializer_list>

#include "bench.h"

namespace bench {

// What stops a probe: said once, with everything it started ended on the way out.
struct ProbeFailure {
    std::string why;
};
[[noreturn]] void Fail(const std::string& why);
// A probe's main: runs probe; on a failure prints "name: why", ends every process of these
// images that may still run, and returns 1.
int RunProbe(const char* name, void (*probe)(), std::initializer_list<const char*> images);

// Milliseconds on the performance counter.
double NowMs();

// Polls done() without sleeping until it holds or ms have passed; a probe measures, so it only
// yields the processor between tries.
template <typename F>
bool Spin(double ms, F done) {
    const double end = NowMs() + ms;
    for (;;) {
        if (done()) return true;
        if (NowMs() >= end) return false;
        SwitchToThread();
    }
}

struct Spread {
    double median = 0;
    double max = 0;
    size_t count = 0;
};
Spread SpreadOf(std::vector<double> samples);

// --- Start-up ----------------------------------------------------------------

// CreateProcessA, then WaitForInputIdle: creation to the program's first idle message loop, in
// *ms. An empty Process when it could not start.
Process StartTimed(const std::string& commandLine, double* ms);
// WM_CLOSE to the window (when there is one), then waits for the end; ends it at the deadline.
void CloseProgram(Process& program, HWND window, DWORD ms);

// The cell of the first tray icon: whether an icon stands there, told by its pixels against
// the taskbar's face colour.
class TrayCell {
public:
    TrayCell();
    bool Shows() const;
    bool WaitIcon(bool shown, DWORD ms) const;

private:
    RECT rect_{};
};

// The reference one-window program with its tray icon: creation to its first idle message loop,
// in ms, with the icon checked to come and to go again.
double ReferenceWindowStart(const TrayCell& tray, DWORD ms);

// The steps of a start that a program marks in its exported table KbdStartMarks (performance
// counter values; forms/win32/start_marks.h): entry, skin decoded, window created, show called,
// first paint done, message loop entered.
constexpr int kStartMarks = 6;
extern const char* const kStartMarkNames[kStartMarks];
// Where the exe file exports that table, as an offset from its image base; 0 when it does not.
std::uintptr_t StartMarksOffset(const std::string& exePath);
// The marks of a running program, in ms after t0 on NowMs's clock; -1 for a step not reached
// or not readable.
std::vector<double> StartMarksMs(HANDLE process, std::uintptr_t offset, double t0);

// --- CPU, wake-ups, memory, handles ------------------------------------------

double CpuMs(HANDLE process);
// The Linux processes that run the exe under Wine: their command line names it.
std::vector<std::string> UnixPids(const std::string& exeName);
// Voluntary context switches of every thread of those processes: each wake-up of a thread counts one.
long ContextSwitches(const std::vector<std::string>& unixPids);

struct IdleUsage {
    double cpuMs = 0;
    long wakeUps = 0;
    size_t unixProcesses = 0;
};
// CPU time and wake-ups of a running program over the next `seconds`.
IdleUsage MeasureIdle(const Process& program, const std::string& exeName, int seconds);
// PROBE_IDLE_SECONDS, or 60.
int IdleSeconds();

struct Resources {
    long privateKb = -1;
    long gdiObjects = -1;
    long userObjects = -1;
    // What was counted, where the objects were counted by hand: "kind count" of the GDI objects,
    // and the classes of the windows. Empty under GetGuiResources.
    std::string gdiKinds, windowClasses;
};
// Private memory (PrivateUsage, or PagefileUsage where the platform leaves that empty, as Wine 8
// does for another process) and GDI and USER objects. Where GetGuiResources answers nothing (a
// stub under Wine), GDI objects are counted in the process's GDI handle table and USER objects
// as its windows.
Resources ResourcesOf(const Process& program);
// How the objects were counted, for the table's legend.
std::string ResourcesMethod();

// Opens the About box from tray icon 0's menu (About, Exit) and closes it with its OK button.
void AboutRoundTrip(const char* windowClass, const char* caption, DWORD ms);

// --- Files --------------------------------------------------------------------

long FileBytes(const std::string& path);
// Icons, cursors and pictures the exe carries: its icon, cursor and RCDATA resources.
long ArtworkBytes(const std::string& exePath);

// --- The table ----------------------------------------------------------------

// One row of the table that scripts/bench.sh prints at the end: "row|figure|ours|reference|
// ours vs reference|goal|result". An empty cell prints as "-".
void Row(const std::string& figure, const std::string& ours, const std::string& reference, const std::string& versus,
         const std::string& goal, const std::string& result);
// A line for the table's legend: "note|text".
void Note(const std::string& text);
std::string Format(const char* format, ...);
const char* Verdict(bool met);
// "1.23 / 4.56" (median / max), or "-" without samples.
std::string MedianMax(const Spread& s);
// "start -> after -> ..." of one resource.
std::string Trail(const std::vector<long>& values);
// Every later value at most the first, and all of them read.
bool BackToStart(const std::vector<long>& values);
// "CPU ms / wake-ups".
std::string IdleCell(const IdleUsage& usage);
// Three rows, private memory, GDI and USER objects, each "start -> after ..." of ours beside
// the reference's (none: "-"). Where the reference ran the same loops (as many figures), the goal
// is a growth no larger than the reference's; else that they come back to their start values. The
// figure holds one %s for the name of the resource. Where objects were counted by hand and
// their number changed, a line before the rows says which kinds came or went.
void ResourceRows(const std::string& figure, const std::vector<Resources>& ours,
                  const std::vector<Resources>& reference);
// The stripped exe's size and the artwork in it, with the goal of artwork + 40 KB at most.
void SizeRow(const std::string& exeName, const std::string& referenceExeName);

}  // namespace bench
