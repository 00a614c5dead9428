// Checks the bench itself before anyone trusts it with the real programs: the session is up,
// the stand-ins are where the programs will look for them, input lands on the pixel and key
// it names, the screen reads back what was painted, and the tray/menu geometry matches Wine.
#include "bench_fixture.h"

#include <shellapi.h>

#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::BenchTest;

constexpr DWORD kWaitMs = 5000;
constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kCmdAbout = 1001;
constexpr UINT kCmdExit = 1002;
constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kMark = RGB(0xFE, 0x01, 0x80);
constexpr POINT kMarkAt{7, 5};  // client coordinates of the single marked pixel
const char kProbeClass[] = "KbdBenchProbe";

struct Event {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// A window of the test's own, on its own thread with its own message loop, so that the test
// thread can drive input and poll while the window (or its modal popup menu) runs.
class Probe {
public:
    Probe() {
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return started_; });
    }

    ~Probe() {
        if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }

    HWND hwnd() const { return hwnd_; }

    POINT ClientToScreenPt(POINT p) const {
        ClientToScreen(hwnd_, &p);
        return p;
    }

    bool AddTrayIcon() { return Call([this] { return Tray(NIM_ADD); }); }
    bool RemoveTrayIcon() { return Call([this] { return Tray(NIM_DELETE); }); }
    bool Foreground() {
        return Call([this] {
            SetForegroundWindow(hwnd_);
            SetFocus(hwnd_);
            return GetForegroundWindow() == hwnd_;
        });
    }
    bool Hide() { return Call([this] { return ShowWindow(hwnd_, SW_HIDE) != 0; }); }

    std::vector<Event> Events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    void ClearEvents() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
        hookFlags_.clear();
        itemRects_.clear();
    }
    // Polls for an event that satisfies pred.
    bool WaitEvent(const std::function<bool(const Event&)>& pred, DWORD ms, Event* found = nullptr) {
        return bench::WaitFor(ms, [&] {
            for (const Event& e : Events())
                if (pred(e)) {
                    if (found) *found = e;
                    return true;
                }
            return false;
        });
    }
    // LLKHF_* flags the low-level hook saw for each key event of vk.
    std::vector<DWORD> HookFlags(DWORD vk) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<DWORD> flags;
        for (const auto& f : hookFlags_)
            if (f.first == vk) flags.push_back(f.second);
        return flags;
    }
    // Screen rectangles of the popup menu items, as Wine itself reports them while the menu is up.
    std::vector<RECT> ItemRects() {
        std::lock_guard<std::mutex> lock(mutex_);
        return itemRects_;
    }

private:
    static Probe* self_;

    // Runs f on the window's thread and returns its result.
    bool Call(std::function<bool()> f) {
        return SendMessageA(hwnd_, WM_APP + 20, 0, reinterpret_cast<LPARAM>(&f)) != 0;
    }

    bool Tray(DWORD op) {
        NOTIFYICONDATAA nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = hwnd_;
        nid.uID = 1;
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = kTrayCallback;
        nid.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        lstrcpynA(nid.szTip, "bench probe", sizeof nid.szTip);
        return Shell_NotifyIconA(op, &nid) != FALSE;
    }

    void Record(UINT msg, WPARAM wp, LPARAM lp) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(Event{msg, wp, lp});
    }

    void ShowMenu() {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, kCmdAbout, "&About");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kCmdExit, "E&xit");
        menu_ = menu;
        POINT at{};
        GetCursorPos(&at);
        // The owner must be foreground or the menu does not close on a click elsewhere.
        SetForegroundWindow(hwnd_);
        TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
        PostMessageA(hwnd_, WM_NULL, 0, 0);
        menu_ = nullptr;
        DestroyMenu(menu);
    }

    void MeasureMenu() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!menu_ || !itemRects_.empty()) return;
        for (int i = 0; i < GetMenuItemCount(menu_); ++i) {
            RECT r{};
            // NULL window: screen coordinates (the owner's would be shifted by its client origin).
            if (!GetMenuItemRect(nullptr, menu_, i, &r)) return;
            itemRects_.push_back(r);
        }
    }

    void Paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT rc;
        GetClientRect(hwnd_, &rc);
        HBRUSH b = CreateSolidBrush(kBackground);
        FillRect(dc, &rc, b);
        DeleteObject(b);
        SetPixel(dc, kMarkAt.x, kMarkAt.y, kMark);
        EndPaint(hwnd_, &ps);
    }

    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
        case WM_APP + 20:
            return (*reinterpret_cast<std::function<bool()>*>(lp))() ? 1 : 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            Record(msg, wp, lp);
            return 0;
        case WM_ENTERIDLE:
            if (wp == MSGF_MENU) MeasureMenu();
            return 0;
        case WM_COMMAND:
            Record(msg, LOWORD(wp), 0);
            return 0;
        case kTrayCallback:
            Record(msg, wp, lp);
            if (lp == WM_RBUTTONUP) ShowMenu();
            return 0;
        case WM_CLOSE:
            Tray(NIM_DELETE);
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
        }
    }

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (Probe* p = reinterpret_cast<Probe*>(GetWindowLongPtrA(h, GWLP_USERDATA))) return p->Handle(msg, wp, lp);
        if (msg == WM_NCCREATE) {
            Probe* p = static_cast<Probe*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
            p->hwnd_ = h;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && self_) {
            const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
            std::lock_guard<std::mutex> lock(self_->mutex_);
            self_->hookFlags_.emplace_back(k->vkCode, k->flags);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }

    void Run() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kProbeClass;
        RegisterClassA(&wc);
        CreateWindowExA(WS_EX_TOPMOST, kProbeClass, "Bench probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 320, 200,
                        nullptr, nullptr, wc.hInstance, this);
        self_ = this;
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, Hook, wc.hInstance, 0);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            started_ = true;
        }
        ready_.notify_all();
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (hook) UnhookWindowsHookEx(hook);
        self_ = nullptr;
        UnregisterClassA(kProbeClass, wc.hInstance);
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    std::vector<Event> events_;
    std::vector<std::pair<DWORD, DWORD>> hookFlags_;
    std::vector<RECT> itemRects_;
};

Probe* Probe::self_ = nullptr;

std::string Lower(std::string s) {
    if (!s.empty()) CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::string CurrentFolder() {
    char buf[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof buf, buf);
    return buf;
}

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

std::string ButtonList() {
    std::string s = "taskbar children:";
    for (const auto& w : bench::Children(bench::Taskbar()))
        s += "\n  " + w.className + " id=" + std::to_string(w.id) + " visible=" + std::to_string(w.visible) +
             " \"" + w.caption + "\"";
    return s;
}

std::string TrayDiagnosis(const std::vector<Event>& events, POINT icon) {
    POINT cur{};
    GetCursorPos(&cur);
    const RECT bar = bench::TaskbarRect();
    std::string s = "icon " + std::to_string(icon.x) + "," + std::to_string(icon.y) + " cursor " +
                    std::to_string(cur.x) + "," + std::to_string(cur.y) + " taskbar " + std::to_string(bar.left) +
                    "," + std::to_string(bar.top) + "-" + std::to_string(bar.right) + "," + std::to_string(bar.bottom) +
                    " foreground " + bench::Describe(GetForegroundWindow()).className + "\nevents:";
    for (const Event& e : events)
        s += " " + std::to_string(e.msg) + "/" + std::to_string(e.wp) + "/" + std::to_string(e.lp);
    s += "\nrow " + std::to_string(icon.y) + " from x=" + std::to_string(bar.right - 64) + ":";
    for (int x = bar.right - 64; x < bar.right; x += 2) s += " " + bench::Pixel(x, icon.y);
    s += "\n" + ButtonList();
    for (const auto& w : bench::TopLevelWindows())
        if (w.visible) s += "\nvisible: " + w.className + " \"" + w.caption + "\" pid " + std::to_string(w.pid);
    return s;
}

bool IsPoint(LPARAM lp, POINT p) {
    return static_cast<short>(LOWORD(lp)) == p.x && static_cast<short>(HIWORD(lp)) == p.y;
}

// --- The session -------------------------------------------------------------

TEST_F(BenchTest, DesktopHasTaskbarAndKeeperForTheWholeSession) {
    HWND bar = bench::Taskbar();
    ASSERT_TRUE(IsWindowVisible(bar));
    HWND keeper = bench::Find("KbdBenchKeeper", nullptr);
    ASSERT_NE(keeper, nullptr) << "wine-session.sh starts a keeper; without it the desktop dies between programs";
    EXPECT_FALSE(IsWindowVisible(keeper));

    const SIZE screen = bench::ScreenSize();
    const RECT r = bench::TaskbarRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, screen.cx);
    EXPECT_EQ(r.bottom, screen.cy);
    // EnableShell: the work area leaves the taskbar out even before any tray icon exists.
    const RECT wa = bench::WorkArea();
    EXPECT_EQ(wa.bottom, r.top);
    EXPECT_EQ(wa.right, screen.cx);
}

TEST_F(BenchTest, SessionHasTheRequestedDpiAndSize) {
    const int want = EnvInt("KBD_E2E_DPI", 96);
    EXPECT_EQ(bench::Dpi(), want);
    if (want != 96) {
        const bench::RegValue v = bench::RegQuery("HKCU\\Control Panel\\Desktop", "LogPixels");
        ASSERT_TRUE(v.Found());
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(v.Dword(), static_cast<DWORD>(want));
    }
    const char* size = std::getenv("KBD_E2E_SIZE");
    if (size && *size) {
        const SIZE s = bench::ScreenSize();
        EXPECT_EQ(std::to_string(s.cx) + "x" + std::to_string(s.cy), size);
    }
}

// --- Processes and stand-ins -------------------------------------------------

TEST_F(BenchTest, CalcStandinIsFoundByNameAndLogsItsCommandLine) {
    ASSERT_FALSE(log.empty()) << "STANDIN_LOG is not set";
    bench::Process p = session.Start("calc /x \"two words\"");
    ASSERT_TRUE(p) << "CreateProcessA(calc) failed: " << GetLastError();
    DWORD code = 99;
    ASSERT_TRUE(bench::WaitExit(p, kWaitMs, &code));
    bench::Close(p);
    EXPECT_EQ(code, 0u);

    std::vector<bench::LogLine> lines;
    ASSERT_TRUE(bench::WaitLogLines(log, 1, kWaitMs, &lines));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Lower(lines[0].module), "c:\\windows\\calc.exe");
    EXPECT_EQ(lines[0].commandLine, "calc /x \"two words\"");
    EXPECT_EQ(Lower(lines[0].folder), Lower(CurrentFolder()));
}

TEST_F(BenchTest, ExplorerRequestReachesTheStandinBesideTheProgram) {
    // The real Wine explorer must never see this request: it can close the virtual desktop.
    const HINSTANCE rc = ShellExecuteA(nullptr, "open", "explorer", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
                                       nullptr, SW_SHOWNORMAL);
    ASSERT_GT(reinterpret_cast<INT_PTR>(rc), 32);
    std::vector<bench::LogLine> lines;
    ASSERT_TRUE(bench::WaitLogLines(log, 1, kWaitMs, &lines));
    EXPECT_EQ(Lower(lines[0].module), Lower(bench::ProgramPath("explorer.exe")));
    EXPECT_NE(lines[0].commandLine.find("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), std::string::npos);
    EXPECT_TRUE(IsWindowVisible(bench::Taskbar()));
}

TEST_F(BenchTest, MediaPlayerStandinsAnswerAtBothPaths) {
    const char* const players[] = {"C:\\Program Files\\Windows Media Player\\wmplayer.exe",
                                   "C:\\Program Files\\Windows Media Player\\mplayer2.exe"};
    for (const char* exe : players) {
        bench::Process p = session.Start(bench::Quote(exe) + " /play");
        ASSERT_TRUE(p) << exe;
        ASSERT_TRUE(bench::WaitExit(p, kWaitMs));
        bench::Close(p);
    }
    std::vector<bench::LogLine> lines;
    ASSERT_TRUE(bench::WaitLogLines(log, 2, kWaitMs, &lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Lower(lines[0].module), Lower(players[0]));
    EXPECT_EQ(Lower(lines[1].module), Lower(players[1]));
    EXPECT_EQ(lines[1].commandLine, bench::Quote(players[1]) + " /play");
}

TEST_F(BenchTest, LeftoverProcessesAreEndedAndCounted) {
    allowLeftovers = true;
    // A console helper that would wait a minute for a window that never comes.
    bench::Process p = session.Start(bench::Quote(bench::ProgramPath("wtool.exe")) + " waitexists NoSuchClass - 60000");
    ASSERT_TRUE(p);
    EXPECT_TRUE(bench::IsRunning(p));
    EXPECT_EQ(bench::FindProcesses("wtool.exe").size(), 1u);
    EXPECT_EQ(session.KillLeftovers(), 1);
    EXPECT_TRUE(bench::WaitExit(p, kWaitMs));
    EXPECT_TRUE(bench::FindProcesses("wtool.exe").empty());
    bench::Close(p);
}

// --- Input and screen ---------------------------------------------------------

TEST_F(BenchTest, KeysReachTheLowLevelHookAndTheFocusedWindow) {
    Probe probe;
    ASSERT_TRUE(bench::WaitVisible(probe.hwnd(), true, kWaitMs));
    ASSERT_TRUE(probe.Foreground());
    probe.ClearEvents();

    bench::Key('K');
    Event down{}, up{};
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_KEYDOWN && e.wp == 'K'; }, kWaitMs, &down));
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_KEYUP && e.wp == 'K'; }, kWaitMs, &up));
    EXPECT_FALSE(down.lp & (1 << 24));
    const std::vector<DWORD> flags = probe.HookFlags('K');
    ASSERT_EQ(flags.size(), 2u);
    EXPECT_EQ(flags[0] & (LLKHF_INJECTED | LLKHF_UP), static_cast<DWORD>(LLKHF_INJECTED));
    EXPECT_EQ(flags[1] & (LLKHF_INJECTED | LLKHF_UP), static_cast<DWORD>(LLKHF_INJECTED | LLKHF_UP));

    bench::Key(VK_RIGHT, KEYEVENTF_EXTENDEDKEY);
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_KEYDOWN && e.wp == VK_RIGHT; }, kWaitMs,
                                &down));
    EXPECT_TRUE(down.lp & (1 << 24)) << "the extended flag was lost";

    bench::KeyDown(VK_SHIFT);
    bench::KeyUp(VK_SHIFT);
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_KEYUP && e.wp == VK_SHIFT; }, kWaitMs));
}

TEST_F(BenchTest, ClicksLandOnTheExactClientPixel) {
    Probe probe;
    ASSERT_TRUE(bench::WaitVisible(probe.hwnd(), true, kWaitMs));
    probe.ClearEvents();

    const POINT target{51, 37};
    const POINT at = probe.ClientToScreenPt(target);
    bench::Click(at.x, at.y);
    ASSERT_TRUE(probe.WaitEvent([&](const Event& e) { return e.msg == WM_LBUTTONUP; }, kWaitMs));
    Event down{};
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_LBUTTONDOWN; }, 0, &down));
    EXPECT_TRUE(IsPoint(down.lp, target)) << "down at " << static_cast<short>(LOWORD(down.lp)) << ","
                                          << static_cast<short>(HIWORD(down.lp));

    const POINT target2{200, 120};
    const POINT at2 = probe.ClientToScreenPt(target2);
    bench::RightClick(at2.x, at2.y);
    Event rup{};
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_RBUTTONUP; }, kWaitMs, &rup));
    EXPECT_TRUE(IsPoint(rup.lp, target2)) << "up at " << static_cast<short>(LOWORD(rup.lp)) << ","
                                          << static_cast<short>(HIWORD(rup.lp)) << " screen " << at2.x << ","
                                          << at2.y;
}

TEST_F(BenchTest, PixelReadsWhatWasPainted) {
    Probe probe;
    ASSERT_TRUE(bench::WaitVisible(probe.hwnd(), true, kWaitMs));
    const POINT mark = probe.ClientToScreenPt(kMarkAt);
    // Wait on the single odd pixel: it proves both the colour and the exact position.
    ASSERT_TRUE(bench::WaitPixel(mark.x, mark.y, "FE0180", kWaitMs)) << bench::Pixel(mark.x, mark.y);
    EXPECT_EQ(bench::Pixel(mark.x + 1, mark.y), "123456");
    EXPECT_EQ(bench::Pixel(mark.x, mark.y + 1), "123456");
    EXPECT_EQ(bench::Pixel(mark.x - 1, mark.y - 1), "123456");
    EXPECT_EQ(bench::PixelRef(mark.x, mark.y), kMark);
}

TEST_F(BenchTest, TaskbarButtonStandsForTheVisibleWindow) {
    Probe probe;
    ASSERT_TRUE(bench::WaitVisible(probe.hwnd(), true, kWaitMs));
    ASSERT_TRUE(bench::WaitFor(kWaitMs, [&] { return bench::HasTaskbarButton(probe.hwnd()); }));
    bool found = false;
    for (const auto& w : bench::WindowsOfProcess(GetCurrentProcessId()))
        if (w.hwnd == probe.hwnd()) found = w.visible && w.caption == "Bench probe" && w.className == kProbeClass;
    EXPECT_TRUE(found);

    ASSERT_TRUE(probe.Hide());
    EXPECT_TRUE(bench::WaitFor(kWaitMs, [&] { return !bench::HasTaskbarButton(probe.hwnd()); }))
        << ButtonList();
}

// --- Tray icon and popup menu --------------------------------------------------

TEST_F(BenchTest, TrayIconAndMenuRowsAreWhereTheBenchComputesThem) {
    Probe probe;
    ASSERT_TRUE(probe.AddTrayIcon());
    probe.ClearEvents();

    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    Event cb{};
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == kTrayCallback && e.lp == WM_RBUTTONUP; },
                                kWaitMs, &cb))
        << TrayDiagnosis(probe.Events(), icon);
    EXPECT_EQ(cb.wp, 1u);

    HWND menu = bench::WaitPopupMenu(kWaitMs);
    ASSERT_NE(menu, nullptr);
    bench::WaitFor(kWaitMs, [&] { return probe.ItemRects().size() >= 3; });
    const std::vector<RECT> items = probe.ItemRects();
    ASSERT_EQ(items.size(), 3u);

    const std::vector<bench::MenuRow> rows{bench::MenuRow::Item, bench::MenuRow::Separator, bench::MenuRow::Item};
    for (size_t i = 0; i < rows.size(); ++i) {
        const POINT c = bench::MenuRowCenter(menu, rows, i);
        const RECT& r = items[i];
        EXPECT_TRUE(c.y >= r.top && c.y < r.bottom && c.x >= r.left && c.x < r.right)
            << "row " << i << " centre " << c.x << "," << c.y << " outside " << r.left << "," << r.top << "-"
            << r.right << "," << r.bottom << " at " << bench::Dpi() << " dpi";
        const int height = r.bottom - r.top;
        const bench::MenuLayout m = bench::MenuMetrics();
        EXPECT_EQ(height, rows[i] == bench::MenuRow::Item ? m.itemHeight : m.separatorHeight) << "row " << i;
    }

    const POINT exitAt = bench::MenuRowCenter(menu, rows, 2);
    bench::Click(exitAt.x, exitAt.y);
    Event cmd{};
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_COMMAND; }, kWaitMs, &cmd));
    EXPECT_EQ(cmd.wp, kCmdExit);
    EXPECT_TRUE(bench::WaitPopupMenuGone(kWaitMs));
}

TEST_F(BenchTest, MenuObeysKeysSentWithSendInput) {
    Probe probe;
    ASSERT_TRUE(probe.AddTrayIcon());
    probe.ClearEvents();
    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    ASSERT_NE(bench::WaitPopupMenu(kWaitMs), nullptr);

    // Up wraps to the last item; Return chooses it.
    bench::Key(VK_UP);
    bench::Key(VK_RETURN);
    Event cmd{};
    ASSERT_TRUE(probe.WaitEvent([](const Event& e) { return e.msg == WM_COMMAND; }, kWaitMs, &cmd));
    EXPECT_EQ(cmd.wp, kCmdExit);
    ASSERT_TRUE(bench::WaitPopupMenuGone(kWaitMs));

    // And Escape closes the menu without a command.
    probe.ClearEvents();
    bench::RightClick(icon.x, icon.y);
    ASSERT_NE(bench::WaitPopupMenu(kWaitMs), nullptr);
    bench::Key(VK_ESCAPE);
    ASSERT_TRUE(bench::WaitPopupMenuGone(kWaitMs));
    EXPECT_FALSE(probe.WaitEvent([](const Event& e) { return e.msg == WM_COMMAND; }, 0));
}

// --- Registry -------------------------------------------------------------------

TEST_F(BenchTest, RegistryValuesComeBackWithTypeAndRawBytes) {
    const char kKey[] = "Software\\KbdBench\\Smoke";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char text[] = "C:\\Dir With Space\\x.exe";
    const DWORD number = 0x01020304;
    RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);

    const bench::RegValue s = bench::RegQuery(std::string("HKCU\\") + kKey, "Text");
    ASSERT_TRUE(s.Found());
    EXPECT_EQ(s.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(s.data.size(), sizeof text);  // the terminating NUL is part of the stored data
    EXPECT_EQ(s.String(), text);

    const bench::RegValue d = bench::RegQuery(HKEY_CURRENT_USER, kKey, "Number");
    ASSERT_TRUE(d.Found());
    EXPECT_EQ(d.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(d.data, (std::vector<unsigned char>{4, 3, 2, 1}));
    EXPECT_EQ(d.Dword(), number);

    EXPECT_EQ(bench::RegQuery(std::string("HKCU\\") + kKey, "Missing").error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(bench::RegDeleteValue(HKEY_CURRENT_USER, kKey, "Text"));
    EXPECT_FALSE(bench::RegQuery(std::string("HKCU\\") + kKey, "Text").Found());
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

}  // namespace
