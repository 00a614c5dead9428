// A started indicator over recording fakes, for the tests of its handlers and its hook.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "forms/tests/fake_backend.h"
#include "indicator/indicator.h"
#include "indicator/tests/fake_hook_platform.h"
#include "support/tests/fake_resident_platform.h"

namespace fakes {

constexpr forms::Handle kForm1 = 0x100;  // created first, by the start-up
constexpr forms::Handle kForm2 = 0x200;
// How Form1 is shown: raised to the top of the topmost band (HWND_TOPMOST) with SWP_NOMOVE |
// SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW, so neither the taskbar covers it nor does it take
// the focus; SetWindowPos paints nothing itself, and it is posted, so the hook never waits for it.
constexpr char kPopUp[] = "PostWindowPos 0x100 after=-1 0,0,0,0 flags=83";

// A KBDLLHOOKSTRUCT as the platform lays it out: five 32-bit little-endian fields.
inline std::array<std::uint8_t, 20> KeyRecord(std::uint32_t vkCode, std::uint32_t flags, std::uint32_t scanCode = 0x3A,
                                              std::uint32_t time = 123456, std::uint32_t extraInfo = 0) {
  std::array<std::uint8_t, 20> bytes{};
  const std::uint32_t fields[5] = {vkCode, scanCode, flags, time, extraInfo};
  for (int f = 0; f < 5; ++f) {
    for (int b = 0; b < 4; ++b) bytes[static_cast<size_t>(f * 4 + b)] = static_cast<std::uint8_t>(fields[f] >> (8 * b));
  }
  return bytes;
}

class Indicator {
 public:
  CallLog log;
  FakeBackend backend{log};
  FakeResidentPlatform resident{log};
  FakeHookPlatform platform{log};
  forms::Application app{backend};
  support::ResidentSupport support{resident, backend};
  lumora::AboutBox about{app};
  lumora::IndicatorWindow form1{app, support, platform, about};

  void Start() {
    app.Run(form1, false);
    log.Clear();
  }

  void Deliver(forms::Handle window, forms::EventType type, forms::ControlId control) {
    forms::Event event;
    event.type = type;
    event.control = control;
    backend.Deliver(window, event);
  }
  void TrayCallback(int message) {
    forms::Event event;
    event.control = form1.Find("Picture1");
    event.x = static_cast<forms::Twips>(message * backend.screen.twipsPerPixelX);
    backend.Deliver(kForm1, event);
  }
  // WM_POWERBROADCAST or WM_WTSSESSION_CHANGE with its event code.
  void SystemEvent(forms::EventType type, std::uint32_t code) {
    forms::Event event;
    event.type = type;
    event.code = code;
    backend.Deliver(kForm1, event);
  }
  void Menu(const char* item) { Deliver(kForm1, forms::EventType::Menu, form1.Find(item)); }
  void Tick() { Deliver(kForm1, forms::EventType::Timer, form1.Find("Timer1")); }

  // The platform calls the hook from the message loop, through the program's dispatch.
  std::intptr_t Hook(std::int32_t nCode, std::uintptr_t wParam, const std::array<std::uint8_t, 20>* record) {
    std::intptr_t result = 0;
    const auto address = reinterpret_cast<std::intptr_t>(record ? record->data() : nullptr);
    app.Dispatch([&] { result = form1.KeyboardHookProc(nCode, wParam, address); });
    return result;
  }
  std::string NextHookLine(std::int32_t nCode, std::uintptr_t wParam, const std::array<std::uint8_t, 20>* record) {
    const auto address = reinterpret_cast<std::uint64_t>(record ? record->data() : nullptr);
    return "CallNextHookEx 0x4b00 nCode=" + std::to_string(nCode) + " wParam=" + Hex(wParam) + " lParam=" + Hex(address);
  }
};

}  // namespace fakes
