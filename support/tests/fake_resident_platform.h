// Records the resident support module's Win32 calls; FindWindowA answers from a table of captions.
#pragma once

#include <map>
#include <string>

#include "forms/tests/call_log.h"
#include "support/resident.h"

namespace fakes {

class FakeResidentPlatform : public support::ResidentPlatform {
 public:
  explicit FakeResidentPlatform(CallLog& log) : log_(log) {}

  std::uintptr_t FindWindowA(const char* className, const std::string& windowName) override;
  std::intptr_t SendMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
  int Shell_NotifyIconA(std::uint32_t message, const support::NotifyIconRecord& record) override;
  int SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                   std::uint32_t flags) override;
  std::uint32_t RegisterWindowMessageA(const std::string& name) override;
  bool ChangeWindowMessageFilterEx(std::uintptr_t window, std::uint32_t message, std::uint32_t action) override;
  bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) override;

  std::map<std::string, std::uintptr_t> windowsByCaption;
  std::vector<support::NotifyIconRecord> records;
  // Which message filter functions this Windows has: 7 and later both, Vista the one, XP none.
  bool hasFilterEx = true;
  bool hasFilter = true;

 private:
  CallLog& log_;
};

}  // namespace fakes
