#include "support/resident.h"

#include <cmath>
#include <limits>

#include "forms/error.h"

namespace support {
bool ResidentSupport::PrevInstanceHandOff(forms::Form& window) {
  if (!runtime_.PreviousInstanceRunning()) return false;
  const std::string oldCaption = window.Caption();
  // Rename first: the search must not find this copy's own window.
  window.SetCaption("Zelmi's " + window.Caption());
  const std::uintptr_t running = platform_.FindWindowA(nullptr, oldCaption);
  std::int32_t zero = 0;
  platform_.SendMessageA(running, kWmSetFocus, 0, reinterpret_cast<std::intptr_t>(&zero));
  return true;
}

std::int32_t ResidentSupport::AddTrayIcon(std::uintptr_t hWnd, std::uint32_t callbackMessage, std::uintptr_t icon,
                                          const std::string& tip) {
  if (trayIconCounter_ == std::numeric_limits<std::int32_t>::max()) forms::Fail("Overflow");
  const std::int32_t id = ++trayIconCounter_;
  trayIcons_.push_back({id, hWnd, AddRecord(hWnd, id, callbackMessage, icon, tip), true});
  platform_.Shell_NotifyIconA(kNimAdd, trayIcons_.back().added);
  return id;
}

void ResidentSupport::DeleteTrayIcon(std::int32_t id) {
  if (trayIcons_.empty()) forms::Fail("Object variable not set");
  TrayIcon* icon = FindTrayIcon(trayIcons_, id);
  if (!icon) forms::Fail("Invalid procedure call or argument");
  platform_.Shell_NotifyIconA(kNimDelete, DeleteRecord(icon->owner, id));
  icon->shown = false;
}

void ResidentSupport::RestoreTrayIcon(std::int32_t id) {
  const TrayIcon* icon = FindTrayIcon(trayIcons_, id);
  if (icon && icon->shown) platform_.Shell_NotifyIconA(kNimAdd, icon->added);
}

void ResidentSupport::LetTaskbarCreatedThrough(forms::Form& window) {
  // User Interface Privilege Isolation drops a message from a process with lower rights, Explorer's
  // among them, unless the window lets it through: a copy run as administrator would lose its icon
  // for good when Explorer restarts.
  const std::uint32_t message = platform_.RegisterWindowMessageA(kTaskbarCreated);
  if (!platform_.ChangeWindowMessageFilterEx(window.WindowHandle(), message, kMsgfltAllow)) {
    platform_.ChangeWindowMessageFilter(message, kMsgfltAdd);
  }
}

std::uintptr_t ResidentSupport::TrayIconOwner(std::int32_t id) const {
  const TrayIcon* icon = FindTrayIcon(trayIcons_, id);
  return icon ? icon->owner : 0;
}

void ResidentSupport::MakeTopmost(forms::Form& window) {
  platform_.SetWindowPos(window.WindowHandle(), kHwndTopmost, 0, 0, 0, 0,
                         kSwpNoSizeNoMove);
}

std::int32_t DecodeTrayCallback(forms::Twips x, int scaleMode, int twipsPerPixelX) {
  if (scaleMode != forms::kScaleTwips) return 0;
  // lrint rounds in the current mode, the default one: to nearest, halves to even.
  return static_cast<std::int32_t>(std::lrint(x / static_cast<float>(twipsPerPixelX)));
}

}  // namespace support
