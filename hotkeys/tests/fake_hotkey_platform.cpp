#include "hotkeys/tests/fake_hotkey_platform.h"

namespace fakes {

std::uint16_t FakeHotkeyPlatform::GlobalAddAtomA(const std::string& name) {
  log_.Add("GlobalAddAtomA \"" + name + "\"");
  const auto found = atoms.find(name);
  return found == atoms.end() ? 0 : found->second;
}

int FakeHotkeyPlatform::RegisterHotKey(std::uintptr_t window, std::int32_t id, std::uint32_t modifiers,
                                       std::uint32_t key) {
  log_.Add("RegisterHotKey " + Hex(window) + " id=" + std::to_string(id) + " mod=" + std::to_string(modifiers) +
           " vk=" + Hex(key));
  return 1;
}

int FakeHotkeyPlatform::UnregisterHotKey(std::uintptr_t window, std::int32_t id) {
  log_.Add("UnregisterHotKey " + Hex(window) + " id=" + std::to_string(id));
  return 1;
}

std::intptr_t FakeHotkeyPlatform::SetWindowLongA(std::uintptr_t window, int index, std::intptr_t value) {
  log_.Add("SetWindowLongA " + Hex(window) + " index=" + std::to_string(index) + " value=" +
           Hex(static_cast<std::uint64_t>(value)));
  return previousProcedure;
}

std::intptr_t FakeHotkeyPlatform::CallWindowProcA(std::intptr_t procedure, std::uintptr_t window, std::uint32_t message,
                                                  std::uintptr_t wParam, std::intptr_t lParam) {
  log_.Add("CallWindowProcA " + Hex(static_cast<std::uint64_t>(procedure)) + " " + Hex(window) + " msg=" +
           std::to_string(message) + " wParam=" + std::to_string(wParam) + " lParam=" + std::to_string(lParam));
  return previousResult;
}

int FakeHotkeyPlatform::GetVersionExA(tavisk::OsVersionInfo& record) {
  log_.Add("GetVersionExA size=" + std::to_string(record.dwOSVersionInfoSize));
  record.dwMajorVersion = major;
  record.dwMinorVersion = minor;
  return 1;
}

std::intptr_t FakeHotkeyPlatform::ShellExecuteA(std::uintptr_t window, const char* operation, const char* file,
                                                const char* parameters, const char* directory, int show) {
  log_.Add("ShellExecuteA " + Hex(window) + " \"" + operation + "\" \"" + file + "\" \"" + parameters + "\" " +
           (directory ? directory : "NULL") + " " + std::to_string(show));
  return 33;
}

std::string FakeHotkeyPlatform::StartCommandLine(const std::string& commandLine) {
  log_.Add("StartCommandLine " + commandLine);
  return missingPrograms.count(commandLine) ? "File not found" : "";
}

std::string FakeHotkeyPlatform::StartProgram(const std::string& path, const std::string& commandLine) {
  log_.Add("StartProgram " + path + " | " + commandLine);
  return missingPrograms.count(path) ? "File not found" : "";
}

long FakeHotkeyPlatform::RegCreateKeyA(std::uintptr_t root, const std::string& path, std::uintptr_t& key) {
  log_.Add("RegCreateKeyA " + Hex(root) + " \"" + path + "\"");
  key = 0x5000;
  return createKeyResult;
}

long FakeHotkeyPlatform::RegSetValueExA(std::uintptr_t key, const std::string& name, std::uint32_t reserved,
                                        std::uint32_t type, const std::string& data, std::uint32_t size) {
  storedData.assign(data.c_str(), size);  // c_str holds the NUL that the size counts
  log_.Add("RegSetValueExA " + Hex(key) + " \"" + name + "\" " + std::to_string(reserved) + " type=" +
           std::to_string(type) + " " + data + " size=" + std::to_string(size));
  return 0;
}

long FakeHotkeyPlatform::RegCloseKey(std::uintptr_t key) {
  log_.Add("RegCloseKey " + Hex(key));
  return 0;
}

int FakeHotkeyPlatform::SetForegroundWindow(std::uintptr_t window) {
  log_.Add("SetForegroundWindow " + Hex(window));
  return 1;
}

}  // namespace fakes
