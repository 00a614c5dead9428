// wtool: the bench's hands and eyes for shell scripts, run as `wine wtool.exe COMMAND ...`.
// "-" stands for a NULL class or caption. Exit status 0 = done/found, 1 = not found or
// deadline passed, 2 = usage error.
#include "bench.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kKeeperClass[] = "KbdBenchKeeper";

const char* Arg(const char* s) { return std::strcmp(s, "-") == 0 ? nullptr : s; }

long Num(const char* s) { return std::strtol(s, nullptr, 0); }

void PrintWindow(const bench::WindowInfo& w) {
    std::printf("%08lx pid=%lu vis=%d style=%08lx ex=%08lx id=%08lx owner=%08lx class=\"%s\" caption=\"%s\" "
                "rect=%ld,%ld-%ld,%ld\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(w.hwnd)), static_cast<unsigned long>(w.pid),
                w.visible ? 1 : 0, static_cast<unsigned long>(w.style), static_cast<unsigned long>(w.exStyle),
                static_cast<unsigned long>(w.id), static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(w.owner)),
                w.className.c_str(), w.caption.c_str(), w.rect.left, w.rect.top, w.rect.right, w.rect.bottom);
}

int Found(HWND h) {
    if (!h) return 1;
    std::printf("%08lx\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(h)));
    return 0;
}

LRESULT CALLBACK KeeperProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        DestroyWindow(h);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// A hidden top-level window of its own keeps the Wine desktop and wineserver alive for the
// whole session; without one the desktop closes about a second after the last program exits.
int Keep() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = KeeperProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kKeeperClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND h = CreateWindowExA(0, kKeeperClass, kKeeperClass, WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
    if (!h) return 1;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
}

// The second way to read the screen, for checking GetPixel against: BitBlt into a 32-bit DIB.
std::string PixelByBlt(int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 1;
    bi.bmiHeader.biHeight = 1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, 1, 1, screen, x, y, SRCCOPY);
    GdiFlush();
    const unsigned char* p = static_cast<const unsigned char*>(bits);  // B, G, R, 0
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", p[2], p[1], p[0]);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return buf;
}

int RegQueryCmd(const char* key, const char* value) {
    const bench::RegValue v = bench::RegQuery(key, Arg(value) ? value : "");
    if (!v.Found()) {
        std::printf("error %ld\n", static_cast<long>(v.error));
        return 1;
    }
    std::printf("type %lu size %u bytes", static_cast<unsigned long>(v.type), static_cast<unsigned>(v.data.size()));
    for (unsigned char b : v.data) std::printf(" %02X", b);
    std::printf("\n");
    if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) std::printf("string \"%s\"\n", v.String().c_str());
    if (v.type == REG_DWORD) std::printf("dword %lu\n", static_cast<unsigned long>(v.Dword()));
    return 0;
}

int Metrics() {
    const SIZE s = bench::ScreenSize();
    const RECT wa = bench::WorkArea();
    const RECT tb = bench::TaskbarRect();
    std::printf("dpi %d\nscreen %ldx%ld\nworkarea %ld,%ld-%ld,%ld\ntaskbar %ld,%ld-%ld,%ld\nsmicon %d\n", bench::Dpi(),
                s.cx, s.cy, wa.left, wa.top, wa.right, wa.bottom, tb.left, tb.top, tb.right, tb.bottom,
                GetSystemMetrics(SM_CXSMICON));
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: wtool list | children CLASS | find CLASS CAPTION\n"
                 "       waitwin|waithidden|waitgone|waitexists CLASS CAPTION MS\n"
                 "       key VK [FLAGS] | keydown VK | keyup VK | click X Y | rclick X Y | dclick X Y | move X Y\n"
                 "       start \"CMDLINE\" MS | close CLASS CAPTION [MS] | kill IMAGE... | keep\n"
                 "       pixel X Y | pixels X Y W H | pixelblt X Y | regquery KEY VALUE | hold PATH MS\n"
                 "       tray N | menu | metrics | buttons\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string cmd = argv[1];
    const int n = argc - 2;
    char** a = argv + 2;

    if (cmd == "list" && n == 0) {
        for (const auto& w : bench::TopLevelWindows()) PrintWindow(w);
        return 0;
    }
    if (cmd == "children" && n == 1) {
        HWND parent = FindWindowA(Arg(a[0]), nullptr);
        if (!parent) return 1;
        for (const auto& w : bench::Children(parent)) PrintWindow(w);
        return 0;
    }
    if (cmd == "buttons" && n == 0) {
        for (const auto& w : bench::TaskbarButtons()) PrintWindow(w);
        return 0;
    }
    if (cmd == "find" && n == 2) return Found(bench::Find(Arg(a[0]), Arg(a[1])));
    if (cmd == "waitwin" && n == 3) return Found(bench::WaitWindow(Arg(a[0]), Arg(a[1]), Num(a[2])));
    if (cmd == "waitexists" && n == 3) return Found(bench::WaitExists(Arg(a[0]), Arg(a[1]), Num(a[2])));
    if (cmd == "waithidden" && n == 3) return bench::WaitHidden(Arg(a[0]), Arg(a[1]), Num(a[2])) ? 0 : 1;
    if (cmd == "waitgone" && n == 3) return bench::WaitGone(Arg(a[0]), Arg(a[1]), Num(a[2])) ? 0 : 1;
    if (cmd == "key" && (n == 1 || n == 2)) {
        bench::Key(static_cast<WORD>(Num(a[0])), n == 2 ? Num(a[1]) : 0);
        return 0;
    }
    if (cmd == "keydown" && n == 1) {
        bench::KeyDown(static_cast<WORD>(Num(a[0])));
        return 0;
    }
    if (cmd == "keyup" && n == 1) {
        bench::KeyUp(static_cast<WORD>(Num(a[0])));
        return 0;
    }
    if (cmd == "move" && n == 2) return bench::MouseMove(Num(a[0]), Num(a[1])) ? 0 : 1;
    if (cmd == "click" && n == 2) {
        bench::Click(Num(a[0]), Num(a[1]));
        return 0;
    }
    if (cmd == "rclick" && n == 2) {
        bench::RightClick(Num(a[0]), Num(a[1]));
        return 0;
    }
    if (cmd == "dclick" && n == 2) {
        bench::DoubleClick(Num(a[0]), Num(a[1]));
        return 0;
    }
    if (cmd == "start" && (n == 1 || n == 2)) {
        bench::Process p = bench::Start(a[0], nullptr, n == 2 ? Num(a[1]) : 10000);
        if (!p) {
            std::printf("error %lu\n", GetLastError());
            return 1;
        }
        std::printf("%lu\n", static_cast<unsigned long>(p.pid));
        bench::Close(p);
        return 0;
    }
    if (cmd == "close" && (n == 2 || n == 3))
        return bench::CloseWindow(Arg(a[0]), Arg(a[1]), n == 3 ? Num(a[2]) : 10000) ? 0 : 1;
    if (cmd == "kill" && n >= 1) {
        int killed = 0;
        for (int i = 0; i < n; ++i) killed += bench::KillByImage(a[i]);
        std::printf("%d\n", killed);
        return 0;
    }
    if (cmd == "keep" && n == 0) return Keep();
    if (cmd == "pixel" && n == 2) {
        const COLORREF c = bench::PixelRef(Num(a[0]), Num(a[1]));
        std::printf("%s\n", bench::Hex(c).c_str());
        return c == CLR_INVALID ? 1 : 0;
    }
    if (cmd == "pixels" && n == 4) {
        // One row of RRGGBB per line, for comparing a block with a screenshot.
        for (long y = Num(a[1]); y < Num(a[1]) + Num(a[3]); ++y) {
            for (long x = Num(a[0]); x < Num(a[0]) + Num(a[2]); ++x) std::printf("%s ", bench::Pixel(x, y).c_str());
            std::printf("\n");
        }
        return 0;
    }
    if (cmd == "pixelblt" && n == 2) {
        std::printf("%s\n", PixelByBlt(Num(a[0]), Num(a[1])).c_str());
        return 0;
    }
    if (cmd == "regquery" && n == 2) return RegQueryCmd(a[0], a[1]);
    if (cmd == "hold" && n == 2) {
        bench::HeldImage held(a[0]);
        if (!held.Held()) return 1;
        Sleep(static_cast<DWORD>(Num(a[1])));
        return 0;
    }
    if (cmd == "tray" && n == 1) {
        const POINT p = bench::TrayIconCenter(Num(a[0]));
        std::printf("%ld %ld\n", p.x, p.y);
        return bench::Taskbar() ? 0 : 1;
    }
    if (cmd == "menu" && n == 0) {
        HWND m = bench::PopupMenu();
        if (!m) return 1;
        PrintWindow(bench::Describe(m));
        return 0;
    }
    if (cmd == "metrics" && n == 0) return Metrics();
    return Usage();
}
