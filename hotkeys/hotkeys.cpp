#include "hotkeys/hotkeys.h"

#include "forms/error.h"
#include "hotkeys/texts.h"

namespace tavisk {

std::int32_t HotkeyIdFromAtom(std::uint16_t atom) { return static_cast<std::int16_t>(atom); }

void Hotkeys::SetUp(std::uintptr_t mainWindow) {
  mainWindow_ = mainWindow;
  HotkeyIdComputer = HotkeyIdFromAtom(platform_.GlobalAddAtomA(kAtomComputer));
  HotkeyIdCalculator = HotkeyIdFromAtom(platform_.GlobalAddAtomA(kAtomCalculator));
  HotkeyIdMedia = HotkeyIdFromAtom(platform_.GlobalAddAtomA(kAtomMedia));
  platform_.RegisterHotKey(mainWindow_, HotkeyIdComputer, 0, kVkLaunchApp1);
  platform_.RegisterHotKey(mainWindow_, HotkeyIdCalculator, 0, kVkLaunchApp2);
  platform_.RegisterHotKey(mainWindow_, HotkeyIdMedia, 0, kVkLaunchMediaSelect);
  PrevWndProc = platform_.SetWindowLongA(mainWindow_, kGwlWndProc, platform_.HotkeyWindowProc());
}

void Hotkeys::Release() {
  // The old procedure goes back before anything else is released.
  platform_.SetWindowLongA(mainWindow_, kGwlWndProc, PrevWndProc);
  platform_.UnregisterHotKey(mainWindow_, HotkeyIdComputer);
  platform_.UnregisterHotKey(mainWindow_, HotkeyIdCalculator);
  platform_.UnregisterHotKey(mainWindow_, HotkeyIdMedia);
}

std::intptr_t Hotkeys::HotkeyWindowProc(std::uintptr_t hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  // Passed on at full width: on 64-bit, wParam and lParam may be pointers.
  if (uMsg != kWmHotkey) return platform_.CallWindowProcA(PrevWndProc, hWnd, uMsg, wParam, lParam);
  // The hotkey id is a 32-bit int, so its 32 bits are compared whole: a zero-extended atom does
  // not match its id, and a 64-bit wParam matches however the platform widened the id.
  const auto id = static_cast<std::uint32_t>(wParam);
  if (id == static_cast<std::uint32_t>(HotkeyIdComputer)) {
    OpenMyComputer();
  } else if (id == static_cast<std::uint32_t>(HotkeyIdCalculator)) {
    Launch(calculatorReportUp_, [this] { return StartCalculator(); });
  } else if (id == static_cast<std::uint32_t>(HotkeyIdMedia)) {
    Launch(mediaReportUp_, [this] { return StartMediaPlayer(); });
  }
  return 0;
}

void Hotkeys::OpenMyComputer() {
  platform_.ShellExecuteA(mainWindow_, "open", kExplorer, kMyComputer, nullptr, kSwShowNormal);
}

std::string Hotkeys::StartCalculator() { return platform_.StartCommandLine(kCalculator); }

std::string Hotkeys::StartMediaPlayer() {
  OsVersionInfo version;
  version.dwOSVersionInfoSize = kOsVersionInfoSize;
  platform_.GetVersionExA(version);
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
  const char* player = windows2000 ? kMediaPlayer2000 : kMediaPlayer;
  // The fixed path is the program to run, so no shorter prefix of it can be started in its place.
  return platform_.StartProgram(player, std::string("\"") + player + "\"");
}

// A launch key whose program cannot be started is reported, and the driver stays resident. The
// report's modal loop still delivers WM_HOTKEY: pressed again meanwhile, the key would stack a
// second report on the first.
template <typename Action>
void Hotkeys::Launch(bool& reportUp, Action&& action) {
  if (reportUp) return;
  const std::string failure = action();
  if (failure.empty()) return;
  reportUp = true;
  runtime_.ShowMessageBox(failure, runtime_.ProgramTitle(), forms::kMessageBoxOk | forms::kMessageBoxIconError);
  reportUp = false;
}

}  // namespace tavisk
