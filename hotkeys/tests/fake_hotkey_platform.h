// Records the driver's Win32 calls; atoms, the previous procedure and the version are settable.
#pragma once

#include <map>
#include <set>

#include "forms/tests/call_log.h"
#include "hotkeys/hotkey_platform.h"

namespace fakes {

class FakeHotkeyPlatform : public tavisk::HotkeyPlatform {
 public:
  explicit FakeHotkeyPlatform(CallLog& log) : log_(log) {}

  std::uint16_t GlobalAddAtomA(const std::string& name) override;
  int RegisterHotKey(std::uintptr_t window, std::int32_t id, std::uint32_t modifiers, std::uint32_t key) override;
  int UnregisterHotKey(std::uintptr_t window, std::int32_t id) override;
  std::intptr_t HotkeyWindowProc() override { return 0xC0DE; }
  std::intptr_t SetWindowLongA(std::uintptr_t window, int index, std::intptr_t value) override;
  std::intptr_t CallWindowProcA(std::intptr_t procedure, std::uintptr_t window, std::uint32_t message,
                                std::uintptr_t wParam, std::intptr_t lParam) override;
  int GetVersionExA(tavisk::OsVersionInfo& record) override;
  std::intptr_t ShellExecuteA(std::uintptr_t window, const char* operation, const char* file, const char* parameters,
                              const char* directory, int show) override;
  std::string StartCommandLine(const std::string& commandLine) override;
  std::string StartProgram(const std::string& path, const std::string& commandLine) override;
  long RegCreateKeyA(std::uintptr_t root, const std::string& path, std::uintptr_t& key) override;
  long RegSetValueExA(std::uintptr_t key, const std::string& name, std::uint32_t reserved, std::uint32_t type,
                      const std::string& data, std::uint32_t size) override;
  long RegCloseKey(std::uintptr_t key) override;
  int SetForegroundWindow(std::uintptr_t window) override;

  std::map<std::string, std::uint16_t> atoms{{"Zelmi", 0xC001}, {"Zelmi1", 0xC002}, {"Zelmi2", 0xC003}};
  std::intptr_t previousProcedure = 0xBEEF;
  std::intptr_t previousResult = 42;
  std::uint32_t major = 6, minor = 1;
  long createKeyResult = 0;
  std::set<std::string> missingPrograms;  // starts of these fail
  std::string storedData;  // the bytes RegSetValueExA was given, as many as its size said

 private:
  CallLog& log_;
};

}  // namespace fakes
