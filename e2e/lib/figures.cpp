#include "figures.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

namespace {

std::string ReadText(const std::string& path) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(h);
    return text;
}

long Field(const std::string& status, const std::string& name) {
    const size_t at = status.find(name + ":");
    return at == std::string::npos ? 0 : std::atol(status.c_str() + at + name.size() + 1);
}

bool IsNumber(const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; }

// Names of the numeric entries of a /proc folder, read through Wine's Z: drive.
std::vector<std::string> NumericEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (IsNumber(found.cFileName)) names.push_back(found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

bool GuiResourcesWork() {
    // Our own process holds a DC now, so a working GetGuiResources cannot answer 0.
    HDC dc = GetDC(nullptr);
    ReleaseDC(nullptr, dc);
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) > 0;
}

// Wine keeps each process's GDI objects in a table that its PEB points to (GdiSharedHandleTable);
// every entry in use has a non-zero type. The entries have 64-bit fields in 32-bit processes
// too; only the PEB's offset differs (the 32-bit one not tried: this host runs no 32-bit code).
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "24-byte GDI handle entry");
constexpr size_t kGdiHandles = 0x10000;
#if defined(_WIN64)
constexpr size_t kPebGdiTable = 0xF8;
#else
constexpr size_t kPebGdiTable = 0x94;
#endif

// Names of the type bytes, as Wine 8 files the objects: the ones seen made by CreatePen and the
// like; any other goes by its number.
std::string GdiTypeName(int type) {
    switch (type) {
        case 0x01:
            return "DC";
        case 0x04:
            return "region";
        case 0x08:
            return "palette";
        case 0x09:
            return "bitmap";
        case 0x0a:
            return "font";
        case 0x10:
            return "brush/pen";
        default:
            return Format("type %02x", type);
    }
}

// The number of GDI objects, and "kind count" of each kind in use.
long GdiTableCount(HANDLE process, std::string* kinds) {
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return -1;
    void* table = nullptr;
    SIZE_T got = 0;
    const char* peb = static_cast<const char*>(static_cast<const void*>(basic.PebBaseAddress));
    if (!ReadProcessMemory(process, peb + kPebGdiTable, &table, sizeof table, &got) || !table) return -1;
    std::vector<GdiHandleEntry> entries(kGdiHandles);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), &got)) return -1;
    long byType[256] = {};
    long total = 0;
    for (const GdiHandleEntry& e : entries) {
        if (e.type == 0) continue;
        ++byType[e.type];
        ++total;
    }
    for (int t = 1; t < 256; ++t)
        if (byType[t]) *kinds += Format("%s%s %ld", kinds->empty() ? "" : ", ", GdiTypeName(t).c_str(), byType[t]);
    return total;
}

struct WindowCount {
    DWORD pid;
    long count;
    std::string classes;
};

void Count(HWND h, WindowCount* c) {
    char name[64] = "";
    GetClassNameA(h, name, sizeof name);
    ++c->count;
    c->classes += c->classes.empty() ? name : std::string(" ") + name;
}

BOOL CALLBACK CountChild(HWND h, LPARAM lp) {
    Count(h, reinterpret_cast<WindowCount*>(lp));
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<WindowCount*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == c->pid) {
        Count(h, c);
        EnumChildWindows(h, CountChild, lp);
    }
    return TRUE;
}

// Top-level, child and message-only windows of the process, and their classes.
long WindowsOf(DWORD pid, std::string* classes) {
    WindowCount c{pid, 0, {}};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&c));
    HWND h = nullptr;
    while ((h = FindWindowExA(HWND_MESSAGE, h, nullptr, nullptr)) != nullptr)
        CountTopLevel(h, reinterpret_cast<LPARAM>(&c));
    *classes = c.classes;
    return c.count;
}

BOOL CALLBACK AddResourceSize(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR sum) {
    if (HRSRC found = FindResourceA(module, name, type))
        *reinterpret_cast<long*>(sum) += static_cast<long>(SizeofResource(module, found));
    return TRUE;
}

// Set once PrivateUsage has come back empty and PagefileUsage stood in for it.
bool privateFromPagefile = false;

}  // namespace

void Fail(const std::string& why) { throw ProbeFailure{why}; }

int RunProbe(const char* name, void (*probe)(), std::initializer_list<const char*> images) {
    try {
        probe();
    } catch (const ProbeFailure& failure) {
        std::printf("%s: %s\n", name, failure.why.c_str());
        std::fflush(stdout);
        for (const char* exe : images) KillByImage(exe);
        return 1;
    }
    return 0;
}

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

Spread SpreadOf(std::vector<double> samples) {
    Spread s;
    s.count = samples.size();
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.max = samples.back();
    return s;
}

Process StartTimed(const std::string& commandLine, double* ms) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const double t0 = NowMs();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created))
        return {};
    WaitForInputIdle(created.hProcess, 10000);
    *ms = NowMs() - t0;
    CloseHandle(created.hThread);
    Process p;
    p.handle = created.hProcess;
    p.pid = created.dwProcessId;
    return p;
}

const char* const kStartMarkNames[kStartMarks] = {"entry", "skin decoded", "window created", "show called",
                                                 "first paint done", "message loop entered"};

// Read from the file's export directory, without loading it: an exe without relocations cannot
// load beside the probe's own, which holds the same preferred base.
std::uintptr_t StartMarksOffset(const std::string& exePath) {
    HANDLE file = CreateFileA(exePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::vector<unsigned char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    CloseHandle(file);
    if (!ok || bytes.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
    const auto at = [&](size_t offset, size_t size) { return offset + size <= bytes.size() ? &bytes[offset] : nullptr; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(static_cast<size_t>(dos->e_lfanew), sizeof(IMAGE_NT_HEADERS)));
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE) return 0;
    const IMAGE_DATA_DIRECTORY& exports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    // A relative address in the image to an offset in the file.
    const auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return bytes.size();
    };
    if (!exports.VirtualAddress) return 0;
    const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(fileOffset(exports.VirtualAddress), sizeof(IMAGE_EXPORT_DIRECTORY)));
    if (!directory) return 0;
    for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
        const auto* nameRva = reinterpret_cast<const DWORD*>(at(fileOffset(directory->AddressOfNames) + 4 * i, 4));
        const auto* ordinal = reinterpret_cast<const WORD*>(at(fileOffset(directory->AddressOfNameOrdinals) + 2 * i, 2));
        if (!nameRva || !ordinal) return 0;
        const size_t name = fileOffset(*nameRva);
        if (!at(name, 14) || std::memcmp(&bytes[name], "KbdStartMarks", 14) != 0) continue;
        const auto* rva = reinterpret_cast<const DWORD*>(at(fileOffset(directory->AddressOfFunctions) + 4 * *ordinal, 4));
        return rva ? *rva : 0;
    }
    return 0;
}

std::vector<double> StartMarksMs(HANDLE process, std::uintptr_t offset, double t0) {
    std::vector<double> ms(kStartMarks, -1);
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (!offset || !query || query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return ms;
    // The PEB's ImageBaseAddress: after two pointers' worth of flags and the mutant handle.
    const char* peb = static_cast<const char*>(static_cast<const void*>(basic.PebBaseAddress));
    const char* base = nullptr;
    LONGLONG marks[kStartMarks] = {};
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, peb + 2 * sizeof(void*), &base, sizeof base, &got) || !base ||
        !ReadProcessMemory(process, base + offset, marks, sizeof marks, &got))
        return ms;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < kStartMarks; ++i)
        if (marks[i]) ms[static_cast<size_t>(i)] = 1000.0 * static_cast<double>(marks[i]) / static_cast<double>(frequency.QuadPart) - t0;
    return ms;
}

void CloseProgram(Process& program, HWND window, DWORD ms) {
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitExit(program, ms)) Kill(program);
    Close(program);
}

TrayCell::TrayCell() {
    const POINT centre = TrayIconCenter(0);
    const int half = GetSystemMetrics(SM_CXSMICON) / 2;
    rect_ = {centre.x - half, centre.y - half, centre.x + half, centre.y + half};
}

bool TrayCell::Shows() const {
    const int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, rect_.left, rect_.top, SRCCOPY);
    GdiFlush();
    // The taskbar's own colour, from the margin between the icon and the cell's edge. The DIB
    // holds 0x00RRGGBB, a COLORREF 0x00BBGGRR.
    const COLORREF face = GetPixel(screen, rect_.right + 1, (rect_.top + rect_.bottom) / 2);
    const std::uint32_t empty = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const long differing = std::count_if(pixels, pixels + static_cast<size_t>(w) * h,
                                         [&](std::uint32_t p) { return (p & 0xFFFFFF) != empty; });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // An icon covers much of its cell; a stray pixel is no icon.
    return differing >= w * h / 8;
}

bool TrayCell::WaitIcon(bool shown, DWORD ms) const {
    return WaitFor(ms, [&] { return Shows() == shown; });
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

std::vector<std::string> UnixPids(const std::string& exeName) {
    std::vector<std::string> pids;
    for (const std::string& pid : NumericEntries("Z:\\proc\\")) {
        if (ReadText("Z:\\proc\\" + pid + "\\cmdline").find(exeName) != std::string::npos) pids.push_back(pid);
    }
    return pids;
}

long ContextSwitches(const std::vector<std::string>& unixPids) {
    long total = 0;
    for (const std::string& pid : unixPids) {
        const std::string tasks = "Z:\\proc\\" + pid + "\\task\\";
        for (const std::string& tid : NumericEntries(tasks)) {
            const std::string status = ReadText(tasks + tid + "\\status");
            // A wake-up is a thread that waited and was woken: a voluntary switch. The others are the
            // scheduler taking the processor from a running thread, which a busy machine adds.
            total += Field(status, "voluntary_ctxt_switches");
        }
    }
    return total;
}

IdleUsage MeasureIdle(const Process& program, const std::string& exeName, int seconds) {
    IdleUsage usage;
    const std::vector<std::string> pids = UnixPids(exeName);
    usage.unixProcesses = pids.size();
    const double cpu0 = CpuMs(program.handle);
    const long switches0 = ContextSwitches(pids);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    usage.cpuMs = CpuMs(program.handle) - cpu0;
    usage.wakeUps = pids.empty() ? -1 : ContextSwitches(pids) - switches0;
    return usage;
}

int IdleSeconds() {
    const char* text = std::getenv("PROBE_IDLE_SECONDS");
    const int seconds = text ? std::atoi(text) : 60;
    return seconds > 0 ? seconds : 60;
}

Resources ResourcesOf(const Process& program) {
    Resources r;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(program.handle, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        if (!counters.PrivateUsage) privateFromPagefile = true;
        const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        r.privateKb = static_cast<long>(bytes / 1024);
    }
    static const bool gui = GuiResourcesWork();
    if (gui) {
        r.gdiObjects = static_cast<long>(GetGuiResources(program.handle, GR_GDIOBJECTS));
        r.userObjects = static_cast<long>(GetGuiResources(program.handle, GR_USEROBJECTS));
    } else {
        r.gdiObjects = GdiTableCount(program.handle, &r.gdiKinds);
        r.userObjects = WindowsOf(program.pid, &r.windowClasses);
    }
    return r;
}

std::string ResourcesMethod() {
    std::string method = GuiResourcesWork()
                             ? "GDI and USER objects by GetGuiResources"
                             : "GetGuiResources is a stub here: GDI objects counted in the process's GDI "
                               "handle table, USER objects as its windows";
    if (privateFromPagefile)
        method +=
            "; private memory is PagefileUsage, as PrivateUsage is left empty (Wine 8: anonymous resident memory)";
    return method + ".";
}

void AboutRoundTrip(const char* windowClass, const char* caption, DWORD ms) {
    if (!ChooseTrayMenuRow(0, {MenuRow::Item, MenuRow::Item}, 0, ms)) Fail("the tray menu did not open and close");
    HWND about = WaitWindow(windowClass, caption, ms);
    if (!about) Fail(std::string("About did not open the box \"") + caption + "\"");
    HWND ok = FindChild(about, "Button", "OK");
    if (!ok) Fail(std::string("the box \"") + caption + "\" has no OK button");
    const POINT at = Center(ok);
    Click(at.x, at.y);
    if (!WaitGone(windowClass, caption, ms)) Fail(std::string("OK did not close the box \"") + caption + "\"");
}

long FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file)) return -1;
    return static_cast<long>(file.nFileSizeLow);
}

long ArtworkBytes(const std::string& exePath) {
    HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return -1;
    long total = 0;
    // cursor, icon, RCDATA (the skins), cursor group, icon group
    for (int type : {1, 3, 10, 12, 14})
        EnumResourceNamesA(module, MAKEINTRESOURCEA(type), &AddResourceSize, reinterpret_cast<LONG_PTR>(&total));
    FreeLibrary(module);
    return total;
}

void Row(const std::string& figure, const std::string& ours, const std::string& reference, const std::string& versus,
         const std::string& goal, const std::string& result) {
    const auto cell = [](const std::string& s) { return s.empty() ? std::string("-") : s; };
    std::printf("row|%s|%s|%s|%s|%s|%s\n", figure.c_str(), cell(ours).c_str(), cell(reference).c_str(),
                cell(versus).c_str(), cell(goal).c_str(), cell(result).c_str());
    std::fflush(stdout);
}

void Note(const std::string& text) {
    std::printf("note|%s\n", text.c_str());
    std::fflush(stdout);
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

const char* Verdict(bool met) { return met ? "met" : "missed"; }

std::string MedianMax(const Spread& s) { return s.count ? Format("%.2f / %.2f", s.median, s.max) : std::string("-"); }

std::string Trail(const std::vector<long>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) text += " -> ";
        text += values[i] < 0 ? std::string("?") : std::to_string(values[i]);
    }
    return text;
}

bool BackToStart(const std::vector<long>& values) {
    for (long v : values)
        if (v < 0) return false;
    for (size_t i = 1; i < values.size(); ++i)
        if (values[i] > values.front()) return false;
    return true;
}

std::string IdleCell(const IdleUsage& usage) {
    return usage.wakeUps < 0 ? Format("%.0f / n/a", usage.cpuMs) : Format("%.0f / %ld", usage.cpuMs, usage.wakeUps);
}

double ReferenceWindowStart(const TrayCell& tray, DWORD wait) {
    double ms = 0;
    Process p = StartTimed(Quote(ProgramPath("ref_window.exe")) + " tray", &ms);
    if (!p) Fail("ref_window.exe did not start");
    const bool icon = tray.WaitIcon(true, wait);
    CloseProgram(p, Find("RefWindow", nullptr), wait);
    if (!icon) Fail("the reference window's tray icon did not appear");
    if (!tray.WaitIcon(false, wait)) Fail("the reference window's tray icon stayed after it ended");
    return ms;
}

void ResourceRows(const std::string& figure, const std::vector<Resources>& ours,
                  const std::vector<Resources>& reference) {
    if (ours.size() > 1) {
        const Resources& first = ours.front();
        const Resources& last = ours.back();
        const std::string name = figure.substr(0, figure.find(':'));
        if (first.gdiKinds != last.gdiKinds)
            std::printf("%s: GDI objects at start: %s; at the end: %s\n", name.c_str(), first.gdiKinds.c_str(),
                        last.gdiKinds.c_str());
        if (first.windowClasses != last.windowClasses)
            std::printf("%s: windows at start: %s; at the end: %s\n", name.c_str(), first.windowClasses.c_str(),
                        last.windowClasses.c_str());
    }
    const struct {
        const char* name;
        long Resources::*field;
    } kinds[] = {{"private memory KB", &Resources::privateKb},
                 {"GDI objects", &Resources::gdiObjects},
                 {"USER objects", &Resources::userObjects}};
    for (const auto& kind : kinds) {
        std::vector<long> o, r;
        for (const Resources& x : ours) o.push_back(x.*kind.field);
        for (const Resources& x : reference) r.push_back(x.*kind.field);
        // Missed, but the last loop added nothing: a step taken once, not a growth with every cycle.
        const bool stepOnce = o.size() > 2 && o.back() >= 0 && o.back() == o[o.size() - 2];
        if (r.size() == o.size() && o.size() > 1) {
            // The reference ran the same loops: what Wine itself keeps for them is its growth too.
            const bool read = o.front() >= 0 && o.back() >= 0 && r.front() >= 0 && r.back() >= 0;
            const long growth = o.back() - o.front(), refGrowth = r.back() - r.front();
            const bool met = read && growth <= refGrowth;
            Row(Format(figure.c_str(), kind.name), Trail(o), Trail(r),
                read ? Format("%+ld vs %+ld", growth, refGrowth) : "", "growth <= ref's growth",
                met || !stepOnce ? Verdict(met) : "missed: one step, then flat");
            continue;
        }
        Row(Format(figure.c_str(), kind.name), Trail(o), r.empty() ? "" : Trail(r), "", "back to start",
            BackToStart(o) || !stepOnce ? Verdict(BackToStart(o)) : "missed: one step, then flat");
    }
}

void SizeRow(const std::string& exeName, const std::string& referenceExeName) {
    const long bytes = FileBytes(ProgramPath(exeName));
    const long artwork = ArtworkBytes(ProgramPath(exeName));
    const long limit = artwork + 40 * 1024;
    Row(exeName + ": stripped bytes (artwork)", Format("%ld (%ld)", bytes, artwork),
        Format("%ld (%s)", FileBytes(ProgramPath(referenceExeName)), referenceExeName.c_str()), "",
        Format("<= artwork + 40 KB = %ld", limit), Verdict(bytes > 0 && artwork >= 0 && bytes <= limit));
}

}  // namespace bench
