#include "support/tests/fake_resident_platform.h"

namespace fakes {

std::uintptr_t FakeResidentPlatform::FindWindowA(const char* className, const std::string& windowName) {
  log_.Add(std::string("FindWindowA ") + (className ? className : "NULL") + " \"" + windowName + "\"");
  const auto found = windowsByCaption.find(windowName);
  return found == windowsByCaption.end() ? 0 : found->second;
}

std::intptr_t FakeResidentPlatform::SendMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
  // lParam of the focus message is the address of a 32-bit zero: record what it points at.
  const auto* pointed = reinterpret_cast<const std::int32_t*>(lParam);
  log_.Add("SendMessageA " + Hex(window) + " msg=" + std::to_string(message) + " wParam=" + std::to_string(wParam) +
           " lParam=&" + (pointed ? std::to_string(*pointed) : std::string("NULL")));
  return 0;
}

int FakeResidentPlatform::Shell_NotifyIconA(std::uint32_t message, const support::NotifyIconRecord& record) {
  log_.Add("Shell_NotifyIconA " + std::string(message == support::kNimAdd ? "ADD" : message == support::kNimDelete ? "DELETE" : "?") +
           " cbSize=" + std::to_string(record.cbSize()) + " hWnd=" + Hex(record.hWnd()) + " uID=" +
           std::to_string(record.uID()) + " uFlags=" + std::to_string(record.uFlags()) + " uCallbackMessage=" +
           std::to_string(record.uCallbackMessage()) + " hIcon=" + Hex(record.hIcon()));
  records.push_back(record);
  return 1;
}

int FakeResidentPlatform::SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                                       std::uint32_t flags) {
  log_.Add("SetWindowPos " + Hex(window) + " after=" + std::to_string(insertAfter) + " " + std::to_string(x) + "," +
           std::to_string(y) + "," + std::to_string(cx) + "," + std::to_string(cy) + " flags=" + std::to_string(flags));
  return 1;
}

std::uint32_t FakeResidentPlatform::RegisterWindowMessageA(const std::string& name) {
  log_.Add("RegisterWindowMessageA \"" + name + "\"");
  return 0xC0F0;
}

bool FakeResidentPlatform::ChangeWindowMessageFilterEx(std::uintptr_t window, std::uint32_t message,
                                                       std::uint32_t action) {
  if (!hasFilterEx) return false;
  log_.Add("ChangeWindowMessageFilterEx " + Hex(window) + " msg=" + Hex(message) + " action=" + std::to_string(action));
  return true;
}

bool FakeResidentPlatform::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) {
  if (!hasFilter) return false;
  log_.Add("ChangeWindowMessageFilter msg=" + Hex(message) + " flag=" + std::to_string(flag));
  return true;
}

}  // namespace fakes
