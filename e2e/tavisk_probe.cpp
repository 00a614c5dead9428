// Timing probe of the hotkey driver, set beside the bench's reference programs measured in the
// same session, one after the other. Prints the rows of scripts/bench.sh's table:
//   - start-up to icon and hotkeys live, beside the reference one-window program with its icon;
//   - CPU time and wake-ups over an idle minute (PROBE_IDLE_SECONDS), beside the reference
//     indicator's;
//   - private memory, GDI and USER objects after start and after 100 About boxes opened from the
//     tray menu and closed with their OK button, then after 100 more, beside the reference
//     indicator's About box through the same loops;
//   - the stripped size and the artwork in it.
// Run inside a bench session: scripts/bench.sh does. Asserts nothing; a failure says why.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "figures.h"
#include "hotkeys/res/resource.h"

namespace {

using bench::Fail;

constexpr DWORD kWait = 5000;
constexpr int kStartRuns = 12;
constexpr int kAboutCycles = 100;
constexpr char kCaption[] = "KeyboardDriver";
constexpr char kAboutCaption[] = "Multimedia Keyboard Driver";

// A launch key is live when another program can no longer register it.
bool HotkeyHeld(UINT vk) {
  if (RegisterHotKey(nullptr, 0x7100, 0, vk)) {
    UnregisterHotKey(nullptr, 0x7100);
    return false;
  }
  return true;
}

bool HotkeysHeld() { return HotkeyHeld(0xB5) && HotkeyHeld(0xB6) && HotkeyHeld(0xB7); }

// Creation to the first idle message loop: the load handler has added the icon and registered
// the keys. Probing the keys while it registers them could take one away, so they are checked after.
double TaviskStart(const bench::TrayCell& tray) {
  double ms = 0;
  bench::Process driver = bench::StartTimed(bench::Quote(bench::ProgramPath("Tavisk.exe")), &ms);
  if (!driver) Fail("Tavisk.exe did not start");
  const bool icon = tray.WaitIcon(true, kWait);
  const bool hotkeys = bench::WaitFor(kWait, HotkeysHeld);
  bench::CloseProgram(driver, bench::Find(nullptr, kCaption), kWait);
  if (!icon) Fail("Tavisk's tray icon did not appear");
  if (!hotkeys) Fail("Tavisk's launch keys were not registered");
  if (!tray.WaitIcon(false, kWait)) Fail("Tavisk's tray icon stayed after it ended");
  return ms;
}

// A resident program, closed (or ended) when it goes out of scope.
class Resident {
 public:
  Resident(const char* exe, const char* windowClass, const char* caption, const char* arguments = "") : exe_(exe) {
    process_ = bench::Start(bench::Quote(bench::ProgramPath(exe)) + arguments);
    window_ = bench::WaitExists(windowClass, caption, kWait);
    if (!process_ || !window_) {
      bench::CloseProgram(process_, window_, kWait);
      Fail(std::string(exe) + " did not start");
    }
  }
  ~Resident() {
    for (const bench::WindowInfo& w : bench::WindowsOfProcess(process_.pid))
      if (w.visible) PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
    bench::CloseProgram(process_, window_, kWait);
  }
  Resident(const Resident&) = delete;
  Resident& operator=(const Resident&) = delete;

  const bench::Process& process() const { return process_; }
  const char* exe() const { return exe_; }

 private:
  const char* exe_;
  bench::Process process_;
  HWND window_ = nullptr;
};

// One About box first: Wine creates its DCs, regions and brushes for a window on first use, and
// keeps them, so the start figure is taken once they exist. Then the idle run, and the About loop
// twice: a second loop that adds nothing tells a step taken once from a leak.
void AboutLoops(const Resident& program, const char* aboutClass, const char* aboutCaption, int seconds,
                bench::IdleUsage& idle, std::vector<bench::Resources>& resources) {
  bench::AboutRoundTrip(aboutClass, aboutCaption, kWait);
  Sleep(1500);
  resources.push_back(bench::ResourcesOf(program.process()));
  idle = bench::MeasureIdle(program.process(), program.exe(), seconds);
  for (int loop = 0; loop < 2; ++loop) {
    for (int i = 0; i < kAboutCycles; ++i) bench::AboutRoundTrip(aboutClass, aboutCaption, kWait);
    Sleep(500);
    resources.push_back(bench::ResourcesOf(program.process()));
  }
}

void Probe() {
  const bench::TrayCell tray;
  std::vector<double> taviskStarts, referenceStarts;
  for (int i = 0; i < kStartRuns; ++i) {
    taviskStarts.push_back(TaviskStart(tray));
    referenceStarts.push_back(bench::ReferenceWindowStart(tray, kWait));
  }
  const bench::Spread start = bench::SpreadOf(taviskStarts), refStart = bench::SpreadOf(referenceStarts);
  bench::Row(bench::Format("Tavisk: start-up to icon and hotkeys live, median ms (%d)", kStartRuns),
             bench::Format("%.1f", start.median), bench::Format("%.1f (one window + icon)", refStart.median),
             bench::Format("%+.1f ms", start.median - refStart.median), "<= ref + 10 ms",
             bench::Verdict(start.median <= refStart.median + 10));

  const int seconds = bench::IdleSeconds();
  std::vector<bench::Resources> resources, refResources;
  bench::IdleUsage idle, refIdle;
  {
    Resident driver("Tavisk.exe", nullptr, kCaption);
    if (!bench::WaitFor(kWait, HotkeysHeld)) Fail("Tavisk's launch keys were not registered");
    AboutLoops(driver, nullptr, kAboutCaption, seconds, idle, resources);
  }
  {
    // The same loops on the reference's box: what Wine itself keeps for an About box opened and closed.
    // Its box carries the driver's icon at the same sizes as the driver's box: 150 x 145 and small.
    const std::string icon = " icon 150 145 " + std::to_string(IDI_DRIVER) + " " + bench::ProgramPath("Tavisk.exe");
    Resident reference("ref_indicator.exe", "RefIndicator", nullptr, icon.c_str());
    AboutLoops(reference, "RefAbout", "About", seconds, refIdle, refResources);
  }
  bench::Row(bench::Format("Tavisk: idle %d s: CPU ms / wake-ups", seconds), bench::IdleCell(idle),
             bench::IdleCell(refIdle) + " (indicator)", "", "0 wake-ups", bench::Verdict(idle.wakeUps == 0));
  bench::ResourceRows(bench::Format("Tavisk: %%s: warm start, %d About, %d more", kAboutCycles, kAboutCycles),
                      resources, refResources);
  bench::SizeRow("Tavisk.exe", "ref_window.exe");
  bench::Note(bench::ResourcesMethod());
}

}  // namespace

int main() { return bench::RunProbe("tavisk_probe", Probe, {"Tavisk.exe", "ref_indicator.exe", "ref_window.exe"}); }
