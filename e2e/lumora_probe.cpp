// Timing probe of the lock-key indicator, set beside the bench's reference indicator
// (reference/ref_indicator.cpp) measured in the same session, one after the other and never both
// at once: both hook the keyboard. Prints the rows of scripts/bench.sh's table:
//   - a Caps Lock release to the popup on the screen, and to the Caps lamp in its new colour;
//   - how long the release's SendInput is held: under Wine it returns only once every
//     low-level hook has answered, so that is the hook's hold; for Caps Lock and for F13;
//   - start-up to icon and hook live, beside the reference one-window program with its icon;
//   - CPU time and wake-ups over an idle minute (PROBE_IDLE_SECONDS) once the timer has stopped,
//     and wake-ups over 10 s of steady typing (F13 every 100 ms);
//   - private memory, GDI and USER objects after start, after 1,000 Caps Lock releases,
//     after 100 About boxes opened from the tray menu and closed with their OK button, and after
//     100 more, beside the reference running the same loops;
//   - the stripped size and the artwork in it.
// Run inside a bench session: scripts/bench.sh does. Asserts nothing; a failure says why.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "figures.h"
#include "lumora_bench.h"

namespace {

using namespace lumora_e2e;
using bench::Fail;

constexpr DWORD kWait = 5000;
constexpr int kRounds = 2;             // Lumora, reference, Lumora, reference
constexpr int kReleasesPerRound = 12;  // measured releases; 24 of each program in all
constexpr int kStartRuns = 12;
constexpr int kLoopReleases = 1000;
constexpr int kAboutCycles = 100;
// The popup hides a second after the release: a lamp not in its new colour by then never was.
constexpr double kLampWait = 950;
constexpr COLORREF kOn = 0x00FF00, kOff = 0x008080;

constexpr int kTypingKeys = 100;  // one every 100 ms: 10 s of steady typing

struct Indicator {
    const char* exe;
    const char* windowClass;
    const char* caption;
    const char* aboutClass;
};
const Indicator kLumora{"Lumora.exe", kClass, kCaption, kAboutClass};
const Indicator kReference{"ref_indicator.exe", "RefIndicator", "Reference Lock Indicator", "RefAbout"};

// Whether the popup is on the screen: a pixel of its background in a corner, away from its labels
// and lamps, read back from the screen.
bool OnScreen(HWND popup) {
    POINT corner{4, 4};
    ClientToScreen(popup, &corner);
    return (bench::PixelRef(corner.x, corner.y) & 0xFFFFFF) == (GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
}

// A running indicator, found and hidden; closed as the platform's close command would (so its
// icon goes too), or ended, when it goes out of scope.
class Running {
public:
    explicit Running(const Indicator& indicator) : indicator_(indicator) {
        process_ = bench::Start(bench::Quote(bench::ProgramPath(indicator.exe)));
        if (!process_) Fail(std::string(indicator.exe) + " did not start");
        window_ = bench::WaitExists(indicator.windowClass, indicator.caption, kWait);
        if (!window_) Fail(std::string(indicator.exe) + ": no window " + indicator.windowClass);
        WaitHidden();
    }
    ~Running() {
        for (const bench::WindowInfo& w : bench::WindowsOfProcess(process_.pid))
            if (w.visible || w.hwnd == window_) PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
        if (!bench::WaitExit(process_, kWait)) bench::Kill(process_);
        bench::Close(process_);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    HWND window() const { return window_; }
    const bench::Process& process() const { return process_; }
    // Hidden, and gone from the screen: Wine repaints what was under a popup after it hides it.
    void WaitHidden() const {
        if (!bench::WaitVisible(window_, false, kWait)) Fail(std::string(indicator_.exe) + ": the popup did not hide");
        if (!bench::WaitFor(kWait, [&] { return !OnScreen(window_); }))
            Fail(std::string(indicator_.exe) + ": the hidden popup stayed on the screen, or the desktop has its colour");
    }

private:
    Indicator indicator_;
    bench::Process process_;
    HWND window_ = nullptr;
};

void PressAndWait(KeyProbe& keys, WORD vk) {
    const size_t before = keys.HookCount();
    bench::KeyDown(vk);
    if (!bench::WaitFor(kWait, [&] { return keys.HookCount() > before; })) Fail("a key press did not pass the hooks");
}

// Releases a key that is down; returns how long SendInput took.
double ReleaseHold(WORD vk) {
    const double t0 = bench::NowMs();
    bench::KeyUp(vk);
    return bench::NowMs() - t0;
}

COLORREF Opposite(COLORREF c) { return c == kOn ? kOff : kOn; }

// The Caps lamp's colour once it has held for five polls in a row.
COLORREF SettledCapsLamp(HWND popup) {
    const POINT at = LampCentre(popup, kCaps);
    COLORREF last = CLR_INVALID;
    int same = 0;
    bench::WaitFor(kWait, [&] {
        const COLORREF now = bench::PixelRef(at.x, at.y) & 0xFFFFFF;
        same = (now == last && (now == kOn || now == kOff)) ? same + 1 : 0;
        last = now;
        return same >= 5;
    });
    if (same < 5) Fail("the Caps lamp did not settle on a lamp colour");
    return last;
}

// A full Caps Lock key press: the popup shows, and its lamp settles.
COLORREF ToggleCaps(KeyProbe& keys, const Running& program) {
    program.WaitHidden();
    PressAndWait(keys, VK_CAPITAL);
    bench::KeyUp(VK_CAPITAL);
    if (!bench::WaitVisible(program.window(), true, kWait)) Fail("a Caps Lock release did not show the popup");
    return SettledCapsLamp(program.window());
}

struct KeyFigures {
    std::vector<double> visible, lamp, lockHold, plainHold;
    int unpainted = 0;
};

void MeasureReleases(const Indicator& indicator, KeyProbe& keys, KeyFigures& figures) {
    if (!bench::Activate(keys.hwnd())) Fail("the probe window cannot be activated");
    Running program(indicator);
    HWND popup = program.window();
    // Unmeasured: the first shows, and the lamp's colour, which the lock state decides. Two of
    // them: Wine may give the first key of a new process a key state that is not yet the desktop's,
    // and one wrong lamp read here would put every release of the round out of step.
    ToggleCaps(keys, program);
    COLORREF lamp = ToggleCaps(keys, program);
    for (int i = 0; i < kReleasesPerRound; ++i) {
        program.WaitHidden();
        PressAndWait(keys, VK_F13);
        figures.plainHold.push_back(ReleaseHold(VK_F13));

        const POINT at = LampCentre(popup, kCaps);
        const COLORREF want = Opposite(lamp);
        // Visible means on the screen, not merely marked visible (program.WaitHidden above has
        // waited for the popup to leave the screen).
        PressAndWait(keys, VK_CAPITAL);
        const double t0 = bench::NowMs();
        bench::KeyUp(VK_CAPITAL);
        figures.lockHold.push_back(bench::NowMs() - t0);
        if (!bench::Spin(kWait, [&] { return OnScreen(popup); })) Fail("a Caps Lock release did not show the popup");
        figures.visible.push_back(bench::NowMs() - t0);
        if (bench::Spin(kLampWait, [&] { return (bench::PixelRef(at.x, at.y) & 0xFFFFFF) == want; })) {
            figures.lamp.push_back(bench::NowMs() - t0);
        } else {
            ++figures.unpainted;
        }
        lamp = want;  // the lock has changed whatever the lamp shows
    }
    // An even number of releases in all: the lock ends as it began.
    if ((kReleasesPerRound + 2) % 2) ToggleCaps(keys, program);
}

// Start-up: creation to the first idle message loop, then the icon and the live hook checked.
double LumoraStart(KeyProbe& keys, const bench::TrayCell& tray) {
    double ms = 0;
    bench::Process p = bench::StartTimed(bench::Quote(bench::ProgramPath(kLumora.exe)), &ms);
    if (!p) Fail("Lumora.exe did not start");
    const bool icon = tray.WaitIcon(true, kWait);
    HWND popup = bench::Find(kClass, kCaption);
    // Two Scroll Lock presses: the popup shows if the hook is live, and the lock ends as it began.
    const size_t before = keys.HookCount();
    bench::Key(VK_SCROLL);
    bench::Key(VK_SCROLL);
    const bool hook = popup && bench::WaitVisible(popup, true, kWait) &&
                      bench::WaitFor(kWait, [&] { return keys.HookCount() >= before + 4; });
    if (popup) PostMessageA(popup, WM_CLOSE, 0, 0);
    if (!bench::WaitExit(p, kWait)) bench::Kill(p);
    bench::Close(p);
    if (!icon) Fail("Lumora's tray icon did not appear");
    if (!hook) Fail("Lumora's hook was not live after its start");
    if (!tray.WaitIcon(false, kWait)) Fail("Lumora's tray icon stayed after it ended");
    return ms;
}

struct Life {
    bench::IdleUsage idle;
    std::vector<bench::Resources> resources;  // after start, after the releases, after the About boxes
    double releasesCpuMs = 0;
};

// Wake-ups of the program's threads while the user types steadily, F13 once every 100 ms, from
// the stopped timer on: every key passes its hook, and the timer, restarted by each, should tick
// about once a second.
long TypingWakeUps(const Indicator& indicator) {
    const Running program(indicator);
    Sleep(1500);  // past the first tick, which stops the timer
    const std::vector<std::string> pids = bench::UnixPids(indicator.exe);
    if (pids.empty()) return -1;
    const long switches0 = bench::ContextSwitches(pids);
    const double t0 = bench::NowMs();
    for (int i = 1; i <= kTypingKeys; ++i) {
        bench::Key(VK_F13);
        while (bench::NowMs() < t0 + 100.0 * i) Sleep(1);
    }
    return bench::ContextSwitches(pids) - switches0;
}

void ReleaseMany(KeyProbe& keys, const Running& program, Life& life) {
    const double cpu0 = bench::CpuMs(program.process().handle);
    const size_t start = keys.HookCount();
    for (int i = 0; i < kLoopReleases; ++i) bench::Key(VK_CAPITAL);
    if (!bench::WaitFor(30000, [&] { return keys.HookCount() - start >= 2u * kLoopReleases; }))
        Fail("the 1,000 Caps Lock presses did not all pass the hooks");
    program.WaitHidden();
    life.releasesCpuMs = bench::CpuMs(program.process().handle) - cpu0;
}

Life Live(const Indicator& indicator, KeyProbe& keys) {
    Life life;
    if (!bench::Activate(keys.hwnd())) Fail("the probe window cannot be activated");
    Running program(indicator);
    // One of each cycle first: Wine creates its DCs, regions and brushes for a window on first use,
    // and keeps them, so the start figure is taken once they exist.
    bench::Key(VK_CAPITAL);
    bench::Key(VK_CAPITAL);
    program.WaitHidden();
    bench::AboutRoundTrip(indicator.aboutClass, "About", kWait);
    program.WaitHidden();
    Sleep(1500);  // past the first tick, which stops the timer
    life.resources.push_back(bench::ResourcesOf(program.process()));
    life.idle = bench::MeasureIdle(program.process(), indicator.exe, bench::IdleSeconds());
    ReleaseMany(keys, program, life);
    Sleep(500);
    life.resources.push_back(bench::ResourcesOf(program.process()));
    // The About loop twice: a second loop that adds nothing tells a step taken once from a leak.
    for (int loop = 0; loop < 2; ++loop) {
        for (int i = 0; i < kAboutCycles; ++i) bench::AboutRoundTrip(indicator.aboutClass, "About", kWait);
        program.WaitHidden();
        Sleep(500);
        life.resources.push_back(bench::ResourcesOf(program.process()));
    }
    return life;
}

std::string Ratio(const bench::Spread& ours, const bench::Spread& reference) {
    return ours.count && reference.count && reference.median > 0
               ? bench::Format("x%.2f", ours.median / reference.median)
               : "";
}

std::string Difference(double ours, double reference) { return bench::Format("%+.3f ms", ours - reference); }

// What one poll of the lamp costs: the lamp can be seen no sooner than a read after the paint.
void PrintPixelReadCost() {
    std::vector<double> reads;
    for (int i = 0; i < 40; ++i) {
        const double t0 = bench::NowMs();
        bench::PixelRef(10, 10);
        reads.push_back(bench::NowMs() - t0);
    }
    std::printf("lumora_probe: one screen pixel read: median %.2f ms (max %.2f) of %zu\n", bench::SpreadOf(reads).median,
                bench::SpreadOf(reads).max, reads.size());
}

void PrintKeyRows(const KeyFigures& ours, const KeyFigures& reference) {
    const bench::Spread visible = bench::SpreadOf(ours.visible), refVisible = bench::SpreadOf(reference.visible);
    const bench::Spread lamp = bench::SpreadOf(ours.lamp), refLamp = bench::SpreadOf(reference.lamp);
    const size_t n = ours.visible.size();
    bench::Row(bench::Format("Lumora: Caps release to popup on screen, median / max ms (%zu)", n),
               bench::MedianMax(visible), bench::MedianMax(refVisible), Ratio(visible, refVisible), "", "");
    const auto lampCell = [](const bench::Spread& s, const KeyFigures& f) {
        std::string cell = bench::MedianMax(s);
        if (f.unpainted) cell += bench::Format(" (%d of %zu never)", f.unpainted, f.visible.size());
        return cell;
    };
    const double lampGoal = 1.05 * refVisible.median;
    bench::Row(bench::Format("Lumora: Caps release to lamp in new colour, median / max ms (%zu)", n),
               lampCell(lamp, ours), lampCell(refLamp, reference), Ratio(lamp, refLamp),
               bench::Format("<= 1.05 x ref on screen = %.2f", lampGoal),
               bench::Verdict(ours.unpainted == 0 && lamp.count && lamp.median <= lampGoal));
    const auto holdRow = [](const char* key, const std::vector<double>& o, const std::vector<double>& r) {
        const bench::Spread s = bench::SpreadOf(o), rs = bench::SpreadOf(r);
        bench::Row(bench::Format("Lumora: hook hold, %s key-up, median / max ms", key),
                   bench::Format("%.3f / %.3f", s.median, s.max), bench::Format("%.3f / %.3f", rs.median, rs.max),
                   Difference(s.median, rs.median), "<= ref + 0.02 ms", bench::Verdict(s.median <= rs.median + 0.02));
    };
    holdRow("Caps Lock", ours.lockHold, reference.lockHold);
    holdRow("F13", ours.plainHold, reference.plainHold);
}

void PrintLifeRows(const Life& ours, const Life& reference) {
    bench::Row(bench::Format("Lumora: idle %d s once its timer stopped: CPU ms / wake-ups", bench::IdleSeconds()),
               bench::IdleCell(ours.idle), bench::IdleCell(reference.idle), "", "0 wake-ups",
               bench::Verdict(ours.idle.wakeUps == 0));
    std::printf("lumora_probe: 1,000 Caps Lock presses: CPU %.0f ms (reference %.0f ms)\n", ours.releasesCpuMs,
                reference.releasesCpuMs);
    bench::ResourceRows(bench::Format("Lumora: %%s: warm start, 1,000 Caps, %d About, %d more", kAboutCycles,
                                      kAboutCycles),
                        ours.resources, reference.resources);
}

void Probe() {
    KeyProbe keys;  // first, so that its hook sees a key only once the indicator has passed it on
    keys.CountOnly(true);

    KeyFigures ours, reference;
    for (int round = 0; round < kRounds; ++round) {
        MeasureReleases(kLumora, keys, ours);
        MeasureReleases(kReference, keys, reference);
    }
    PrintPixelReadCost();
    PrintKeyRows(ours, reference);

    const bench::TrayCell tray;
    std::vector<double> lumoraStarts, referenceStarts;
    for (int i = 0; i < kStartRuns; ++i) {
        lumoraStarts.push_back(LumoraStart(keys, tray));
        referenceStarts.push_back(bench::ReferenceWindowStart(tray, kWait));
    }
    const bench::Spread start = bench::SpreadOf(lumoraStarts), refStart = bench::SpreadOf(referenceStarts);
    bench::Row(bench::Format("Lumora: start-up to icon and hook live, median ms (%d)", kStartRuns),
               bench::Format("%.1f", start.median), bench::Format("%.1f (one window + icon)", refStart.median),
               bench::Format("%+.1f ms", start.median - refStart.median), "<= ref + 10 ms",
               bench::Verdict(start.median <= refStart.median + 10));

    const long typing = TypingWakeUps(kLumora), refTyping = TypingWakeUps(kReference);
    // No goal: every key wakes both programs for their hooks, and under Wine each wake and each
    // call into the server is a switch; the difference is what ours adds to a key and its timer.
    bench::Row(bench::Format("Lumora: wake-ups in %d s of typing, a key every 100 ms", kTypingKeys / 10),
               bench::Format("%ld", typing), bench::Format("%ld", refTyping), bench::Format("%+ld", typing - refTyping),
               "", "");

    const Life lumora = Live(kLumora, keys);
    const Life ref = Live(kReference, keys);
    PrintLifeRows(lumora, ref);
    bench::SizeRow("Lumora.exe", "ref_indicator.exe");
    bench::Note(bench::ResourcesMethod());
}

}  // namespace

int main() { return bench::RunProbe("lumora_probe", Probe, {"Lumora.exe", "ref_indicator.exe", "ref_window.exe"}); }
