// The routines both resident programs link: hand-off to a running copy, the notification-area
// icon and its callback decoding, and the topmost state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/form.h"
#include "support/notify_icon.h"

namespace support {

constexpr std::uint32_t kWmSetFocus = 7;
constexpr std::uint32_t kWmMouseMove = 0x200;
constexpr std::uint32_t kWmLButtonUp = 514;
constexpr std::uint32_t kWmRButtonUp = 517;
constexpr std::uint32_t kSwpNoSizeNoMove = 3;
constexpr std::intptr_t kHwndTopmost = -1;
constexpr std::uint32_t kMsgfltAllow = 1;  // MSGFLT_ALLOW, ChangeWindowMessageFilterEx's action
constexpr std::uint32_t kMsgfltAdd = 1;    // MSGFLT_ADD, ChangeWindowMessageFilter's flag
constexpr char kTaskbarCreated[] = "TaskbarCreated";

// What the module needs of Win32.
class ResidentPlatform {
 public:
  virtual ~ResidentPlatform() = default;
  virtual std::uintptr_t FindWindowA(const char* className, const std::string& windowName) = 0;
  virtual std::intptr_t SendMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) = 0;
  virtual int Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record) = 0;
  virtual int SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                           std::uint32_t flags) = 0;
  virtual std::uint32_t RegisterWindowMessageA(const std::string& name) = 0;
  // Loaded at run time: Windows 2000 and XP have neither, Vista only the one without Ex. Each
  // returns false where this Windows lacks it; the call's own result is not used.
  virtual bool ChangeWindowMessageFilterEx(std::uintptr_t window, std::uint32_t message, std::uint32_t action) = 0;
  virtual bool ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) = 0;
};

class ResidentSupport {
 public:
  ResidentSupport(ResidentPlatform& platform, forms::Backend& runtime) : platform_(platform), runtime_(runtime) {}

  bool PrevInstanceHandOff(forms::Form& window);
  std::int32_t AddTrayIcon(std::uintptr_t hWnd, std::uint32_t callbackMessage, std::uintptr_t icon,
                           const std::string& tip);
  void DeleteTrayIcon(std::int32_t id);
  void MakeTopmost(forms::Form& window);

  // Adds the icon with this id again, as it was first added: the taskbar was re-created and lost it.
  void RestoreTrayIcon(std::int32_t id);
  // Lets the shell's "TaskbarCreated" reach the window also when the program runs with higher
  // rights than the shell.
  void LetTaskbarCreatedThrough(forms::Form& window);

  std::int32_t TrayIconCounter() const { return trayIconCounter_; }
  // The window an id was given out for, 0 for an id never given out. An id keeps its owner after
  // its icon is deleted.
  std::uintptr_t TrayIconOwner(std::int32_t id) const;

 private:
  struct TrayIcon {
    std::int32_t id;
    std::uintptr_t owner;
    NotifyIconRecord added;  // as first added, to add again
    bool shown;
  };
  template <typename Icons>
  static auto* FindTrayIcon(Icons& icons, std::int32_t id) {
    for (auto& icon : icons) {
      if (icon.id == id) return &icon;
    }
    return static_cast<decltype(&icons.front())>(nullptr);
  }

  ResidentPlatform& platform_;
  forms::Backend& runtime_;
  std::int32_t trayIconCounter_ = 0;
  // A program has an icon or two, so a list beats a tree.
  std::vector<TrayIcon> trayIcons_;
};

// The mouse message carried by an icon callback: X arrives as the message number times the
// screen's twips per pixel; only a main window that measures in twips can read it back.
std::int32_t DecodeTrayCallback(forms::Twips x, int scaleMode, int twipsPerPixelX);

}  // namespace support
