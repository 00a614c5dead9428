// The disc under Wine: the launcher on the staged disc tree starts the real installers, whose
// pages are driven by clicks; the programs they install run from the install folder with their
// icons; the uninstallers end them through their Exit path and take files and registry values
// away. The disc tree is the one the image is made of (build/<tree>/disc-iso, beside bin).
#include <gmock/gmock.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench_fixture.h"

// after windows.h
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

namespace {

using bench::MenuRow;

constexpr char kInstallDir[] = "C:\\Program Files\\Multimedia Keyboard\\";
constexpr char kUninstallRoot[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kAutostartValue[] = "MultimediaKeyboard";
constexpr char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kStartCaption[] = "Orvane Konstel Ver:1.0";
constexpr char kDriverPageCaption[] = "Konstel Ver:A1.0";
// An installer's pages and its file copy take a few seconds under Wine.
constexpr DWORD kWait = 15000;
const std::vector<MenuRow> kTrayMenuRows = {MenuRow::Item, MenuRow::Item};  // About, Exit

struct Product {
    const char* setupFolder;   // on the disc, beside the launcher
    const char* program;       // installed file
    const char* mainCaption;   // the program's main window
    const char* aboutCaption;  // its About box
    const char* name;          // DisplayName, and the wizard's caption before " Setup"
    const char* key;           // under ...\Uninstall
    const char* uninstaller;   // in the install folder
    const char* logOnValue;    // its value under HKLM ...\Run
    RECT button;               // its button on the launcher's driver page, client pixels
};

const Product kLed = {"Zevo LED",
                      "Lumora.exe",
                      "Keyboard LED Indicate",
                      "About",
                      "Keyboard LED Indicate",
                      "TarnovaKeyboardLed",
                      "Uninstall Lumora.exe",
                      "KeyboardLedIndicate",
                      {132, 215, 132 + 241, 215 + 41}};
const Product kDriver = {"2K Hot key",
                         "Tavisk.exe",
                         "KeyboardDriver",
                         "Multimedia Keyboard Driver",
                         "Multimedia Keyboard Driver",
                         "TarnovaKeyboardDriver",
                         "Uninstall Tavisk.exe",
                         kAutostartValue,
                         {132, 317, 132 + 241, 317 + 41}};
// The driver button on the start window.
constexpr RECT kKeyboardButton = {160, 309, 160 + 169, 309 + 33};

std::string Installed(const Product& p) { return std::string(kInstallDir) + p.program; }
std::string UninstallerPath(const Product& p) { return std::string(kInstallDir) + p.uninstaller; }
std::string UninstallKey(const Product& p) { return std::string(kUninstallRoot) + p.key; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Lower(std::string s) {
    if (!s.empty()) CharLowerA(&s[0]);
    return s;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, without "." and "..".
std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string n = fd.cFileName;
        if (n != "." && n != "..") names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

// The all-users Start menu's folder of both products, without a trailing backslash.
std::string StartMenuFolder() {
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\Multimedia Keyboard";
}
std::string StartMenuLink(const Product& p) { return StartMenuFolder() + "\\" + p.name + ".lnk"; }

struct Shortcut {
    bool loaded = false;
    std::string target;
    std::string folder;  // the working folder
};

Shortcut ReadShortcut(const std::string& lnk) {
    Shortcut s;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        std::wstring wide(lnk.begin(), lnk.end());
        char buf[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(buf, MAX_PATH, nullptr, 0))) {
            s.loaded = true;
            s.target = buf;
            buf[0] = 0;
            link->GetWorkingDirectory(buf, MAX_PATH);
            s.folder = buf;
        }
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return s;
}

// What waits for the restart to be deleted, in order: the sources of PendingFileRenameOperations
// whose target is empty, without the "\??\" prefix or a trailing backslash, lower case.
std::vector<std::string> PendingDeletes() {
    std::vector<std::string> deletes;
    const bench::RegValue v = bench::RegQuery(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    std::vector<std::string> items;
    std::string cur;
    for (unsigned char c : v.data) {
        if (c != 0) {
            cur += static_cast<char>(c);
            continue;
        }
        items.push_back(cur);
        cur.clear();
    }
    // Pairs of source and target, then the empty string that ends the list.
    for (size_t i = 0; i + 1 < items.size() && !items[i].empty(); i += 2) {
        if (!items[i + 1].empty()) continue;
        std::string src = items[i];
        if (src.rfind("\\??\\", 0) == 0) src.erase(0, 4);
        if (!src.empty() && src.back() == '\\') src.pop_back();  // a folder may end in one
        deletes.push_back(Lower(src));
    }
    return deletes;
}

// Disables a builtin program of Wine for the processes that start while it lives. Wine reads
// WINEDLLOVERRIDES from the Unix environment, which a Windows process cannot change for its
// children, and its registry key as each process starts.
class WineDisabled {
public:
    explicit WineDisabled(const char* exe) : name_(exe) {
        had_ = bench::RegQuery(HKEY_CURRENT_USER, kOverrides, exe).Found();
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, kOverrides, &key) != ERROR_SUCCESS) return;
        RegSetValueExA(key, exe, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
    }
    WineDisabled(const WineDisabled&) = delete;
    WineDisabled& operator=(const WineDisabled&) = delete;
    ~WineDisabled() {
        if (!had_) bench::RegDeleteValue(HKEY_CURRENT_USER, kOverrides, name_);
    }

private:
    static constexpr const char* kOverrides = "Software\\Wine\\DllOverrides";
    const char* name_;
    bool had_ = false;
};

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = "";
    GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return full;
}

// The disc tree the image is made of, with a trailing backslash.
std::string DiscDir() { return FullPath(bench::ExeDir() + "..\\disc-iso") + "\\"; }

// The visible top-level windows, for a failure message.
std::string Windows() {
    std::string all;
    for (const auto& w : bench::TopLevelWindows())
        if (w.visible) all += "\n  " + w.className + " '" + w.caption + "'";
    return all;
}

std::string RegString(const std::string& key, const char* value) { return bench::RegQuery(key, value).String(); }

// Processes whose exe lies under a folder (case-insensitive), e.g. the uninstaller's own copy,
// which NSIS runs from a "~nsu" folder in %TEMP% so that the original can be deleted.
std::vector<DWORD> ProcessesWhosePathHas(const std::string& part) {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    std::string want = part;
    CharLowerA(&want[0]);
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
        std::string path = bench::ProcessImagePath(pe.th32ProcessID);
        if (path.empty()) continue;
        CharLowerA(&path[0]);
        if (path.find(want) != std::string::npos) pids.push_back(pe.th32ProcessID);
    }
    CloseHandle(snap);
    return pids;
}

// The process that started this one, as the system recorded it.
DWORD ParentOf(DWORD pid) {
    DWORD parent = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
        if (pe.th32ProcessID == pid) parent = pe.th32ParentProcessID;
    }
    CloseHandle(snap);
    return parent;
}

void ClickAt(HWND window, const RECT& clientRect) {
    POINT p{(clientRect.left + clientRect.right) / 2, (clientRect.top + clientRect.bottom) / 2};
    ClientToScreen(window, &p);
    bench::Click(p.x, p.y);
}

// The wizard window with that caption. Its pages add a subcaption to it, which may be a blank.
HWND WaitWizard(const std::string& caption) {
    HWND found = nullptr;
    bench::WaitFor(kWait, [&] {
        for (const auto& w : bench::TopLevelWindows()) {
            std::string c = w.caption;
            while (!c.empty() && c.back() == ' ') c.pop_back();
            if (w.visible && w.className == "#32770" && c == caption) found = w.hwnd;
        }
        return found != nullptr;
    });
    return found;
}

// A click that comes as a window or its button appears can get lost (more often where 32-bit
// code runs through an emulator): clicks again until the window goes.
bool ClickUntilGone(HWND window, HWND button) {
    const POINT at = bench::Center(button);
    return bench::WaitFor(kWait, [&] {
        bench::Click(at.x, at.y);
        return bench::WaitFor(1000, [&] { return !IsWindow(window); });
    });
}

// Waits for a visible, enabled button of the wizard with that caption.
HWND WaitWizardButton(HWND wizard, const char* caption) {
    HWND button = nullptr;
    const bool ready = bench::WaitFor(kWait, [&] {
        button = bench::FindChild(wizard, "Button", caption);
        return button && IsWindowVisible(button) && IsWindowEnabled(button);
    });
    return ready ? button : nullptr;
}

bool ClickWizardButton(HWND wizard, const char* caption) {
    HWND button = WaitWizardButton(wizard, caption);
    if (!button) return false;
    const POINT at = bench::Center(button);
    bench::Click(at.x, at.y);
    return true;
}

// The wizard's last button (Finish, Close), clicked until the wizard has gone.
bool CloseWizardWith(HWND wizard, const char* caption) {
    HWND button = WaitWizardButton(wizard, caption);
    return button && ClickUntilGone(wizard, button);
}

class Disc : public bench::BenchTest {
protected:
    void SetUp() override {
        BenchTest::SetUp();
        disc = DiscDir();
        // Started by the launcher or by NSIS, not by the test: ended by name if still running.
        session.AlsoKill("Setup.exe");
        session.AlsoKill("Vandrel.exe");
        // Wine would otherwise turn each Start-menu shortcut into a menu entry of the Linux desktop.
        noMenuBuilder_.reset(new WineDisabled("winemenubuilder.exe"));
        RemoveEverything();
    }

    // Ends the programs the way Windows would, by closing their windows, so that no dead icon is
    // left in the tray for the next test, and leaves no install behind for the later tests.
    void TearDown() override {
        for (const Product* p : {&kLed, &kDriver}) {
            for (const auto& w : bench::TopLevelWindows()) {
                if (w.caption == p->mainCaption || (w.caption == p->aboutCaption && w.visible &&
                                                    ProcessOf(w.hwnd) == ProgramPid(*p)))
                    PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
            }
        }
        bench::WaitFor(kWait, [] {
            return bench::FindProcesses("Lumora.exe").empty() && bench::FindProcesses("Tavisk.exe").empty() &&
                   ProcessesWhosePathHas("\\~nsu").empty();
        });
        // An uninstaller's copy left waiting on a page counts as a leftover too.
        int uninstallers = 0;
        for (DWORD pid : ProcessesWhosePathHas("\\~nsu")) {
            bench::Process p{OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid), pid};
            if (p) {
                bench::Kill(p);
                ++uninstallers;
            }
        }
        EXPECT_EQ(uninstallers, 0) << "an uninstaller was still running at the end of the test";
        for (auto& w : watched_) bench::Close(w);
        RemoveEverything();
        noMenuBuilder_.reset();
        BenchTest::TearDown();
    }

    static DWORD ProcessOf(HWND hwnd) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        return pid;
    }
    static DWORD ProgramPid(const Product& p) {
        const auto pids = bench::FindProcesses(Installed(p));
        return pids.empty() ? 0 : pids.front();
    }

    // Also what a test left for the restart: files moved aside, and the list of deletes.
    static void RemoveEverything() {
        for (const std::string& n : FilesIn(kInstallDir)) DeleteFileA((kInstallDir + n).c_str());
        for (const Product* p : {&kLed, &kDriver}) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
                                               p->key).c_str());
            bench::RegDeleteValue(HKEY_LOCAL_MACHINE, kRunKey, p->logOnValue);
            DeleteFileA(StartMenuLink(*p).c_str());
        }
        RemoveDirectoryA(kInstallDir);
        RemoveDirectoryA(StartMenuFolder().c_str());
        bench::RegDeleteValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    }

    // /S, with the installer's last step, the start through explorer.exe, refused: the program
    // would write its own autostart value and hide one the installer failed to write. The exit code.
    DWORD InstallWithoutStart(const Product& p) {
        WineDisabled noStart("explorer.exe");
        bench::Process install = session.Start(bench::Quote(disc + p.setupFolder + "\\Setup.exe") + " /S");
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(install && bench::WaitExit(install, kWait, &code)) << p.setupFolder << " did not run to its end";
        // explorer.exe would have started the program by now, had it started.
        EXPECT_FALSE(bench::WaitFor(1000, [&] { return !bench::FindProcesses(p.program).empty(); }))
            << "the installer's start was not refused";
        return code;
    }

    // Until every program is built, the disc tree lacks the launcher or an installer.
    bool Lacks(const Product& p) const {
        return !Exists(disc + "Vandrel.exe") || !Exists(disc + p.setupFolder + "\\Setup.exe");
    }

    // From the launcher's start window to its driver page, then the product's button.
    void RunInstallerFromLauncher(const Product& p) {
        bench::Process launcher = session.Start(bench::Quote(disc + "Vandrel.exe"), disc.c_str());
        ASSERT_TRUE(launcher) << "the launcher did not start from " << disc;
        HWND start = bench::WaitWindow(nullptr, kStartCaption, kWait);
        ASSERT_NE(start, nullptr) << "no start window";
        ClickAt(start, kKeyboardButton);
        HWND page = bench::WaitWindow(nullptr, kDriverPageCaption, kWait);
        ASSERT_NE(page, nullptr) << "no driver page";
        ClickAt(page, p.button);
        EXPECT_TRUE(bench::WaitExit(launcher, kWait)) << "the launcher did not end after starting the installer";
    }

    // Welcome page: Install; the files are copied; finish page: Finish.
    void DriveInstallerPages(const Product& p) {
        const std::string caption = std::string(p.name) + " Setup";
        HWND wizard = WaitWizard(caption);
        ASSERT_NE(wizard, nullptr) << "no window '" << caption << "'" << Windows();
        ASSERT_TRUE(ClickWizardButton(wizard, "&Install")) << "no Install button on the welcome page";
        EXPECT_TRUE(CloseWizardWith(wizard, "&Finish")) << "no Finish button after the install, or it did not close";
    }

    // The program runs from the install folder, once, and its tray icon opens its menu.
    DWORD ExpectRunningWithIcon(const Product& p, int iconCell = 0) {
        DWORD pid = 0;
        EXPECT_TRUE(bench::WaitFor(kWait, [&] { return (pid = ProgramPid(p)) != 0; }))
            << p.program << " was not started from " << kInstallDir;
        HWND main = bench::WaitExists(nullptr, p.mainCaption, kWait);
        EXPECT_NE(main, nullptr);
        EXPECT_EQ(ProcessOf(main), pid);
        EXPECT_THAT(bench::FindProcesses(p.program), ::testing::ElementsAre(pid));
        // The window exists before its load handler has added the icon: try until the menu opens.
        EXPECT_TRUE(bench::WaitFor(kWait, [&] { return IconMenuOwner(iconCell, 300) == pid; }))
            << "no tray icon of " << p.program;
        Watch(pid);
        return pid;
    }

    // Keeps a handle on a program the test saw running, to read how it ended.
    void Watch(DWORD pid) {
        for (const auto& w : watched_)
            if (w.pid == pid) return;
        bench::Process p{OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid), pid};
        if (p) watched_.push_back(p);
    }

    // Ended through its Exit path: exit code 0. A program the uninstaller had to terminate
    // leaves 1 (and a dead icon until the mouse passes over it).
    void ExpectEndedByItsExit(DWORD pid) {
        for (auto& w : watched_) {
            if (w.pid != pid) continue;
            DWORD code = STILL_ACTIVE;
            EXPECT_TRUE(bench::WaitExit(w, kWait, &code)) << "process " << pid << " still runs";
            EXPECT_EQ(code, 0u) << "process " << pid << " was ended by force";
            return;
        }
        ADD_FAILURE() << "process " << pid << " was not watched";
    }

    // Right click on a tray cell: the process whose menu opens, or 0.
    static DWORD IconMenuOwner(int cell, DWORD waitMs = kWait) {
        const POINT icon = bench::TrayIconCenter(cell);
        bench::RightClick(icon.x, icon.y);
        HWND menu = bench::WaitPopupMenu(waitMs);
        if (!menu) return 0;
        const DWORD owner = ProcessOf(menu);
        bench::Key(VK_ESCAPE);
        bench::WaitPopupMenuGone(kWait);
        return owner;
    }

    void ExpectRegistered(const Product& p) {
        const std::string key = UninstallKey(p);
        EXPECT_EQ(RegString(key, "DisplayName"), p.name);
        EXPECT_EQ(RegString(key, "Publisher"), "Tarnova");
        EXPECT_EQ(RegString(key, "DisplayVersion"), "1.1.0");
        EXPECT_EQ(RegString(key, "DisplayIcon"), Installed(p) + ",0");
        EXPECT_EQ(RegString(key, "UninstallString"), bench::Quote(UninstallerPath(p)));
        EXPECT_EQ(RegString(key, "QuietUninstallString"), bench::Quote(UninstallerPath(p)) + " /S");
        EXPECT_EQ(bench::RegQuery(key, "NoModify").Dword(), 1u);
        EXPECT_EQ(bench::RegQuery(key, "NoRepair").Dword(), 1u);
        EXPECT_TRUE(Exists(UninstallerPath(p)));
    }

    void ExpectAutostartNamesTheInstalledDriver() {
        const bench::RegValue value = bench::RegQuery(std::string("HKLM\\") + kRunKey, kAutostartValue);
        ASSERT_TRUE(value.Found()) << "no autostart value";
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.String(), bench::Quote(Installed(kDriver)));
    }

    // The command that Add/Remove Programs runs, with /S.
    void UninstallSilently(const Product& p) {
        bench::Process un = session.Start(RegString(UninstallKey(p), "UninstallString") + " /S");
        ASSERT_TRUE(un) << "the uninstaller did not start";
        // The uninstaller hands over to its copy in %TEMP% and ends; the copy does the work.
        EXPECT_TRUE(bench::WaitExit(un, kWait));
        EXPECT_TRUE(bench::WaitFor(kWait, [] { return ProcessesWhosePathHas("\\~nsu").empty(); }))
            << "the uninstaller's copy did not end";
    }

    // Through the uninstaller's pages: Uninstall, then Close. With a message expected on the way,
    // waits for it, answers it with OK and returns its text.
    std::string UninstallThroughPages(const Product& p, bool message = false) {
        bench::Process un = session.Start(RegString(UninstallKey(p), "UninstallString"));
        EXPECT_TRUE(un) << "the uninstaller did not start";
        const std::string caption = std::string(p.name) + " Uninstall";
        HWND wizard = WaitWizard(caption);
        EXPECT_NE(wizard, nullptr) << "no window '" << caption << "'" << Windows();
        if (!wizard || !ClickWizardButton(wizard, "&Uninstall")) return "";
        std::string text;
        if (message) {
            const DWORD pid = ProcessOf(wizard);
            HWND box = nullptr;
            bench::WaitFor(kWait, [&] {
                for (const auto& w : bench::TopLevelWindows())
                    if (w.visible && w.pid == pid && w.className == "#32770" && w.hwnd != wizard) box = w.hwnd;
                return box != nullptr;
            });
            EXPECT_NE(box, nullptr) << "no message from the uninstaller";
            HWND ok = box ? bench::FindChild(box, "Button", "OK") : nullptr;
            if (ok) {
                for (const auto& c : bench::Children(box))
                    if (c.className == "Static") text += c.caption;
                EXPECT_TRUE(ClickUntilGone(box, ok)) << "the message did not close";
            }
        }
        EXPECT_TRUE(CloseWizardWith(wizard, "&Close")) << "no Close button, or the wizard did not close";
        EXPECT_TRUE(bench::WaitFor(kWait, [] { return ProcessesWhosePathHas("\\~nsu").empty(); }));
        return text;
    }

    void ExpectRemoved(const Product& p, DWORD pid) {
        ExpectEndedByItsExit(pid);
        EXPECT_TRUE(bench::WaitFor(kWait, [&] { return bench::FindProcesses(p.program).empty(); }))
            << p.program << " still runs";
        EXPECT_EQ(bench::Find(nullptr, p.mainCaption), nullptr);
        EXPECT_FALSE(Exists(Installed(p)));
        EXPECT_FALSE(Exists(UninstallerPath(p)));
        EXPECT_FALSE(bench::RegQuery(UninstallKey(p), "DisplayName").Found());
    }

    // The icon went with the program, by its own Exit path: nothing opens there any more.
    static void ExpectNoIcon(int cell = 0) { EXPECT_EQ(IconMenuOwner(cell, 500), 0u) << "a tray icon is left"; }

    std::string disc;

private:
    std::vector<bench::Process> watched_;
    std::unique_ptr<WineDisabled> noMenuBuilder_;
};

TEST_F(Disc, LedButtonInstallsTheIndicatorWhichTheUninstallerRemovesAgain) {
    if (Lacks(kLed)) GTEST_SKIP() << disc << " lacks the launcher or the indicator's installer";
    RunInstallerFromLauncher(kLed);
    DriveInstallerPages(kLed);
    ASSERT_TRUE(Exists(Installed(kLed)));
    const DWORD pid = ExpectRunningWithIcon(kLed);
    ExpectRegistered(kLed);
    EXPECT_FALSE(bench::RegQuery(std::string("HKLM\\") + kRunKey, kAutostartValue).Found())
        << "the indicator's installer wrote the driver's autostart value";

    UninstallSilently(kLed);
    ExpectRemoved(kLed, pid);
    ExpectNoIcon();
    EXPECT_FALSE(Exists(kInstallDir)) << "the empty install folder is left";
}

TEST_F(Disc, DriverButtonInstallsTheDriverWhoseUninstallerPagesRemoveItAndItsAutostart) {
    if (Lacks(kDriver)) GTEST_SKIP() << disc << " lacks the launcher";
    RunInstallerFromLauncher(kDriver);
    DriveInstallerPages(kDriver);
    ASSERT_TRUE(Exists(Installed(kDriver)));
    const DWORD pid = ExpectRunningWithIcon(kDriver);
    ExpectRegistered(kDriver);
    ExpectAutostartNamesTheInstalledDriver();

    // Through the uninstaller's pages this time.
    UninstallThroughPages(kDriver);

    ExpectRemoved(kDriver, pid);
    ExpectNoIcon();
    EXPECT_FALSE(bench::RegQuery(std::string("HKLM\\") + kRunKey, kAutostartValue).Found())
        << "the autostart value is left";
    EXPECT_FALSE(Exists(kInstallDir));
}

// /S installs without a page and starts the program all the same; run again, it ends the
// running copy first (a new copy would only hand off to it) and starts the new one.
TEST_F(Disc, SilentInstallStartsTheDriverAndReplacesARunningCopy) {
    const std::string setup = disc + kDriver.setupFolder + "\\Setup.exe";
    ASSERT_TRUE(Exists(setup)) << setup;
    bench::Process first = session.Start(bench::Quote(setup) + " /S");
    ASSERT_TRUE(first);
    DWORD code = 1;
    EXPECT_TRUE(bench::WaitExit(first, kWait, &code));
    EXPECT_EQ(code, 0u);
    const DWORD before = ExpectRunningWithIcon(kDriver);
    // Started by the shell, not by the installer, whose administrator's token it would inherit.
    EXPECT_NE(ParentOf(before), first.pid) << "the installer started the program itself";
    ExpectRegistered(kDriver);
    ExpectAutostartNamesTheInstalledDriver();

    bench::Process again = session.Start(bench::Quote(setup) + " /S");
    ASSERT_TRUE(again);
    EXPECT_TRUE(bench::WaitExit(again, kWait, &code));
    EXPECT_EQ(code, 0u);
    DWORD after = 0;
    EXPECT_TRUE(bench::WaitFor(kWait, [&] { return (after = ProgramPid(kDriver)) != 0 && after != before; }))
        << "the running driver was not replaced";
    EXPECT_EQ(ExpectRunningWithIcon(kDriver), after);
    ExpectEndedByItsExit(before);
    ExpectNoIcon(1);  // the old copy took its icon with it

    UninstallSilently(kDriver);
    ExpectRemoved(kDriver, after);
    EXPECT_FALSE(bench::RegQuery(std::string("HKLM\\") + kRunKey, kAutostartValue).Found());
}

// An open About box keeps a program alive after its main window has gone (the program ends when
// no window of it is left): the uninstaller closes that box too.
TEST_F(Disc, UninstallEndsTheDriverAlsoWithItsAboutBoxOpen) {
    const std::string setup = disc + kDriver.setupFolder + "\\Setup.exe";
    bench::Process install = session.Start(bench::Quote(setup) + " /S");
    ASSERT_TRUE(install);
    ASSERT_TRUE(bench::WaitExit(install, kWait));
    const DWORD pid = ExpectRunningWithIcon(kDriver);
    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    HWND menu = bench::WaitPopupMenu(kWait);
    ASSERT_NE(menu, nullptr);
    const POINT about = bench::MenuRowCenter(menu, kTrayMenuRows, 0);
    bench::Click(about.x, about.y);
    ASSERT_NE(bench::WaitWindow(nullptr, kDriver.aboutCaption, kWait), nullptr);

    UninstallSilently(kDriver);
    ExpectRemoved(kDriver, pid);
    EXPECT_EQ(bench::Find(nullptr, kDriver.aboutCaption), nullptr);
    ExpectNoIcon();
}

// Both products share the install folder: it goes with the last of them, and removing one leaves
// the other installed and running.
TEST_F(Disc, TheSharedFolderGoesWithTheLastProduct) {
    if (Lacks(kLed)) GTEST_SKIP() << disc << " lacks the launcher or the indicator's installer";
    DWORD pids[2] = {};
    int cell = 0;
    for (const Product* p : {&kDriver, &kLed}) {
        bench::Process install = session.Start(bench::Quote(disc + p->setupFolder + "\\Setup.exe") + " /S");
        ASSERT_TRUE(install);
        ASSERT_TRUE(bench::WaitExit(install, kWait));
        // The shell starts the program after the installer has ended: the next one could overtake it.
        pids[cell] = ExpectRunningWithIcon(*p, cell);
        ++cell;
    }
    const DWORD driver = pids[0];
    const DWORD led = pids[1];

    UninstallSilently(kLed);
    ExpectRemoved(kLed, led);
    EXPECT_TRUE(Exists(Installed(kDriver)));
    EXPECT_TRUE(bench::RegQuery(UninstallKey(kDriver), "DisplayName").Found());
    EXPECT_EQ(ProgramPid(kDriver), driver);

    UninstallSilently(kDriver);
    ExpectRemoved(kDriver, driver);
    EXPECT_FALSE(Exists(kInstallDir));
}

// Each installer leaves a log-on start and a Start-menu shortcut of its own, without the program's
// help (it is not started here); each uninstaller takes its own, the last one the shared folder.
TEST_F(Disc, InstallersLeaveLogOnStartsAndShortcutsWhichTheUninstallersTakeAway) {
    if (Lacks(kLed)) GTEST_SKIP() << disc << " lacks the indicator's installer";
    for (const Product* p : {&kDriver, &kLed}) EXPECT_EQ(InstallWithoutStart(*p), 0u) << p->setupFolder;

    const std::string runKey = std::string("HKLM\\") + kRunKey;
    // The driver's data is the very string the driver writes at every start.
    const bench::RegValue driverRun = bench::RegQuery(runKey, kDriver.logOnValue);
    EXPECT_EQ(driverRun.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(driverRun.String(), "\"C:\\Program Files\\Multimedia Keyboard\\Tavisk.exe\"");
    const bench::RegValue ledRun = bench::RegQuery(runKey, kLed.logOnValue);
    EXPECT_EQ(ledRun.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ledRun.String(), bench::Quote(Installed(kLed)));
    for (const Product* p : {&kDriver, &kLed}) {
        const Shortcut link = ReadShortcut(StartMenuLink(*p));
        EXPECT_TRUE(link.loaded) << "no shortcut " << StartMenuLink(*p);
        EXPECT_EQ(Lower(link.target), Lower(Installed(*p)));
        EXPECT_EQ(Lower(link.folder + "\\"), Lower(kInstallDir));
    }

    UninstallSilently(kDriver);
    EXPECT_FALSE(bench::RegQuery(runKey, kDriver.logOnValue).Found());
    EXPECT_FALSE(Exists(StartMenuLink(kDriver)));
    EXPECT_TRUE(Exists(StartMenuLink(kLed))) << "the driver's uninstaller took the indicator's shortcut";
    EXPECT_TRUE(bench::RegQuery(runKey, kLed.logOnValue).Found());

    UninstallSilently(kLed);
    for (const Product* p : {&kDriver, &kLed}) {
        EXPECT_FALSE(bench::RegQuery(runKey, p->logOnValue).Found()) << p->logOnValue;
        EXPECT_FALSE(bench::RegQuery(UninstallKey(*p), "DisplayName").Found()) << p->key;
    }
    EXPECT_FALSE(Exists(StartMenuFolder())) << "the Start-menu folder is left";
    EXPECT_FALSE(Exists(kInstallDir)) << "the install folder is left";
}

// A copy running in another user's session, which the installers cannot find and end, holds its
// file: a reinstall moves the old file aside and installs the new one, an uninstall removes
// everything else; what is held goes at the restart, which each of them reports.
TEST_F(Disc, AFileHeldAsByAnotherSessionsCopyGoesAtTheRestart) {
    ASSERT_EQ(InstallWithoutStart(kDriver), 0u);
    // An older driver (any other program will do) runs for another user.
    const std::string oldProgram = FileBytes(bench::ProgramPath("standin.exe"));
    ASSERT_TRUE(CopyFileA(bench::ProgramPath("standin.exe").c_str(), Installed(kDriver).c_str(), FALSE));
    bench::HeldImage old(Installed(kDriver));
    ASSERT_TRUE(old.Held());

    EXPECT_EQ(InstallWithoutStart(kDriver), 3010u) << "a silent reinstall does not say that a restart is needed";
    EXPECT_TRUE(FileBytes(Installed(kDriver)) == FileBytes(bench::ProgramPath("Tavisk.exe")))
        << "the new driver is not in place";
    std::vector<std::string> aside;
    for (const std::string& n : FilesIn(kInstallDir))
        if (FileBytes(kInstallDir + n) == oldProgram) aside.push_back(Lower(kInstallDir + n));
    ASSERT_EQ(aside.size(), 1u) << "the old driver is not in the install folder under one other name";
    EXPECT_THAT(PendingDeletes(), ::testing::ElementsAre(aside[0]));

    // The new driver runs for the other user too when this one removes it.
    bench::HeldImage current(Installed(kDriver));
    ASSERT_TRUE(current.Held());
    EXPECT_THAT(UninstallThroughPages(kDriver, true), ::testing::HasSubstr("restart"));
    EXPECT_FALSE(Exists(Installed(kDriver)));
    EXPECT_FALSE(bench::RegQuery(UninstallKey(kDriver), "DisplayName").Found());
    EXPECT_FALSE(bench::RegQuery(std::string("HKLM\\") + kRunKey, kAutostartValue).Found());
    EXPECT_FALSE(Exists(StartMenuFolder()));
    // Left: the two held files, each deleted at the restart, and after them the folder.
    const std::vector<std::string> pending = PendingDeletes();
    const std::vector<std::string> left = FilesIn(kInstallDir);
    EXPECT_EQ(left.size(), 2u);
    const auto at = [&](const std::string& path) {
        return std::find(pending.begin(), pending.end(), Lower(path)) - pending.begin();
    };
    const auto folder = at(std::string(kInstallDir, sizeof kInstallDir - 2));
    EXPECT_LT(folder, static_cast<long>(pending.size()))
        << "the install folder does not go at the restart:\n  " << ::testing::PrintToString(pending);
    for (const std::string& n : left) EXPECT_LT(at(kInstallDir + n), folder) << n << " does not go before its folder";
}

}  // namespace
