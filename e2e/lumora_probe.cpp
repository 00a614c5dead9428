// Timing probe of the real lock-key indicator under Wine. Prints: the latency from an injected
// Caps Lock release to the indicator visible and to its lamp painted (median and maximum of 20),
// CPU time and wake-ups over an idle minute once the timer has stopped, CPU, wake-ups and memory
// around 10,000 key events, and the file size. Run inside a bench session: scripts/bench.sh does.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench.h"
#include "lumora_bench.h"

namespace {

using namespace lumora_e2e;

constexpr DWORD kWait = 5000;

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::string ReadText(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(h);
    return text;
}

long Field(const std::string& status, const std::string& name) {
    const size_t at = status.find(name + ":");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + name.size() + 1);
}

// The Linux processes whose command line names the exe (Wine runs each Windows process as one).
std::vector<std::string> UnixPids(const std::string& exe) {
    std::vector<std::string> pids;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA("Z:\\proc\\*", &found);
    if (h == INVALID_HANDLE_VALUE) return pids;
    do {
        const std::string name = found.cFileName;
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (ReadText("Z:\\proc\\" + name + "\\cmdline").find(exe) != std::string::npos) pids.push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return pids;
}

// Context switches of every thread of those processes: each wake-up of a thread counts one.
long WakeUps(const std::vector<std::string>& pids) {
    long total = 0;
    for (const std::string& pid : pids) {
        WIN32_FIND_DATAA found;
        const std::string tasks = "Z:\\proc\\" + pid + "\\task\\";
        HANDLE h = FindFirstFileA((tasks + "*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            const std::string tid = found.cFileName;
            if (tid.find_first_not_of("0123456789") != std::string::npos) continue;
            const std::string status = ReadText(tasks + tid + "\\status");
            total += Field(status, "voluntary_ctxt_switches") + Field(status, "nonvoluntary_ctxt_switches");
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return total;
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

struct Memory {
    double privateKb = -1, pagefileKb = -1, workingSetKb = -1;
    long rssKb = -1, anonKb = -1;
};

Memory MemoryOf(HANDLE process, const std::vector<std::string>& pids) {
    Memory m;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        m.privateKb = static_cast<double>(counters.PrivateUsage) / 1024.0;
        m.pagefileKb = static_cast<double>(counters.PagefileUsage) / 1024.0;
        m.workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024.0;
    }
    if (!pids.empty()) {
        const std::string status = ReadText("Z:\\proc\\" + pids[0] + "\\status");
        m.rssKb = Field(status, "VmRSS");
        m.anonKb = Field(status, "RssAnon");
    }
    return m;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

int Fail(const char* why) {
    std::printf("lumora_probe: %s\n", why);
    bench::KillByImage("Lumora.exe");
    return 1;
}

}  // namespace

int main() {
    const char* secondsText = std::getenv("PROBE_IDLE_SECONDS");
    const int idleSeconds = secondsText ? std::atoi(secondsText) : 60;
    KeyProbe keys;  // first, so that its hook sees a key only once the indicator has passed it on
    if (!bench::Activate(keys.hwnd())) return Fail("the probe window cannot be activated");
    bench::Process indicator = bench::Start(bench::Quote(bench::ProgramPath("Lumora.exe")));
    HWND form1 = bench::WaitExists(kClass, kCaption, kWait);
    if (!indicator || !form1) return Fail("Lumora.exe did not start");
    const auto waitHidden = [&] { return bench::WaitVisible(form1, false, kWait); };
    if (!waitHidden()) return Fail("the indicator did not hide");
    const std::vector<std::string> pids = UnixPids("Lumora.exe");

    // Latency from an injected Caps Lock release to the indicator visible, and to its lamp painted.
    std::vector<double> visible, painted;
    for (int i = 0; i < 20; ++i) {
        if (!waitHidden()) return Fail("the indicator did not hide");
        const size_t before = keys.HookCount();
        bench::KeyDown(VK_CAPITAL);
        if (!bench::WaitFor(kWait, [&] { return keys.HookCount() > before; })) return Fail("a key did not pass");
        const POINT lamp = LampCentre(form1, kCaps);
        const std::string old = bench::Pixel(lamp.x, lamp.y);
        const double t0 = Now();
        bench::KeyUp(VK_CAPITAL);
        while (!IsWindowVisible(form1) && Now() - t0 < kWait) {
        }
        visible.push_back(Now() - t0);
        // The window paints the old colour as it shows, then the lamp anew.
        std::string now = old;
        while ((now == old || (now != kGreen && now != kOlive)) && Now() - t0 < kWait) now = bench::Pixel(lamp.x, lamp.y);
        painted.push_back(Now() - t0);
    }
    std::printf("latency Caps Lock release -> indicator visible: median %.2f ms, max %.2f ms (20)\n",
                Median(visible), *std::max_element(visible.begin(), visible.end()));
    std::printf("latency Caps Lock release -> lamp painted:      median %.2f ms, max %.2f ms (20)\n",
                Median(painted), *std::max_element(painted.begin(), painted.end()));

    // Idle: the tick has hidden the window and stopped the timer.
    if (!waitHidden()) return Fail("the indicator did not hide");
    Sleep(1500);
    const double cpu0 = CpuMs(indicator.handle);
    const long wake0 = WakeUps(pids);
    Sleep(idleSeconds * 1000);
    const double cpu1 = CpuMs(indicator.handle);
    const long wake1 = WakeUps(pids);
    std::printf("idle %d s after the timer stopped: CPU %.3f ms, wake-ups %ld (context switches of %zu process(es))\n",
                idleSeconds, cpu1 - cpu0, wake1 - wake0, pids.size());

    // Memory before and after 10,000 key events: 4,950 presses and releases of F13, 50 of Caps Lock.
    const Memory m0 = MemoryOf(indicator.handle, pids);
    const double cpu2 = CpuMs(indicator.handle);
    const long wake2 = WakeUps(pids);
    keys.CountOnly(true);
    const size_t start = keys.HookCount();
    size_t sent = 0;
    for (int batch = 0; batch < 100; ++batch) {
        const WORD vk = batch % 2 == 0 ? VK_CAPITAL : VK_F13;
        const int pairs = vk == VK_CAPITAL ? 1 : 98;
        for (int p = 0; p < pairs; ++p) bench::Key(vk);
        sent += static_cast<size_t>(pairs) * 2;
        if (!bench::WaitFor(10000, [&] { return keys.HookCount() - start >= sent; })) return Fail("keys did not pass");
    }
    // 50 Caps pairs and 50 batches of 98 F13 pairs: 100 + 9,800 events; 100 more F13 to round up.
    for (int p = 0; p < 50; ++p) bench::Key(VK_F13);
    sent += 100;
    if (!bench::WaitFor(10000, [&] { return keys.HookCount() - start >= sent; })) return Fail("keys did not pass");
    const Memory m1 = MemoryOf(indicator.handle, pids);
    std::printf("%zu key events: CPU %.1f ms, wake-ups %ld\n", sent, CpuMs(indicator.handle) - cpu2,
                WakeUps(pids) - wake2);
    std::printf("memory before / after them: private %.0f / %.0f KB, pagefile %.0f / %.0f KB, working set %.0f / %.0f KB, "
                "RSS %ld / %ld KB, anonymous RSS %ld / %ld KB\n",
                m0.privateKb, m1.privateKb, m0.pagefileKb, m1.pagefileKb, m0.workingSetKb, m1.workingSetKb, m0.rssKb,
                m1.rssKb, m0.anonKb, m1.anonKb);

    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExA(bench::ProgramPath("Lumora.exe").c_str(), GetFileExInfoStandard, &file);
    std::printf("Lumora.exe (stripped): %lu bytes\n", static_cast<unsigned long>(file.nFileSizeLow));
    std::fflush(stdout);
    if (HWND w = bench::Find(kClass, kCaption)) PostMessageA(w, WM_CLOSE, 0, 0);
    if (!bench::WaitExit(indicator, kWait)) bench::Kill(indicator);
    bench::Close(indicator);
    return 0;
}
