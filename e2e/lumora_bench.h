// The indicator as the end-to-end test and the timing probe see it, and KeyProbe: a window of
// their own, on its own thread, with its own low-level keyboard hook, that shows which keys still
// reach another hook and the focused application while the indicator runs. Installed before the
// indicator, its hook comes after the indicator's in the chain, so it sees only what the
// indicator passed on.
#pragma once

#include <windows.h>

#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "bench.h"

namespace lumora_e2e {

// What the test and the probe know of the indicator: its window, its lamps and their colours.
constexpr char kCaption[] = "Keyboard LED Indicate";
constexpr char kClass[] = "LumoraIndicator";
constexpr char kAboutClass[] = "LumoraAboutBox";
constexpr char kGreen[] = "00FF00";
constexpr char kOlive[] = "808000";

enum Lamp { kNum = 0, kCaps = 1, kScroll = 2 };
constexpr WORD kLockKey[] = {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL};

inline int TwipsPerPixel() { return 1440 / bench::Dpi(); }
// The window layer's rounding: halves away from zero.
inline int Pixels(double twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel())); }

// Centre of a lamp on screen; the lamps are 375-twip squares at 720 twips from the top.
inline POINT LampCentre(HWND form1, Lamp lamp) {
    const double left = 1200 + 960 * lamp;
    RECT r{};
    GetWindowRect(form1, &r);
    return {r.left + (Pixels(left) + Pixels(left + 375)) / 2, r.top + (Pixels(720) + Pixels(1095)) / 2};
}

struct KeySeen {
    DWORD vk;
    bool up;
};

class KeyProbe {
public:
    KeyProbe() {
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return started_; });
    }
    ~KeyProbe() {
        if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    KeyProbe(const KeyProbe&) = delete;
    KeyProbe& operator=(const KeyProbe&) = delete;

    HWND hwnd() const { return hwnd_; }
    std::vector<KeySeen> HookKeys() {
        std::lock_guard<std::mutex> lock(mutex_);
        return hook_;
    }
    std::vector<KeySeen> WindowKeys() {
        std::lock_guard<std::mutex> lock(mutex_);
        return window_;
    }
    size_t HookCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return hookCount_;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        hook_.clear();
        window_.clear();
    }
    // Runs inside the probe's hook, on its thread, for every key event. The indicator's hook, installed
    // later, is called first and waits in CallNextHookEx meanwhile: what this sees of the indicator is
    // what its hook did before passing the event on.
    void OnHook(std::function<void(DWORD vk, bool up)> action) {
        std::lock_guard<std::mutex> lock(mutex_);
        onHook_ = std::move(action);
    }
    // Counts only: for long runs of keys, where a list would measure the probe, not the indicator.
    void CountOnly(bool value) {
        std::lock_guard<std::mutex> lock(mutex_);
        countOnly_ = value;
    }

private:
    static constexpr char kClass[] = "LumoraKeyProbe";
    static inline KeyProbe* self_ = nullptr;

    void Record(std::vector<KeySeen>& list, DWORD vk, bool up) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (&list == &hook_) ++hookCount_;
        if (!countOnly_) list.push_back(KeySeen{vk, up});
    }

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* p = static_cast<KeyProbe*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
            p->hwnd_ = h;
        }
        auto* p = reinterpret_cast<KeyProbe*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (p) p->Record(p->window_, static_cast<DWORD>(wp), msg == WM_KEYUP || msg == WM_SYSKEYUP);
            return 0;
        case WM_CLOSE:
            DestroyWindow(h);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(h, msg, wp, lp);
        }
    }

    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && self_) {
            const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
            self_->Record(self_->hook_, k->vkCode, (k->flags & LLKHF_UP) != 0);
            std::function<void(DWORD, bool)> action;
            {
                std::lock_guard<std::mutex> lock(self_->mutex_);
                action = self_->onHook_;
            }
            if (action) action(k->vkCode, (k->flags & LLKHF_UP) != 0);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }

    void Run() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        CreateWindowExA(0, kClass, "Key probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 160, nullptr, nullptr,
                        wc.hInstance, this);
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
        hwnd_ = nullptr;
        UnregisterClassA(kClass, wc.hInstance);
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_;
    bool started_ = false;
    bool countOnly_ = false;
    HWND hwnd_ = nullptr;
    std::vector<KeySeen> hook_, window_;
    std::function<void(DWORD, bool)> onHook_;
    size_t hookCount_ = 0;
};

}  // namespace lumora_e2e
