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

HWND ToHwnd(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }
HKEY ToHkey(std::uintptr_t key) { return reinterpret_cast<HKEY>(key); }

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize, "OSVERSIONINFOA layout");
// winreg.h: HKEY_LOCAL_MACHINE is ((HKEY)(ULONG_PTR)((LONG)0x80000002)).
static_assert(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002)) == kHkeyLocalMachine, "sign-widened");

forms::Application* program = nullptr;
Hotkeys* hotkeys = nullptr;

LRESULT CALLBACK HotkeyWindowProcThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  program->Dispatch([&] {
    result = hotkeys->HotkeyWindowProc(reinterpret_cast<std::uintptr_t>(window), message, wParam, lParam);
  });
  return result;
}

std::string Start(const char* application, const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;  // CreateProcessA may write into its command line
  if (!::CreateProcessA(application, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return forms::win32::LastErrorText("Cannot start \"" + (application ? std::string(application) : commandLine) +
                                       "\".");
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {};
}

class Win32HotkeyPlatform : public HotkeyPlatform {
 public:
  std::uint16_t GlobalAddAtomA(const std::string& name) override { return ::GlobalAddAtomA(name.c_str()); }

  int RegisterHotKey(std::uintptr_t window, std::int32_t id, std::uint32_t modifiers, std::uint32_t key) override {
    return ::RegisterHotKey(ToHwnd(window), id, modifiers, key);
  }

  int UnregisterHotKey(std::uintptr_t window, std::int32_t id) override { return ::UnregisterHotKey(ToHwnd(window), id); }

  std::intptr_t HotkeyWindowProc() override { return reinterpret_cast<std::intptr_t>(&HotkeyWindowProcThunk); }

  std::intptr_t SetWindowLongA(std::uintptr_t window, int index, std::intptr_t value) override {
    return ::SetWindowLongPtrA(ToHwnd(window), index, value);
  }

  std::intptr_t CallWindowProcA(std::intptr_t procedure, std::uintptr_t window, std::uint32_t message,
                                std::uintptr_t wParam, std::intptr_t lParam) override {
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

  std::intptr_t ShellExecuteA(std::uintptr_t window, const char* operation, const char* file, const char* parameters,
                              const char* directory, int show) override {
    return reinterpret_cast<std::intptr_t>(::ShellExecuteA(ToHwnd(window), operation, file, parameters, directory, show));
  }

  std::string StartCommandLine(const std::string& commandLine) override { return Start(nullptr, commandLine); }

  std::string StartProgram(const std::string& path, const std::string& commandLine) override {
    return Start(path.c_str(), commandLine);
  }

  long RegCreateKeyA(std::uintptr_t root, const std::string& path, std::uintptr_t& key) override {
    HKEY opened = nullptr;
    const long result = ::RegCreateKeyA(ToHkey(root), path.c_str(), &opened);
    key = reinterpret_cast<std::uintptr_t>(opened);
    return result;
  }

  long RegSetValueExA(std::uintptr_t key, const std::string& name, std::uint32_t reserved, std::uint32_t type,
                      const std::string& data, std::uint32_t size) override {
    return ::RegSetValueExA(ToHkey(key), name.c_str(), reserved, type,
                            reinterpret_cast<const BYTE*>(data.c_str()), size);
  }

  long RegCloseKey(std::uintptr_t key) override { return ::RegCloseKey(ToHkey(key)); }

  int SetForegroundWindow(std::uintptr_t window) override { return ::SetForegroundWindow(ToHwnd(window)); }
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
