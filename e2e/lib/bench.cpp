#include "bench.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {

bool Expired(DWORD start, DWORD ms) { return GetTickCount() - start >= ms; }

template <typename F>
bool Poll(DWORD ms, F done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (Expired(start, ms)) return false;
        Sleep(kPollMs);
    }
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ClassOf(HWND h) {
    char buf[256] = "";
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

std::string CaptionOf(HWND h) {
    // For another process's window GetWindowTextA reads the stored caption without sending
    // WM_GETTEXT, so a hung program cannot block the bench.
    char buf[512] = "";
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

// All top-level windows matching class and caption (FindWindowExA walks them in z-order).
std::vector<HWND> FindAll(const char* className, const char* caption) {
    std::vector<HWND> found;
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, className, caption)) != nullptr) found.push_back(h);
    return found;
}

HWND FindVisible(const char* className, const char* caption) {
    for (HWND h : FindAll(className, caption))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

void SendKeys(std::vector<INPUT>& inputs) {
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD vk, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */));
    in.ki.dwFlags = flags;
    return in;
}

INPUT MouseInput(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return in;
}

// Absolute coordinates as Wine maps them back with (dx * w) >> 16: rounding up lands on the
// pixel itself, rounding to nearest one short for some (51,37 became 51,36 on 1024x768).
INPUT AbsoluteMouseInput(int x, int y, DWORD flags) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = MouseInput(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
    in.mi.dx = (x * 65536 + w - 1) / w;
    in.mi.dy = (y * 65536 + h - 1) / h;
    return in;
}

void MouseButtons(int x, int y, DWORD down, DWORD up, int times) {
    MouseMove(x, y);
    // Every button event carries its position: under Wine's virtual desktop a late X pointer
    // echo of an earlier move can put the cursor back where it was, and a bare button event
    // then lands there.
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        inputs.push_back(AbsoluteMouseInput(x, y, down));
        inputs.push_back(AbsoluteMouseInput(x, y, up));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

BOOL CALLBACK CollectTopLevel(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<WindowInfo>*>(lp)->push_back(Describe(h));
    return TRUE;
}

}  // namespace

bool WaitFor(DWORD ms, const std::function<bool()>& done) { return Poll(ms, done); }

// --- Files and folders -------------------------------------------------------

std::string ExeDir() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s = path;
    const size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : s.substr(0, slash + 1);
}

std::string ProgramPath(const std::string& exeName) { return ExeDir() + exeName; }

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

HeldImage::HeldImage(const std::string& path) {
    file_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_EXECUTE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return;
    // Without the image section a delete would succeed: the file would only wait for the handle.
    map_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
    if (map_) view_ = MapViewOfFile(map_, FILE_MAP_READ, 0, 0, 0);
}

HeldImage::~HeldImage() {
    if (view_) UnmapViewOfFile(view_);
    if (map_) CloseHandle(map_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

// --- Processes ---------------------------------------------------------------

Process Start(const std::string& commandLine, const char* folder, DWORD idleMs) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    // Wine's CreateProcess failed once in a few thousand starts in a busy session (a win64 run at
    // 120 dpi): tried again before the test hears of it, and the error said when it stays.
    for (int attempt = 0;; ++attempt) {
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi)) break;
        const DWORD error = GetLastError();
        if (attempt == 2) {
            std::fprintf(stderr, "bench: cannot start %s: error %lu\n", commandLine.c_str(), error);
            return {};
        }
        Sleep(200);
    }
    CloseHandle(pi.hThread);
    // Returns at once for console programs and for programs that have no message loop yet
    // and have ended; both are fine: "ready" means the first message loop is idle.
    WaitForInputIdle(pi.hProcess, idleMs);
    Process p;
    p.handle = pi.hProcess;
    p.pid = pi.dwProcessId;
    return p;
}

bool WaitExit(const Process& p, DWORD ms, DWORD* exitCode) {
    if (!p.handle) return false;
    if (WaitForSingleObject(p.handle, ms) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(p.handle, exitCode);
    return true;
}

bool IsRunning(const Process& p) { return p.handle && WaitForSingleObject(p.handle, 0) == WAIT_TIMEOUT; }

void Kill(Process& p) {
    if (!p.handle) return;
    if (IsRunning(p)) {
        TerminateProcess(p.handle, 0xDEAD);
        WaitForSingleObject(p.handle, 5000);
    }
    Close(p);
}

void Close(Process& p) {
    if (p.handle) CloseHandle(p.handle);
    p = Process{};
}

std::string ProcessImagePath(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE) return "";
    MODULEENTRY32 me{};
    me.dwSize = sizeof me;
    // The first module of a process is its exe.
    std::string path = Module32First(snap, &me) ? me.szExePath : "";
    CloseHandle(snap);
    return path;
}

std::vector<DWORD> FindProcesses(const std::string& exeName) {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    const std::string want = Lower(exeName);
    const bool fullPath = want.find_first_of("\\/:") != std::string::npos;
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
        if (pe.th32ProcessID == GetCurrentProcessId()) continue;
        if (Lower(BaseName(pe.szExeFile)) != Lower(BaseName(want))) continue;
        if (fullPath && Lower(ProcessImagePath(pe.th32ProcessID)) != want) continue;
        pids.push_back(pe.th32ProcessID);
    }
    CloseHandle(snap);
    return pids;
}

int KillByImage(const std::string& exeName) {
    int n = 0;
    for (DWORD pid : FindProcesses(exeName)) {
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!h) continue;
        if (TerminateProcess(h, 0xDEAD)) {
            WaitForSingleObject(h, 5000);
            ++n;
        }
        CloseHandle(h);
    }
    return n;
}

// --- Windows -----------------------------------------------------------------

HWND Find(const char* className, const char* caption) { return FindWindowA(className, caption); }

HWND WaitWindow(const char* className, const char* caption, DWORD ms) {
    HWND found = nullptr;
    Poll(ms, [&] { return (found = FindVisible(className, caption)) != nullptr; });
    return found;
}

HWND WaitExists(const char* className, const char* caption, DWORD ms) {
    HWND found = nullptr;
    Poll(ms, [&] { return (found = FindWindowA(className, caption)) != nullptr; });
    return found;
}

bool WaitHidden(const char* className, const char* caption, DWORD ms) {
    return Poll(ms, [&] { return FindVisible(className, caption) == nullptr; });
}

bool WaitGone(const char* className, const char* caption, DWORD ms) {
    return Poll(ms, [&] { return FindWindowA(className, caption) == nullptr; });
}

bool WaitVisible(HWND hwnd, bool visible, DWORD ms) {
    return Poll(ms, [&] { return (IsWindow(hwnd) && IsWindowVisible(hwnd)) == visible; });
}

WindowInfo Describe(HWND h) {
    WindowInfo w;
    w.hwnd = h;
    GetWindowThreadProcessId(h, &w.pid);
    w.visible = IsWindowVisible(h) != FALSE;
    w.style = GetWindowLongA(h, GWL_STYLE);
    w.exStyle = GetWindowLongA(h, GWL_EXSTYLE);
    w.id = GetWindowLongPtrA(h, GWLP_ID);
    w.owner = GetWindow(h, GW_OWNER);
    w.className = ClassOf(h);
    w.caption = CaptionOf(h);
    GetWindowRect(h, &w.rect);
    return w;
}

std::vector<WindowInfo> TopLevelWindows() {
    std::vector<WindowInfo> all;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<WindowInfo> WindowsOfProcess(DWORD pid) {
    std::vector<WindowInfo> mine;
    for (const WindowInfo& w : TopLevelWindows())
        if (w.pid == pid) mine.push_back(w);
    return mine;
}

std::vector<WindowInfo> Children(HWND parent) {
    std::vector<WindowInfo> kids;
    EnumChildWindows(parent, CollectTopLevel, reinterpret_cast<LPARAM>(&kids));
    return kids;
}

HWND FindChild(HWND parent, const char* className, const char* caption) {
    for (const WindowInfo& w : Children(parent))
        if ((!className || _stricmp(w.className.c_str(), className) == 0) && (!caption || w.caption == caption))
            return w.hwnd;
    return nullptr;
}

POINT Center(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool Activate(HWND hwnd, DWORD ms) {
    return Poll(ms, [&] {
        if (GetForegroundWindow() == hwnd) return true;
        SetForegroundWindow(hwnd);
        return GetForegroundWindow() == hwnd;
    });
}

bool CloseWindow(const char* className, const char* caption, DWORD ms) {
    std::vector<HANDLE> owners;
    for (HWND h : FindAll(className, caption)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, pid)) owners.push_back(p);
        PostMessageA(h, WM_CLOSE, 0, 0);
    }
    if (owners.empty()) return false;
    const DWORD start = GetTickCount();
    bool all = true;
    for (HANDLE p : owners) {
        const DWORD spent = GetTickCount() - start;
        if (WaitForSingleObject(p, spent >= ms ? 0 : ms - spent) != WAIT_OBJECT_0) all = false;
        CloseHandle(p);
    }
    return all;
}

// --- Input -------------------------------------------------------------------

void KeyDown(WORD vk, DWORD flags) {
    std::vector<INPUT> in{KeyInput(vk, flags & ~static_cast<DWORD>(KEYEVENTF_KEYUP))};
    SendKeys(in);
}

void KeyUp(WORD vk, DWORD flags) {
    std::vector<INPUT> in{KeyInput(vk, flags | KEYEVENTF_KEYUP)};
    SendKeys(in);
}

void Key(WORD vk, DWORD flags) {
    std::vector<INPUT> in{KeyInput(vk, flags & ~static_cast<DWORD>(KEYEVENTF_KEYUP)),
                          KeyInput(vk, flags | KEYEVENTF_KEYUP)};
    SendKeys(in);
}

void Chord(const std::vector<WORD>& vks) {
    std::vector<INPUT> in;
    for (WORD vk : vks) in.push_back(KeyInput(vk, 0));
    for (auto it = vks.rbegin(); it != vks.rend(); ++it) in.push_back(KeyInput(*it, KEYEVENTF_KEYUP));
    SendKeys(in);
}

bool MouseMove(int x, int y) {
    INPUT in = AbsoluteMouseInput(x, y, 0);
    SendInput(1, &in, sizeof in);
    // The button events must not overtake the move, or hover handling sees them first.
    return Poll(2000, [&] {
        POINT p{};
        return GetCursorPos(&p) && p.x == x && p.y == y;
    });
}

namespace {

LRESULT CALLBACK PassMouseOn(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

QuietPointer::QuietPointer() {
    SetCursorPos(1, 1);
    thread_ = std::thread([this] {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
        HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, &PassMouseOn, GetModuleHandleA(nullptr), 0);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            threadId_ = GetCurrentThreadId();
            installed_ = hook != nullptr;
            started_ = true;
        }
        ready_.notify_one();
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        if (hook) UnhookWindowsHookEx(hook);
    });
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return started_; });
}

QuietPointer::~QuietPointer() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void Click(int x, int y) { MouseButtons(x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1); }
void RightClick(int x, int y) { MouseButtons(x, y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1); }
void DoubleClick(int x, int y) { MouseButtons(x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2); }

// --- Screen, taskbar, tray, menus --------------------------------------------

int Dpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

SIZE ScreenSize() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

RECT WorkArea() {
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

HWND Taskbar() { return FindWindowA("Shell_TrayWnd", nullptr); }

RECT TaskbarRect() {
    RECT r{};
    if (HWND t = Taskbar()) GetWindowRect(t, &r);
    return r;
}

POINT TrayIconCenter(int n) {
    const RECT bar = TaskbarRect();
    const int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    return POINT{bar.right - cell * (n + 1) + cell / 2, (bar.top + bar.bottom) / 2};
}

std::vector<WindowInfo> TaskbarButtons() {
    std::vector<WindowInfo> buttons;
    HWND bar = Taskbar();
    if (!bar) return buttons;
    // Wine hides a button when its window is hidden and destroys it only with the window.
    for (const WindowInfo& w : Children(bar))
        if (w.className == "Button" && w.id != 0 && w.visible) buttons.push_back(w);
    return buttons;
}

bool HasTaskbarButton(HWND app) {
    for (const WindowInfo& b : TaskbarButtons())
        if (reinterpret_cast<HWND>(b.id) == app) return true;
    return false;
}

HWND PopupMenu() { return FindVisible("#32768", nullptr); }

HWND WaitPopupMenu(DWORD ms) { return WaitWindow("#32768", nullptr, ms); }

bool WaitPopupMenuGone(DWORD ms) { return WaitHidden("#32768", nullptr, ms); }

HWND OpenTrayMenu(int icon, DWORD ms) {
    const POINT at = TrayIconCenter(icon);
    RightClick(at.x, at.y);
    return WaitPopupMenu(ms);
}

bool ChooseTrayMenuRow(int icon, const std::vector<MenuRow>& rows, size_t row, DWORD ms) {
    HWND menu = OpenTrayMenu(icon, ms);
    if (!menu) return false;
    const POINT item = MenuRowCenter(menu, rows, row);
    Click(item.x, item.y);
    return WaitPopupMenuGone(ms);
}

std::string TrayIconPixels(int n) {
    const POINT centre = TrayIconCenter(n);
    const int side = GetSystemMetrics(SM_CXSMICON);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = side;
    bi.bmiHeader.biHeight = -side;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, side, side, screen, centre.x - side / 2, centre.y - side / 2, SRCCOPY);
    GdiFlush();
    std::string pixels(static_cast<const char*>(bits), static_cast<size_t>(side * side * 4));
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool DeleteTrayIcon(HWND callbackWindow, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = callbackWindow;
    data.uID = id;
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

void BroadcastTaskbarCreated() {
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

std::string TrayTip(int n, DWORD ms) {
    const POINT icon = TrayIconCenter(n);
    std::string tip;
    const DWORD start = GetTickCount();
    // Onto the icon from beside it: the tip shows after the pointer has rested there. A busy
    // desktop can miss one rest, so the pointer comes again until the deadline.
    do {
        MouseMove(icon.x - GetSystemMetrics(SM_CXSMICON), icon.y);
        MouseMove(icon.x, icon.y);
        Poll(1500, [&] {
            HWND shown = FindVisible("tooltips_class32", nullptr);
            if (!shown) return false;
            char text[128] = "";
            DWORD_PTR length = 0;
            SendMessageTimeoutA(shown, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                                1000, &length);
            tip = text;
            return !tip.empty();
        });
    } while (tip.empty() && GetTickCount() - start < ms);
    return tip;
}

MenuLayout MenuMetrics() { return MenuMetrics(Dpi()); }

MenuLayout MenuMetrics(int dpi) {
    // Wine 8 with fonts-wine, measured in-process with GetMenuItemRect.
    if (dpi == 96) return MenuLayout{3, 16, 9};
    if (dpi == 120) return MenuLayout{3, 20, 11};
    if (dpi == 144) return MenuLayout{3, 23, 13};
    return MenuLayout{3, MulDiv(16, dpi, 96), MulDiv(9, dpi, 96)};
}

POINT MenuRowCenter(const RECT& menuRect, const std::vector<MenuRow>& rows, size_t index,
                    const MenuLayout& layout) {
    int y = menuRect.top + layout.border;
    for (size_t i = 0; i < index && i < rows.size(); ++i)
        y += rows[i] == MenuRow::Separator ? layout.separatorHeight : layout.itemHeight;
    const int h = index < rows.size() && rows[index] == MenuRow::Separator ? layout.separatorHeight
                                                                           : layout.itemHeight;
    return POINT{(menuRect.left + menuRect.right) / 2, y + h / 2};
}

POINT MenuRowCenter(HWND menu, const std::vector<MenuRow>& rows, size_t index) {
    RECT r{};
    GetWindowRect(menu, &r);
    return MenuRowCenter(r, rows, index, MenuMetrics());
}

// --- Pixels ------------------------------------------------------------------

COLORREF PixelRef(int x, int y) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

std::string Hex(COLORREF c) {
    if (c == CLR_INVALID) return "invalid";
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

std::string Pixel(int x, int y) { return Hex(PixelRef(x, y)); }

bool WaitPixel(int x, int y, const std::string& rrggbb, DWORD ms) {
    std::string want = rrggbb;
    for (char& c : want) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Poll(ms, [&] { return Pixel(x, y) == want; });
}

// --- Registry ----------------------------------------------------------------

std::string RegValue::String() const {
    std::string s(data.begin(), data.end());
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

DWORD RegValue::Dword() const {
    if (data.size() < 4) return 0;
    return static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
           static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
}

RegValue RegQuery(HKEY root, const std::string& subKey, const std::string& value, REGSAM extraAccess) {
    RegValue v;
    HKEY key = nullptr;
    v.error = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE | extraAccess, &key);
    if (v.error != ERROR_SUCCESS) return v;
    DWORD size = 0;
    v.error = RegQueryValueExA(key, value.c_str(), nullptr, &v.type, nullptr, &size);
    if (v.error == ERROR_SUCCESS) {
        v.data.resize(size);
        v.error = RegQueryValueExA(key, value.c_str(), nullptr, &v.type, v.data.data(), &size);
        v.data.resize(size);
    }
    RegCloseKey(key);
    return v;
}

bool ParseRoot(const std::string& key, HKEY* root, std::string* subKey) {
    static const struct {
        const char* name;
        HKEY root;
    } kRoots[] = {{"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                  {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                  {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                  {"HKU", HKEY_USERS},          {"HKEY_USERS", HKEY_USERS},
                  {"HKCC", HKEY_CURRENT_CONFIG}, {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}};
    const size_t slash = key.find('\\');
    const std::string head = key.substr(0, slash);
    for (const auto& r : kRoots) {
        if (_stricmp(head.c_str(), r.name) == 0) {
            *root = r.root;
            *subKey = slash == std::string::npos ? std::string() : key.substr(slash + 1);
            return true;
        }
    }
    return false;
}

RegValue RegQuery(const std::string& key, const std::string& value, REGSAM extraAccess) {
    HKEY root = nullptr;
    std::string sub;
    if (!ParseRoot(key, &root, &sub)) {
        RegValue v;
        v.error = ERROR_INVALID_PARAMETER;
        return v;
    }
    return RegQuery(root, sub, value, extraAccess);
}

bool RegDeleteValue(HKEY root, const std::string& subKey, const std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    const LONG rc = RegDeleteValueA(key, value.c_str());
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// --- Stand-in logs -----------------------------------------------------------

std::string StandinLogPath() {
    const char* p = std::getenv("STANDIN_LOG");
    return p ? p : "";
}

void ClearLog(const std::string& path) {
    if (!path.empty()) DeleteFileA(path.c_str());
}

LogLine ParseLogLine(const std::string& line) {
    LogLine l;
    l.raw = line;
    // The command line may hold '|' itself: the module is before the first bar, the folder after the last.
    const size_t first = line.find('|');
    const size_t last = line.rfind('|');
    if (first == std::string::npos || first == last) {
        l.commandLine = line;
        return l;
    }
    l.module = line.substr(0, first);
    l.commandLine = line.substr(first + 1, last - first - 1);
    l.folder = line.substr(last + 1);
    return l;
}

std::vector<LogLine> ReadLog(const std::string& path) {
    std::vector<LogLine> lines;
    // Shared read: a stand-in may be appending at this moment.
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(f);
    size_t pos = 0;
    // Only complete lines count: a line without its newline is still being written.
    for (size_t nl; (nl = text.find('\n', pos)) != std::string::npos; pos = nl + 1) {
        std::string line = text.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(ParseLogLine(line));
    }
    return lines;
}

bool WaitLogLines(const std::string& path, size_t n, DWORD ms, std::vector<LogLine>* lines) {
    std::vector<LogLine> got;
    const bool ok = Poll(ms, [&] {
        got = ReadLog(path);
        return got.size() >= n;
    });
    if (lines) *lines = got;
    return ok;
}

// --- Session -----------------------------------------------------------------

Process Session::Start(const std::string& commandLine, const char* folder, DWORD idleMs) {
    Process p = bench::Start(commandLine, folder, idleMs);
    if (p) {
        // Keep a handle of our own: the caller may close or kill the one it got.
        HANDLE dup = nullptr;
        DuplicateHandle(GetCurrentProcess(), p.handle, GetCurrentProcess(), &dup, 0, FALSE, DUPLICATE_SAME_ACCESS);
        Process mine;
        mine.handle = dup;
        mine.pid = p.pid;
        if (dup) started_.push_back(mine);
    }
    return p;
}

int Session::KillLeftovers() {
    int n = 0;
    for (Process& p : started_) {
        if (IsRunning(p)) ++n;
        Kill(p);
    }
    started_.clear();
    for (const std::string& image : images_) n += KillByImage(image);
    return n;
}

}  // namespace bench
