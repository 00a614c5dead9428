// Timing probe for the disc launcher under Wine; prints figures and asserts nothing:
//   the time from process start to the start window shown (visible, and its skin on the
//   screen), median of 10; the hover latency from an injected mouse move to the hover picture
//   on the screen; and the size of the stripped exe with the share of its artwork.
//   Run inside a session: scripts/e2e.sh --run 'wine "$BIN/vandrel_probe.exe"'
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "vandrel_disc.h"

namespace {

const char kStartClass[] = "VandrelStartWindow";

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

// Spins until done() or the deadline; a probe measures, so it does not sleep between tries.
template <typename F>
bool Spin(double ms, F done) {
  const double end = Now() + ms;
  while (Now() < end) {
    if (done()) return true;
  }
  return false;
}

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

BOOL CALLBACK AddResourceSize(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR sum) {
  HRSRC found = FindResourceA(module, name, type);
  if (found) *reinterpret_cast<long*>(sum) += static_cast<long>(SizeofResource(module, found));
  return TRUE;
}

long ArtworkBytes(const std::string& exe) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return -1;
  long total = 0;
  for (LPCSTR type : {MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(12),
                      MAKEINTRESOURCEA(14)}) {  // cursor, icon, rcdata, cursor group, icon group
    EnumResourceNamesA(module, type, &AddResourceSize, reinterpret_cast<LONG_PTR>(&total));
  }
  FreeLibrary(module);
  return total;
}

}  // namespace

int main() {
  vdisc::Disc disc;
  if (!disc.Ok()) {
    std::printf("no staged disc at %s\n", vdisc::StagedDisc().c_str());
    return 1;
  }
  const std::string exe = disc.Path("Vandrel.exe");
  HBITMAP skin = vdisc::LoadSkin(exe, IDR_START_SKIN);
  const vdisc::Image rest = vdisc::Expected(skin, vdisc::kClientWidth, 500, {});
  const vdisc::Image hover = vdisc::Expected(
      skin, vdisc::kClientWidth, 500, {{disc.Path("picture\\keyboard_page01_01.ico"), vdisc::kStartKeyboard}});
  POINT probe{};
  if (!FirstDifference(rest, hover, vdisc::kStartKeyboard, &probe)) {
    std::printf("the hover picture does not change the skin\n");
    return 1;
  }
  // A skin pixel that differs from the desktop behind the window: the window is painted when it shows.
  const POINT skinPoint{250, 30};
  HDC screen = GetDC(nullptr);
  bench::MouseMove(1, 1);

  std::vector<double> shown, painted;
  for (int run = 0; run < 10; ++run) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = bench::Quote(exe);
    const double t0 = Now();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      std::printf("cannot start %s\n", exe.c_str());
      return 1;
    }
    HWND window = nullptr;
    Spin(10000, [&] {
      window = FindWindowA(kStartClass, nullptr);
      return window && IsWindowVisible(window);
    });
    const double t1 = Now();
    POINT at = skinPoint;
    ClientToScreen(window, &at);
    const bool drawn = Spin(10000, [&] { return Rgb(ScreenPixel(screen, at)) == rest.At(skinPoint.x, skinPoint.y); });
    const double t2 = Now();
    shown.push_back(t1 - t0);
    if (drawn) painted.push_back(t2 - t0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  std::printf("start to window shown:   median %.1f ms (min %.1f, max %.1f) of %zu runs\n", Median(shown),
              *std::min_element(shown.begin(), shown.end()), *std::max_element(shown.begin(), shown.end()),
              shown.size());
  std::printf("start to skin on screen: median %.1f ms of %zu runs\n", Median(painted), painted.size());

  bench::Process launcher = bench::Start(bench::Quote(exe));
  HWND window = bench::WaitWindow(kStartClass, nullptr, 10000);
  if (!window) {
    std::printf("the start window did not appear\n");
    return 1;
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
    if (!Spin(5000, [&] { return Rgb(ScreenPixel(screen, pixel)) == dark; })) break;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = (target.x * 65536 + w - 1) / w;
    in.mi.dy = (target.y * 65536 + h - 1) / h;
    const double t0 = Now();
    SendInput(1, &in, sizeof in);
    if (!Spin(5000, [&] { return Rgb(ScreenPixel(screen, pixel)) == lit; })) break;
    latency.push_back(Now() - t0);
  }
  if (!latency.empty()) {
    std::printf("hover latency (move to picture on screen): median %.2f ms (min %.2f, max %.2f) of %zu moves\n",
                Median(latency), *std::min_element(latency.begin(), latency.end()),
                *std::max_element(latency.begin(), latency.end()), latency.size());
  } else {
    std::printf("hover latency: the hover picture never appeared\n");
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  bench::WaitExit(launcher, 10000);
  bench::Close(launcher);

  WIN32_FILE_ATTRIBUTE_DATA file{};
  GetFileAttributesExA(exe.c_str(), GetFileExInfoStandard, &file);
  std::printf("Vandrel.exe stripped: %lu bytes, of which artwork (skins, cursor, icon) %ld bytes\n",
              static_cast<unsigned long>(file.nFileSizeLow), ArtworkBytes(exe));
  ReleaseDC(nullptr, screen);
  DeleteObject(skin);
  return 0;
}
