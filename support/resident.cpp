#include "support/resident.h"

#include <cmath>
#include <limits>

#include "forms/error.h"

namespace support {
namespace {

// The collection's key: the id's decimal digits, no sign, no padding (ids are always positive).
std::string DecimalText(std::int32_t id) {
  char digits[12];
  char* end = digits + sizeof digits;
  char* p = end;
  auto value = static_cast<std::uint32_t>(id);
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return std::string(p, end);
}

}  // namespace

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
  const NotifyIconRecord record = AddRecord(hWnd, id, callbackMessage, icon, tip);
  if (!trayIconOwners_) trayIconOwners_ = std::make_unique<std::map<std::string, std::uintptr_t>>();
  (*trayIconOwners_)[DecimalText(id)] = hWnd;
  added_[id] = record;
  platform_.Shell_NotifyIconA(kNimAdd, record);
  return id;
}

void ResidentSupport::DeleteTrayIcon(std::int32_t id) {
  if (!trayIconOwners_) forms::Fail("Object variable not set");
  const auto owner = trayIconOwners_->find(DecimalText(id));
  if (owner == trayIconOwners_->end()) forms::Fail("Invalid procedure call or argument");
  platform_.Shell_NotifyIconA(kNimDelete, DeleteRecord(owner->second, id));
  added_.erase(id);
}

void ResidentSupport::RestoreTrayIcon(std::int32_t id) {
  const auto record = added_.find(id);
  if (record != added_.end()) platform_.Shell_NotifyIconA(kNimAdd, record->second);
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
