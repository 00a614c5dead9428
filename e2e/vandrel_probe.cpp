// Timing probe for the disc launcher under Wine, set beside the bench's reference one-window
// program (reference/ref_window.cpp) measured in the same session, one after the other. Prints:
//   - the time from process start to the start window shown, beside the reference's window
//     shown, and beside the reference's window that decodes the same skin first (the goal);
//   - the start in phases, beside the skinned reference's: the steps both mark (entry, skin
//     decoded, window created, show called, first paint done, message loop entered), then the
//     skin's pixel on the screen;
//   - the hover latency from an injected mouse move to the hover picture on the screen;
//   - private memory, GDI and USER objects after start and after 50 round trips between the
//     start window and the driver page, through their buttons, then after 50 more, beside the
//     reference's two skinned windows through as many trips (table rows);
//   - the size of the stripped exe and the artwork in it (a table row).
// Run inside a session: scripts/e2e.sh --run 'wine "$BIN/vandrel_probe.exe"'. Asserts nothing.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench.h"
#include "figures.h"
#include "vandrel_disc.h"

namespace {

using bench::Fail;

constexpr DWORD kWait = 5000;
// Enough for a median that moves by less than the goal's 5 ms between runs.
constexpr int kStartRuns = 24;
constexpr int kRoundTrips = 50;
const char kStartClass[] = "VandrelStartWindow";
const char kDriverClass[] = "VandrelDriverPage";

COLORREF ScreenPixel(HDC screen, POINT p) { return GetPixel(screen, p.x, p.y) & 0xFFFFFF; }

std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The first pixel of rect where the two images differ, in client coordinates.
bool FirstDifference(const vdisc::Image& a, const vdisc::Image& b, const vdisc::Rect& rect, POINT* at) {
  for (int y = rect.top; y < rect.top + rect.height; ++y)
    for (int x = rect.left; x < rect.left + rect.width; ++x)
      if (a.At(x, y) != b.At(x, y)) {
        *at = {x, y};
        return true;
      }
  return false;
}

struct Shown {
  double window = -1;  // start to the window visible
  double skin = -1;    // start to a pixel of its skin on the screen
  std::vector<double> marks;  // start to each step the program marked (bench::kStartMarkNames)
};

// Starts a program and spins until its window of that class is visible and, given a skin
// pixel, until the screen shows it; then reads the steps it marked and closes it.
Shown StartToShown(const std::string& exe, const char* windowClass, HDC screen, const vdisc::Image* skin,
                   const std::string& arguments = "") {
  static std::map<std::string, std::uintptr_t> marksAt;
  if (!marksAt.count(exe)) marksAt[exe] = bench::StartMarksOffset(exe);
  // A skin pixel that differs from the desktop behind the window: the window is painted when it shows.
  const POINT skinPoint{250, 30};
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  std::string line = bench::Quote(exe) + arguments;
  const double t0 = bench::NowMs();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created))
    Fail("cannot start " + exe);
  CloseHandle(created.hThread);
  bench::Process process;
  process.handle = created.hProcess;
  process.pid = created.dwProcessId;
  Shown shown;
  HWND window = nullptr;
  if (bench::Spin(10000, [&] {
        window = FindWindowA(windowClass, nullptr);
        return window && IsWindowVisible(window);
      })) {
    shown.window = bench::NowMs() - t0;
    POINT at = skinPoint;
    ClientToScreen(window, &at);
    if (skin && bench::Spin(10000, [&] { return Rgb(ScreenPixel(screen, at)) == skin->At(skinPoint.x, skinPoint.y); }))
      shown.skin = bench::NowMs() - t0;
  }
  shown.marks = bench::StartMarksMs(process.handle, marksAt[exe], t0);
  bench::CloseProgram(process, window, 10000);
  if (shown.window < 0) Fail(exe + ": no window shown");
  return shown;
}

void HoverLatency(const vdisc::Disc& disc, HDC screen, const vdisc::Image& rest, const vdisc::Image& hover,
                  POINT probe) {
  bench::Process launcher = bench::Start(bench::Quote(disc.Path("Vandrel.exe")));
  HWND window = bench::WaitWindow(kStartClass, nullptr, 10000);
  if (!window) {
    bench::CloseProgram(launcher, nullptr, kWait);
    Fail("the start window did not appear");
  }
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const POINT target{origin.x + vdisc::kStartKeyboard.Centre().x, origin.y + vdisc::kStartKeyboard.Centre().y};
  const POINT background{origin.x + 30, origin.y + 200};
  const POINT pixel{origin.x + probe.x, origin.y + probe.y};
  const std::uint32_t lit = hover.At(probe.x, probe.y), dark = rest.At(probe.x, probe.y);
  std::vector<double> latency;
  for (int run = 0; run < 20; ++run) {
    bench::MouseMove(background.x, background.y);
    if (!bench::Spin(5000, [&] { return Rgb(ScreenPixel(screen, pixel)) == dark; })) break;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = (target.x * 65536 + w - 1) / w;
    in.mi.dy = (target.y * 65536 + h - 1) / h;
    const double t0 = bench::NowMs();
    SendInput(1, &in, sizeof in);
    if (!bench::Spin(5000, [&] { return Rgb(ScreenPixel(screen, pixel)) == lit; })) break;
    latency.push_back(bench::NowMs() - t0);
  }
  bench::CloseProgram(launcher, window, 10000);
  if (latency.empty()) {
    std::printf("vandrel_probe: hover latency: the hover picture never appeared\n");
    return;
  }
  const bench::Spread s = bench::SpreadOf(latency);
  std::printf("vandrel_probe: hover latency (move to picture on screen): median %.2f ms (max %.2f) of %zu moves\n",
              s.median, s.max, s.count);
}

// A click on a window's button, at a point given in its client area.
void ClickAt(HWND window, POINT client) {
  ClientToScreen(window, &client);
  bench::Click(client.x, client.y);
}

// The two windows a round trip goes through, and the program that shows them.
struct Trip {
  std::string commandLine;
  const char* startClass;
  const char* driverClass;
};

// Start window -> driver page -> start window, as many times, through their buttons; private
// memory, GDI and USER objects before and after.
std::vector<bench::Resources> RoundTrips(const Trip& trip) {
  bench::Process launcher = bench::Start(trip.commandLine);
  HWND start = bench::WaitWindow(trip.startClass, nullptr, 10000);
  std::vector<bench::Resources> resources;
  std::string failure;
  if (start) {
    // One trip first, with a pause over the button so that its hover picture is painted: Wine
    // creates its DCs, regions and bitmaps for a window on first use, and keeps them, and the
    // launcher makes its paint buffer at the first hover, so the start figure is taken once they exist.
    // Two loops after it: a second loop that adds nothing tells a step taken once from a leak.
    for (int n = 0; n <= 2 * kRoundTrips && failure.empty(); ++n) {
      if (n == 1 || n == kRoundTrips + 1) {
        Sleep(500);
        resources.push_back(bench::ResourcesOf(launcher));
      }
      // Near the top of the keyboard button: over none of the driver page's buttons once it opens.
      if (n == 0) {
        POINT over = vdisc::kStartKeyboard.Inside(84, 2);
        ClientToScreen(start, &over);
        bench::MouseMove(over.x, over.y);
        Sleep(300);
      }
      ClickAt(start, vdisc::kStartKeyboard.Inside(84, 2));
      HWND driver = bench::WaitWindow(trip.driverClass, nullptr, kWait);
      if (!driver) {
        failure = "the keyboard button did not open the driver page";
        break;
      }
      ClickAt(driver, vdisc::kDriverExit.Inside(10, 10));
      if (!bench::WaitGone(trip.driverClass, nullptr, kWait) || !(start = bench::WaitWindow(trip.startClass, nullptr, kWait)))
        failure = "the driver page's exit did not go back to the start window";
    }
    if (failure.empty()) {
      Sleep(500);
      resources.push_back(bench::ResourcesOf(launcher));
    }
  } else {
    failure = "the start window did not appear";
  }
  for (const bench::WindowInfo& w : bench::WindowsOfProcess(launcher.pid))
    if (w.visible) PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
  bench::CloseProgram(launcher, nullptr, 10000);
  if (!failure.empty()) Fail(failure);
  return resources;
}

// The start window's skin as a file of its own, for the reference window that decodes it.
std::string WriteSkinFile(const std::string& exe, int id) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "vandrel_start_skin.jpg";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */) : nullptr;
  bool written = false;
  if (found) {
    const DWORD size = SizeofResource(module, found);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    written = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, LockResource(LoadResource(module, found)), size, &done, nullptr) && done == size;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  if (module) FreeLibrary(module);
  if (!written) Fail("cannot write the start skin to " + path);
  return path;
}

void Probe() {
  vdisc::Disc disc;
  if (!disc.Ok()) Fail("no staged disc at " + vdisc::StagedDisc());
  const std::string exe = disc.Path("Vandrel.exe");
  HBITMAP skin = vdisc::LoadSkin(exe, IDR_START_SKIN);
  const vdisc::Image rest = vdisc::Expected(skin, vdisc::kClientWidth, 500, {});
  const vdisc::Image hover = vdisc::Expected(skin, vdisc::kClientWidth, 500,
                                             {{disc.Path("picture\\keyboard_page01_01.ico"), vdisc::kStartKeyboard}});
  DeleteObject(skin);
  POINT probe{};
  if (!FirstDifference(rest, hover, vdisc::kStartKeyboard, &probe)) Fail("the hover picture does not change the skin");
  const bench::QuietPointer pointer;
  if (!pointer.Installed()) Fail("no low-level mouse hook");
  HDC screen = GetDC(nullptr);
  bench::MouseMove(1, 1);

  const std::string skinFile = WriteSkinFile(exe, IDR_START_SKIN);
  const std::string reference = bench::ProgramPath("ref_window.exe");
  std::vector<Shown> ours, skinned;
  std::vector<double> plain;
  for (int run = 0; run < kStartRuns; ++run) {
    ours.push_back(StartToShown(exe, kStartClass, screen, &rest));
    plain.push_back(StartToShown(reference, "RefWindow", screen, nullptr).window);
    // The same window decoding the same JPEG first and painting it: the floor for a skinned window.
    skinned.push_back(StartToShown(reference, "RefWindow", screen, &rest, " skin " + skinFile));
  }
  const auto median = [](const std::vector<Shown>& runs, double Shown::*field) {
    std::vector<double> v;
    for (const Shown& s : runs)
      if (s.*field >= 0) v.push_back(s.*field);
    return bench::SpreadOf(v);
  };
  const bench::Spread s = median(ours, &Shown::window), k = median(skinned, &Shown::window);
  const bench::Spread r = bench::SpreadOf(plain);
  bench::Row(bench::Format("Vandrel: start-up to start window shown, median ms (%d)", kStartRuns),
             bench::Format("%.1f", s.median), bench::Format("%.1f (one window)", r.median),
             bench::Format("%+.1f ms", s.median - r.median), "-", "-");
  bench::Row(bench::Format("Vandrel: the same, beside a window that decodes its skin (%d)", kStartRuns),
             bench::Format("%.1f", s.median), bench::Format("%.1f (one skinned window)", k.median),
             bench::Format("%+.1f ms", s.median - k.median), "<= ref + 5 ms", bench::Verdict(s.median <= k.median + 5));
  // The start in phases, each from the process's creation: the steps both programs mark, then
  // the skin's pixel read back from the screen.
  for (int m = 0; m < bench::kStartMarks; ++m) {
    const auto mark = [m](const std::vector<Shown>& runs) {
      std::vector<double> v;
      for (const Shown& x : runs)
        if (x.marks.size() > static_cast<size_t>(m) && x.marks[static_cast<size_t>(m)] >= 0)
          v.push_back(x.marks[static_cast<size_t>(m)]);
      return bench::SpreadOf(v);
    };
    const bench::Spread o = mark(ours), f = mark(skinned);
    bench::Row(bench::Format("Vandrel: start phase: %s, median ms from creation", bench::kStartMarkNames[m]),
               o.count ? bench::Format("%.1f", o.median) : "", f.count ? bench::Format("%.1f", f.median) : "",
               o.count && f.count ? bench::Format("%+.1f ms", o.median - f.median) : "", "", "");
  }
  const bench::Spread p = median(ours, &Shown::skin), q = median(skinned, &Shown::skin);
  bench::Row("Vandrel: start phase: skin on the screen, median ms from creation", bench::Format("%.1f", p.median),
             bench::Format("%.1f", q.median), bench::Format("%+.1f ms", p.median - q.median), "<= ref + 5 ms",
             bench::Verdict(p.count && q.count && p.median <= q.median + 5));

  HoverLatency(disc, screen, rest, hover, probe);
  ReleaseDC(nullptr, screen);

  const std::vector<bench::Resources> trips =
      RoundTrips({bench::Quote(disc.Path("Vandrel.exe")), kStartClass, kDriverClass});
  // A window that opens the other of two skinned windows at each click, as many times.
  const std::vector<bench::Resources> refTrips =
      RoundTrips({bench::Quote(reference) + " trips " + skinFile, "RefWindow", "RefWindow2"});
  DeleteFileA(skinFile.c_str());
  bench::ResourceRows(bench::Format("Vandrel: %%s: warm start, %d round trips, %d more", kRoundTrips, kRoundTrips),
                      trips, refTrips);
  // The copy beside the probes is the one the build made; the disc's is the same file.
  bench::SizeRow("Vandrel.exe", "ref_window.exe");
  bench::Note(bench::ResourcesMethod());
}

}  // namespace

int main() { return bench::RunProbe("vandrel_probe", Probe, {"Vandrel.exe", "ref_window.exe"}); }
