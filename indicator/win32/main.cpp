// The indicator's entry point and its Win32 calls.
#include <windows.h>

#include <cstddef>

#include "forms/application.h"
#include "forms/win32/backend.h"
#include "indicator/indicator.h"
#include "indicator/texts.h"
#include "support/win32/resident_platform.h"

namespace lumora {
namespace {

// The hook reads the record as bytes; it must be the platform's 20-byte layout exactly.
static_assert(sizeof(void*) != 4 || sizeof(KBDLLHOOKSTRUCT) == kKeyEventSize, "20-byte KBDLLHOOKSTRUCT");
static_assert(sizeof(void*) != 4 || offsetof(KBDLLHOOKSTRUCT, flags) == 8, "flags at offset 8");

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

HHOOK ToHook(std::uint32_t hook) { return reinterpret_cast<HHOOK>(static_cast<UINT_PTR>(hook)); }

class Win32HookPlatform : public HookPlatform {
 public:
  explicit Win32HookPlatform(HINSTANCE instance) : instance_(instance) {}

  std::intptr_t KeyboardHookProcAddress() override { return reinterpret_cast<std::intptr_t>(&LowLevelKeyboardProc); }
  std::uint32_t ModuleInstance() override { return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(instance_)); }

  std::uint32_t SetWindowsHookExA(int idHook, std::intptr_t procedure, std::uint32_t module,
                                  std::uint32_t threadId) override {
    HHOOK hook = ::SetWindowsHookExA(idHook, reinterpret_cast<HOOKPROC>(procedure),
                                     reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(module)), threadId);
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(hook));
  }

  int UnhookWindowsHookEx(std::uint32_t hook) override { return ::UnhookWindowsHookEx(ToHook(hook)); }

  std::intptr_t CallNextHookEx(std::uint32_t hook, std::int32_t nCode, std::uintptr_t wParam,
                               std::intptr_t lParam) override {
    return ::CallNextHookEx(ToHook(hook), nCode, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
  }

  std::int16_t GetKeyState(std::int32_t virtualKey) override { return ::GetKeyState(virtualKey); }

  int GetKeyboardState(std::uint8_t* keys256) override { return ::GetKeyboardState(keys256); }

  int SetForegroundWindow(std::uint32_t window) override {
    return ::SetForegroundWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)));
  }

 private:
  HINSTANCE instance_;
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
