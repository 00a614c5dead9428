// Timing probe of the real hotkey driver under Wine. Prints: start-up from process creation to
// icon added and all three hotkeys live (median of 10), CPU time over an idle minute, file size.
// Run inside a bench session: scripts/bench.sh does.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench.h"

namespace {

bool HotkeyHeld(UINT vk) {
  if (RegisterHotKey(nullptr, 0x7100, 0, vk)) {
    UnregisterHotKey(nullptr, 0x7100);
    return false;
  }
  return true;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Stop(bench::Process& driver) {
  if (HWND main = bench::Find(nullptr, "KeyboardDriver")) PostMessageA(main, WM_CLOSE, 0, 0);
  if (!bench::WaitExit(driver, 5000)) bench::Kill(driver);
  bench::Close(driver);
}

// Creation to icon and hotkeys, polled as tightly as the probe can without sleeping.
double StartUpOnce() {
  const POINT icon = bench::TrayIconCenter(0);
  const RECT bar = bench::TaskbarRect();
  const COLORREF empty = bench::PixelRef((bar.left + bar.right) / 2, icon.y);
  // The last run's icon may still be on its way out.
  bench::WaitFor(2000, [&] { return bench::PixelRef(icon.x, icon.y) == empty; });
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = bench::Quote(bench::ProgramPath("Tavisk.exe"));
  LARGE_INTEGER t0, t1;
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return -1;
  // The start-up is over when the driver first waits for input: its load handler has added the
  // icon and registered the keys. Probing the keys while it registers them could take one away.
  WaitForInputIdle(process.hProcess, 5000);
  QueryPerformanceCounter(&t1);
  const bool iconShown = bench::WaitFor(2000, [&] { return bench::PixelRef(icon.x, icon.y) != empty; });
  const bool hotkeysLive = HotkeyHeld(0xB5) && HotkeyHeld(0xB6) && HotkeyHeld(0xB7);
  CloseHandle(process.hThread);
  bench::Process driver;
  driver.handle = process.hProcess;
  driver.pid = process.dwProcessId;
  Stop(driver);
  return (iconShown && hotkeysLive) ? Milliseconds(t0, t1) : -1;
}

// Wine's own share: creation to exit of a program that does nothing.
double EmptyProgramOnce() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = bench::Quote(bench::ProgramPath("standin.exe"));
  LARGE_INTEGER t0, t1;
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return -1;
  WaitForSingleObject(process.hProcess, 5000);
  QueryPerformanceCounter(&t1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Milliseconds(t0, t1);
}

double Median(std::vector<double> runs) {
  std::sort(runs.begin(), runs.end());
  return (runs[runs.size() / 2 - 1] + runs[runs.size() / 2]) / 2;
}

double CpuMilliseconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  const auto ticks = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

}  // namespace

int main() {
  std::vector<double> runs, empty;
  for (int i = 0; i < 10; ++i) runs.push_back(StartUpOnce());
  for (int i = 0; i < 10; ++i) empty.push_back(EmptyProgramOnce());
  std::sort(runs.begin(), runs.end());
  std::printf("Tavisk start-up to icon and hotkeys live: median %.1f ms (min %.1f, max %.1f, 10 runs)\n",
              Median(runs), runs.front(), runs.back());
  std::printf("  for scale, an empty program's creation to exit under this Wine: median %.1f ms\n", Median(empty));

  const char* secondsText = std::getenv("PROBE_IDLE_SECONDS");
  const int seconds = secondsText ? std::atoi(secondsText) : 60;
  bench::Process driver = bench::Start(bench::Quote(bench::ProgramPath("Tavisk.exe")));

  const double busy = CpuMilliseconds(driver.handle);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double idle = CpuMilliseconds(driver.handle) - busy;
  std::printf("Tavisk CPU time over %d idle seconds: %.1f ms\n", seconds, idle);
  Stop(driver);

  WIN32_FILE_ATTRIBUTE_DATA file{};
  GetFileAttributesExA(bench::ProgramPath("Tavisk.exe").c_str(), GetFileExInfoStandard, &file);
  std::printf("Tavisk.exe stripped size: %lu bytes\n", static_cast<unsigned long>(file.nFileSizeLow));
  return 0;
}
