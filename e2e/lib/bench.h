// The end-to-end bench: drives real programs in the Wine desktop the way a user would,
// and reads back what they did (windows, pixels, registry, stand-in logs).
// Plain Win32, explicit A entry points. Every wait polls with a deadline.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

// Polling step of every Wait* function.
constexpr DWORD kPollMs = 20;

struct Process {
    HANDLE handle = nullptr;
    DWORD pid = 0;
    explicit operator bool() const { return handle != nullptr; }
};

struct WindowInfo {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    bool visible = false;
    LONG style = 0;
    LONG exStyle = 0;
    LONG_PTR id = 0;  // GWL_ID: for a taskbar button, the HWND of the window it stands for
    HWND owner = nullptr;
    std::string className;
    std::string caption;
    RECT rect{};
};

struct RegValue {
    LONG error = ERROR_FILE_NOT_FOUND;  // ERROR_SUCCESS when the value was read
    DWORD type = REG_NONE;
    std::vector<unsigned char> data;  // raw bytes as stored

    bool Found() const { return error == ERROR_SUCCESS; }
    std::string String() const;  // REG_SZ/REG_EXPAND_SZ without the terminating NULs
    DWORD Dword() const;         // REG_DWORD; 0 when the data is shorter
};

// One line of a stand-in log: "module|command line|current folder".
struct LogLine {
    std::string module;
    std::string commandLine;
    std::string folder;
    std::string raw;
};

// A popup menu row: a text item or a separator.
enum class MenuRow { Item, Separator };

struct MenuLayout {
    int border = 3;
    int itemHeight = 16;
    int separatorHeight = 9;
};

// Runs done() every kPollMs until it returns true; false once ms have passed (after a last try).
bool WaitFor(DWORD ms, const std::function<bool()>& done);

// --- Files and folders -------------------------------------------------------

// Folder of the running exe, with a trailing backslash. The programs under test are copied there.
std::string ExeDir();
// ExeDir() + name, e.g. ProgramPath("Tavisk.exe").
std::string ProgramPath(const std::string& exeName);
// Wraps a path in double quotes for a command line.
std::string Quote(const std::string& s);

// Holds a program's file, while it lives, the way Windows' loader holds a running program's:
// read and execute access, sharing read and delete but not write, mapped as an image. Another
// process can then neither write nor delete the file, but it can rename it.
class HeldImage {
public:
    explicit HeldImage(const std::string& path);
    HeldImage(const HeldImage&) = delete;
    HeldImage& operator=(const HeldImage&) = delete;
    ~HeldImage();
    bool Held() const { return view_ != nullptr; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE map_ = nullptr;
    void* view_ = nullptr;
};

// --- Processes ---------------------------------------------------------------

// CreateProcessA(NULL, cmdline, ...) then WaitForInputIdle(idleMs). folder NULL: the caller's.
// Returns an empty Process on failure (GetLastError() tells why).
Process Start(const std::string& commandLine, const char* folder = nullptr, DWORD idleMs = 10000);
// Waits for the process to end; stores its exit code. False at the deadline.
bool WaitExit(const Process& p, DWORD ms, DWORD* exitCode = nullptr);
// True while the process runs.
bool IsRunning(const Process& p);
// TerminateProcess, wait for it, close the handle.
void Kill(Process& p);
void Close(Process& p);
// Ends every process whose exe matches (case-insensitive): a bare file name matches any folder,
// a full path ("C:\\windows\\calc.exe") only that file. Returns the count.
int KillByImage(const std::string& exeName);
// Pids of the other running processes whose exe matches, as for KillByImage.
std::vector<DWORD> FindProcesses(const std::string& exeName);
// Full path of a process's exe, or "".
std::string ProcessImagePath(DWORD pid);

// --- Windows -----------------------------------------------------------------

// FindWindowA; NULL class or caption matches any.
HWND Find(const char* className, const char* caption);
// Polls until a *visible* top-level window matches. NULL at the deadline.
HWND WaitWindow(const char* className, const char* caption, DWORD ms);
// Polls until a matching window exists, visible or not.
HWND WaitExists(const char* className, const char* caption, DWORD ms);
// Polls until no visible window matches (a hidden one may remain).
bool WaitHidden(const char* className, const char* caption, DWORD ms);
// Polls until no window matches at all.
bool WaitGone(const char* className, const char* caption, DWORD ms);
// Polls until IsWindowVisible(hwnd) equals visible (a destroyed window counts as hidden).
bool WaitVisible(HWND hwnd, bool visible, DWORD ms);
WindowInfo Describe(HWND hwnd);
std::vector<WindowInfo> TopLevelWindows();
std::vector<WindowInfo> WindowsOfProcess(DWORD pid);
std::vector<WindowInfo> Children(HWND parent);
// First child (any depth) with that class and caption; NULL matches any.
HWND FindChild(HWND parent, const char* className, const char* caption);
// Screen centre of a window, e.g. a dialog's OK button.
POINT Center(HWND hwnd);
// SetForegroundWindow, then polls until it is the foreground window: keys go to the foreground.
bool Activate(HWND hwnd, DWORD ms = 2000);
// WM_CLOSE to every matching top-level window, then waits for its process to end. False at the deadline.
bool CloseWindow(const char* className, const char* caption, DWORD ms);

// --- Input (SendInput, so it reaches hooks, menus and dialogs alike) ---------

void KeyDown(WORD vk, DWORD flags = 0);
void KeyUp(WORD vk, DWORD flags = 0);
// Down then up in one SendInput call.
void Key(WORD vk, DWORD flags = 0);
// Presses the keys in order, releases them in reverse: Chord({VK_CONTROL, VK_MENU, 'T'}).
void Chord(const std::vector<WORD>& vks);
// Absolute move; returns when GetCursorPos reports the point (or after a deadline).
bool MouseMove(int x, int y);
void Click(int x, int y);
void RightClick(int x, int y);
void DoubleClick(int x, int y);

// While it lives, a low-level mouse hook of this process that passes every event on, on a thread
// that pumps its messages. Without one, Wine warps the X pointer for each injected move, and the
// desktop turns the crossing events of that warp into a late move back to where the pointer was.
// The X pointer is parked in the desktop's corner first, so that no window appears under it.
class QuietPointer {
public:
    QuietPointer();
    ~QuietPointer();
    QuietPointer(const QuietPointer&) = delete;
    QuietPointer& operator=(const QuietPointer&) = delete;
    bool Installed() const { return installed_; }

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    DWORD threadId_ = 0;
    bool installed_ = false;
    bool started_ = false;
};

// --- Screen, taskbar, tray, menus --------------------------------------------

int Dpi();  // LOGPIXELSY of the screen
SIZE ScreenSize();
RECT WorkArea();
HWND Taskbar();  // Shell_TrayWnd, or NULL
RECT TaskbarRect();
// Centre of tray icon n (0 = the first one added, at the far right).
POINT TrayIconCenter(int n);
// Visible Button children of the taskbar other than Start; each one's id is the app window's HWND.
std::vector<WindowInfo> TaskbarButtons();
bool HasTaskbarButton(HWND app);
// The visible popup menu window (#32768), or NULL.
HWND PopupMenu();
HWND WaitPopupMenu(DWORD ms);
bool WaitPopupMenuGone(DWORD ms);
// Right-clicks tray icon n; the popup menu that opened, or NULL at the deadline.
HWND OpenTrayMenu(int icon, DWORD ms);
// Opens the menu of tray icon n and clicks the row; false unless the menu opened and closed again.
bool ChooseTrayMenuRow(int icon, const std::vector<MenuRow>& rows, size_t row, DWORD ms);
// The pixels of tray icon n's square (SM_CXSMICON), as bytes: equal strings, the same picture.
std::string TrayIconPixels(int n);
// Takes an icon out of the tray as a restarting shell loses it: NIM_DELETE for that window and id.
bool DeleteTrayIcon(HWND callbackWindow, UINT id);
// What a new taskbar sends every top-level window: the registered "TaskbarCreated" message.
void BroadcastTaskbarCreated();
// Points at tray icon n and returns the text of the tip that shows, or "" at the deadline.
std::string TrayTip(int n, DWORD ms);
// Measured menu metrics for the current DPI.
MenuLayout MenuMetrics();
MenuLayout MenuMetrics(int dpi);
// Centre of row `index` of the menu drawn in `menuRect` with the given rows.
POINT MenuRowCenter(const RECT& menuRect, const std::vector<MenuRow>& rows, size_t index,
                    const MenuLayout& layout);
POINT MenuRowCenter(HWND menu, const std::vector<MenuRow>& rows, size_t index);

// --- Pixels ------------------------------------------------------------------

COLORREF PixelRef(int x, int y);  // CLR_INVALID when unreadable
std::string Pixel(int x, int y);  // "RRGGBB"
std::string Hex(COLORREF c);      // "RRGGBB"
// Polls until the pixel has the colour (RRGGBB, any case). False at the deadline.
bool WaitPixel(int x, int y, const std::string& rrggbb, DWORD ms);

// --- Registry ----------------------------------------------------------------

RegValue RegQuery(HKEY root, const std::string& subKey, const std::string& value, REGSAM extraAccess = 0);
// Root spelled out: "HKLM\\Software\\...", "HKCU\\...", "HKEY_LOCAL_MACHINE\\...".
RegValue RegQuery(const std::string& key, const std::string& value, REGSAM extraAccess = 0);
bool RegDeleteValue(HKEY root, const std::string& subKey, const std::string& value);
bool ParseRoot(const std::string& key, HKEY* root, std::string* subKey);

// --- Stand-in logs -----------------------------------------------------------

// The log that the stand-ins append to: %STANDIN_LOG%.
std::string StandinLogPath();
void ClearLog(const std::string& path);
std::vector<LogLine> ReadLog(const std::string& path);
// Polls until the log has at least n lines. False at the deadline; lines gets what was there.
bool WaitLogLines(const std::string& path, size_t n, DWORD ms, std::vector<LogLine>* lines = nullptr);
LogLine ParseLogLine(const std::string& line);

// --- Run-scoped cleanup ------------------------------------------------------

// Remembers processes and ends those still running when it goes out of scope.
class Session {
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { KillLeftovers(); }

    Process Start(const std::string& commandLine, const char* folder = nullptr, DWORD idleMs = 10000);
    // Also ends by image name, for programs that re-launch themselves or start helpers.
    void AlsoKill(const std::string& exeName) { images_.push_back(exeName); }
    // Ends every remembered process still running. Returns how many had to be ended.
    int KillLeftovers();

private:
    std::vector<Process> started_;
    std::vector<std::string> images_;
};

}  // namespace bench
