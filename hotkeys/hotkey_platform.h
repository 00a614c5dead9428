// What the driver needs of Win32 beyond the window model.
#pragma once

#include <cstdint>
#include <string>

namespace tavisk {

constexpr std::uint32_t kWmHotkey = 0x0312;
constexpr int kGwlWndProc = -4;
// 0x80000002, widened with its sign as Windows defines it: (HKEY)(ULONG_PTR)(LONG)0x80000002.
constexpr std::uintptr_t kHkeyLocalMachine = static_cast<std::uintptr_t>(std::intptr_t{-0x7FFFFFFE});
constexpr std::uint32_t kRegSz = 1;
constexpr int kSwShowNormal = 1;
constexpr std::uint32_t kVkLaunchApp1 = 0xB6;
constexpr std::uint32_t kVkLaunchApp2 = 0xB7;
constexpr std::uint32_t kVkLaunchMediaSelect = 0xB5;
constexpr std::uint32_t kOsVersionInfoSize = 148;

// The platform's OSVERSIONINFOA, field for field.
struct OsVersionInfo {
  std::uint32_t dwOSVersionInfoSize = 0;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == kOsVersionInfoSize, "OSVERSIONINFOA is 148 bytes");

class HotkeyPlatform {
 public:
  virtual ~HotkeyPlatform() = default;
  virtual std::uint16_t GlobalAddAtomA(const std::string& name) = 0;
  virtual int RegisterHotKey(std::uintptr_t window, std::int32_t id, std::uint32_t modifiers, std::uint32_t key) = 0;
  virtual int UnregisterHotKey(std::uintptr_t window, std::int32_t id) = 0;
  // The address of the driver's own window procedure, which SetWindowLongA installs.
  virtual std::intptr_t HotkeyWindowProc() = 0;
  virtual std::intptr_t SetWindowLongA(std::uintptr_t window, int index, std::intptr_t value) = 0;
  virtual std::intptr_t CallWindowProcA(std::intptr_t procedure, std::uintptr_t window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual int GetVersionExA(OsVersionInfo& record) = 0;
  virtual std::intptr_t ShellExecuteA(std::uintptr_t window, const char* operation, const char* file,
                                      const char* parameters, const char* directory, int show) = 0;
  // CreateProcessA with a normal, activated window, not waited on. Each returns "" once the
  // process is created, else why it could not be. Only the driver starts programs this way: the
  // programs it starts ask for no administrator.
  [[nodiscard]] virtual std::string StartCommandLine(const std::string& commandLine) = 0;
  [[nodiscard]] virtual std::string StartProgram(const std::string& path, const std::string& commandLine) = 0;
  virtual long RegCreateKeyA(std::uintptr_t root, const std::string& path, std::uintptr_t& key) = 0;
  virtual long RegSetValueExA(std::uintptr_t key, const std::string& name, std::uint32_t reserved, std::uint32_t type,
                              const std::string& data, std::uint32_t size) = 0;
  virtual long RegCloseKey(std::uintptr_t key) = 0;
  virtual int SetForegroundWindow(std::uintptr_t window) = 0;
};

}  // namespace tavisk
