// The driver's entry point and its Win32 calls.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "forms/application.h"
#include "forms/win32/backend.h"
#include "hotkeys/driver.h"
#include "support/win32/resident_platform.h"

namespace tavisk {
namespace {

HWND ToHwnd(std::uint32_t window) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)); }

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize, "OSVERSIONINFOA layout");

forms::Application* program = nullptr;
Hotkeys* hotkeys = nullptr;

LRESULT CALLBACK HotkeyWindowProcThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  program->Dispatch([&] {
    result = hotkeys->HotkeyWindowProc(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)), message,
                                       static_cast<std::uint32_t>(wParam), static_cast<std::int32_t>(lParam));
  });
  return result;
}

class Win32HotkeyPlatform : public HotkeyPlatform {
 public:
  std::uint16_t GlobalAddAtomA(const std::string& name) override { return ::GlobalAddAtomA(name.c_str()); }

  int RegisterHotKey(std::uint32_t window, std::int32_t id, std::uint32_t modifiers, std::uint32_t key) override {
    return ::RegisterHotKey(ToHwnd(window), id, modifiers, key);
  }

  int UnregisterHotKey(std::uint32_t window, std::int32_t id) override { return ::UnregisterHotKey(ToHwnd(window), id); }

  std::intptr_t HotkeyWindowProc() override { return reinterpret_cast<std::intptr_t>(&HotkeyWindowProcThunk); }

  std::intptr_t SetWindowLongA(std::uint32_t window, int index, std::intptr_t value) override {
    return ::SetWindowLongPtrA(ToHwnd(window), index, value);
  }

  std::intptr_t CallWindowProcA(std::intptr_t procedure, std::uint32_t window, std::uint32_t message,
                                std::uint32_t wParam, std::int32_t lParam) override {
    return ::CallWindowProcA(reinterpret_cast<WNDPROC>(procedure), ToHwnd(window), message, wParam, lParam);
  }

  int GetVersionExA(OsVersionInfo& record) override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = record.dwOSVersionInfoSize;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // deprecated, and exactly what the media-player choice reads
#endif
    const int result = ::GetVersionExA(&info);
    record.dwMajorVersion = info.dwMajorVersion;
    record.dwMinorVersion = info.dwMinorVersion;
    record.dwBuildNumber = info.dwBuildNumber;
    record.dwPlatformId = info.dwPlatformId;
    std::memcpy(record.szCSDVersion, info.szCSDVersion, sizeof record.szCSDVersion);
    return result;
  }

  std::intptr_t ShellExecuteA(std::uint32_t window, const char* operation, const char* file, const char* parameters,
                              const char* directory, int show) override {
    return reinterpret_cast<std::intptr_t>(::ShellExecuteA(ToHwnd(window), operation, file, parameters, directory, show));
  }

  long RegCreateKeyA(std::uint32_t root, const std::string& path, std::uint32_t& key) override {
    HKEY opened = nullptr;
    const long result = ::RegCreateKeyA(reinterpret_cast<HKEY>(static_cast<UINT_PTR>(root)), path.c_str(), &opened);
    key = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(opened));
    return result;
  }

  long RegSetValueExA(std::uint32_t key, const std::string& name, std::uint32_t reserved, std::uint32_t type,
                      const std::string& data, std::uint32_t size) override {
    return ::RegSetValueExA(reinterpret_cast<HKEY>(static_cast<UINT_PTR>(key)), name.c_str(), reserved, type,
                            reinterpret_cast<const BYTE*>(data.c_str()), size);
  }

  long RegCloseKey(std::uint32_t key) override { return ::RegCloseKey(reinterpret_cast<HKEY>(static_cast<UINT_PTR>(key))); }

  int SetForegroundWindow(std::uint32_t window) override { return ::SetForegroundWindow(ToHwnd(window)); }
};

}  // namespace
}  // namespace tavisk

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  forms::win32::Win32Backend backend(instance, "Tavisk");
  forms::Application app(backend);
  backend.SetErrorReport([&](const std::string& what) { app.ReportError(what); });
  support::win32::Win32ResidentPlatform residentPlatform;
  support::ResidentSupport support(residentPlatform, backend);
  tavisk::Win32HotkeyPlatform platform;
  tavisk::Hotkeys hotkeys(platform, backend);
  tavisk::program = &app;
  tavisk::hotkeys = &hotkeys;
  tavisk::AboutBox about(app);
  tavisk::MainWindow main(app, support, hotkeys, platform, about);
  return app.Run(main, false);
}
