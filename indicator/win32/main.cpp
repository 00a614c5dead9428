// The indicator's entry point and its Win32 calls.
#include <windows.h>
#include <wtsapi32.h>

#include <cstddef>

#include "forms/application.h"
#include "forms/win32/backend.h"
#include "indicator/indicator.h"
#include "indicator/texts.h"
#include "support/win32/resident_platform.h"

namespace lumora {
namespace {

// The hook copies the record's first 20 bytes and reads vkCode and flags from them as bytes.
static_assert(offsetof(KBDLLHOOKSTRUCT, vkCode) == 0, "vkCode at offset 0");
static_assert(offsetof(KBDLLHOOKSTRUCT, flags) == 8, "flags at offset 8");
#if defined(_WIN64)
// dwExtraInfo is pointer-sized: the record is 24 bytes, and the 20 copied end inside it.
static_assert(sizeof(KBDLLHOOKSTRUCT) == 24 && offsetof(KBDLLHOOKSTRUCT, dwExtraInfo) == 16, "24-byte KBDLLHOOKSTRUCT");
#else
static_assert(sizeof(KBDLLHOOKSTRUCT) == kKeyEventSize, "20-byte KBDLLHOOKSTRUCT");
#endif

static_assert(kPbtApmResumeSuspend == PBT_APMRESUMESUSPEND && kPbtApmResumeAutomatic == PBT_APMRESUMEAUTOMATIC &&
              kWtsSessionUnlock == WTS_SESSION_UNLOCK && kNotifyForThisSession == NOTIFY_FOR_THIS_SESSION);

forms::Application* program = nullptr;
IndicatorWindow* form1 = nullptr;

// Runs on the program's only thread, from its message loop, like every other handler.
LRESULT CALLBACK LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  program->Dispatch([&] {
    result = form1->KeyboardHookProc(nCode, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
  });
  return result;
}

HHOOK ToHook(std::uintptr_t hook) { return reinterpret_cast<HHOOK>(hook); }

class Win32HookPlatform : public HookPlatform {
 public:
  explicit Win32HookPlatform(HINSTANCE instance) : instance_(instance) {}
  ~Win32HookPlatform() override {
    if (wtsapi_) FreeLibrary(wtsapi_);
  }
  Win32HookPlatform(const Win32HookPlatform&) = delete;
  Win32HookPlatform& operator=(const Win32HookPlatform&) = delete;

  std::intptr_t KeyboardHookProcAddress() override { return reinterpret_cast<std::intptr_t>(&LowLevelKeyboardProc); }
  std::uintptr_t ModuleInstance() override { return reinterpret_cast<std::uintptr_t>(instance_); }

  std::uintptr_t SetWindowsHookExA(int idHook, std::intptr_t procedure, std::uintptr_t module,
                                   std::uint32_t threadId) override {
    HHOOK hook = ::SetWindowsHookExA(idHook, reinterpret_cast<HOOKPROC>(procedure), reinterpret_cast<HINSTANCE>(module),
                                     threadId);
    return reinterpret_cast<std::uintptr_t>(hook);
  }

  int UnhookWindowsHookEx(std::uintptr_t hook) override { return ::UnhookWindowsHookEx(ToHook(hook)); }

  std::intptr_t CallNextHookEx(std::uintptr_t hook, std::int32_t nCode, std::uintptr_t wParam,
                               std::intptr_t lParam) override {
    return ::CallNextHookEx(ToHook(hook), nCode, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
  }

  std::int16_t GetKeyState(std::int32_t virtualKey) override { return ::GetKeyState(virtualKey); }

  int GetKeyboardState(std::uint8_t* keys256) override { return ::GetKeyboardState(keys256); }

  int SetForegroundWindow(std::uintptr_t window) override { return ::SetForegroundWindow(reinterpret_cast<HWND>(window)); }

  int WTSRegisterSessionNotification(std::uintptr_t window, std::uint32_t flags) override {
    using Function = BOOL(WINAPI*)(HWND, DWORD);
    const auto notify = Wtsapi<Function>("WTSRegisterSessionNotification");
    return notify ? notify(reinterpret_cast<HWND>(window), flags) : 0;
  }

  int WTSUnRegisterSessionNotification(std::uintptr_t window) override {
    using Function = BOOL(WINAPI*)(HWND);
    const auto notify = Wtsapi<Function>("WTSUnRegisterSessionNotification");
    return notify ? notify(reinterpret_cast<HWND>(window)) : 0;
  }

 private:
  // By name from a library loaded at run time: Windows 2000 has no wtsapi32, and a static import
  // of it would stop the program's start there.
  template <typename Function>
  Function Wtsapi(const char* name) {
    if (!wtsapi_) wtsapi_ = LoadLibraryA("wtsapi32.dll");
    if (!wtsapi_) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(wtsapi_, name)));
  }

  HINSTANCE instance_;
  HMODULE wtsapi_ = nullptr;
};

}  // namespace
}  // namespace lumora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  forms::win32::Win32Backend backend(instance, lumora::kProgramTitle);
  forms::Application app(backend);
  backend.SetErrorReport([&](const std::string& what) { app.ReportError(what); });
  support::win32::Win32ResidentPlatform residentPlatform;
  support::ResidentSupport support(residentPlatform, backend);
  lumora::Win32HookPlatform platform(instance);
  lumora::AboutBox about(app);
  lumora::IndicatorWindow form1(app, support, platform, about);
  lumora::program = &app;
  lumora::form1 = &form1;
  // Loaded, not shown: the first lock-key release or left click on the icon shows it. A window
  // shown after the load could outlive the timer, whose tick may come while the hook's failure
  // message is still open; then nothing would hide it again.
  return app.Run(form1, false);
}
