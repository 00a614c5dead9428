// The seam between the window model and the platform. The Win32 side implements it with real
// windows; the tests' fake records every call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "forms/description.h"

namespace forms {

using Handle = std::uintptr_t;

// A loaded picture (icon file, cursor). The backend owns what it points at; callers share it.
struct Picture {
  virtual ~Picture() = default;
  Handle handle = 0;
  int width = 0, height = 0;  // 0: drawn at the picture's own size
};
using PictureRef = std::shared_ptr<Picture>;

// Destroyed: the native window went without DestroyNativeWindow, taken along by its owner, say.
// PowerBroadcast and SessionChange carry the platform's event code (PBT_..., WTS_...) in code.
enum class EventType {
  MouseMove, MouseDown, MouseUp, Click, Timer, Menu, Close, EndSession, TaskbarCreated, PowerBroadcast, SessionChange,
  Destroyed
};

// Mouse buttons, one bit each: a press or release names one, a move the ones held.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;
constexpr int kXButton1 = 8;
constexpr int kXButton2 = 16;

// One platform event for a window. control is kNoControl for the window's own background.
struct Event {
  EventType type = EventType::MouseMove;
  ControlId control = kNoControl;
  int button = 0;
  int shift = 0;   // 1 Shift, 2 Ctrl, 4 Alt
  Twips x = 0, y = 0;
  std::uint32_t code = 0;
};

class EventSink {
 public:
  virtual void OnEvent(const Event& event) = 0;

 protected:
  ~EventSink() = default;
};

struct Screen {
  int widthPixels = 0, heightPixels = 0;
  int twipsPerPixelX = 15, twipsPerPixelY = 15;
  Twips Width() const { return static_cast<Twips>(widthPixels * twipsPerPixelX); }
  Twips Height() const { return static_cast<Twips>(heightPixels * twipsPerPixelY); }
};

// The outer rectangle of a window, in twips.
struct Bounds {
  Twips left = 0, top = 0, width = 0, height = 0;
};

// Thrown by test backends from Terminate, which on the platform never returns.
struct Terminated {};

constexpr unsigned kMessageBoxOk = 0;
constexpr unsigned kMessageBoxIconError = 0x10;

// SHELLEXECUTEINFOA's mask bits and the show state that a start through the shell uses.
constexpr std::uint32_t kSeeMaskNoAsync = 0x100;   // SEE_MASK_NOASYNC
constexpr std::uint32_t kSeeMaskFlagNoUi = 0x400;  // SEE_MASK_FLAG_NO_UI
constexpr int kShowNormal = 1;                     // SW_SHOWNORMAL

// A program started through the shell (ShellExecuteExA): only the shell asks the user's consent
// when the program's manifest wants an administrator, or Windows takes it for an installer;
// CreateProcess fails there with ERROR_ELEVATION_REQUIRED. No verb, no parameters, no folder.
struct ShellStart {
  // The active window: Windows brings the consent prompt to the front only for the foreground
  // window, and otherwise just flashes it on the taskbar.
  Handle owner = 0;
  std::string file;
  // No async start, since a program may end right after and take the shell's unfinished start
  // with it; no error box, since the program reports a failure itself (consent prompts still show).
  std::uint32_t mask = kSeeMaskNoAsync | kSeeMaskFlagNoUi;
  int show = kShowNormal;
};

// ERROR_CANCELLED: the user answered "No" at the consent prompt, which is no failure.
constexpr std::uint32_t kErrorCancelled = 1223;

struct ShellStartResult {
  std::uint32_t error = 0;  // the system's error code, 0 once the process exists
  std::string failure;      // a report's text when error is not 0
};

// What CreateMutexA on the single-instance name says: opened, the mutex was there already
// (ERROR_ALREADY_EXISTS); refused with ERROR_ACCESS_DENIED, a copy with other rights made it, one
// run as administrator say. Any other failure counts as no other copy.
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr bool AnotherCopyHoldsMutex(bool opened, std::uint32_t lastError) {
  return opened ? lastError == kErrorAlreadyExists : lastError == kErrorAccessDenied;
}

// SetWindowPos's insert-after handle and flags, by their Win32 values.
constexpr std::intptr_t kHwndTopmost = -1;
constexpr unsigned kSwpNoSize = 0x1;
constexpr unsigned kSwpNoMove = 0x2;
constexpr unsigned kSwpNoActivate = 0x10;
constexpr unsigned kSwpShowWindow = 0x40;

// CoInitializeEx's flags, by their Win32 values.
constexpr unsigned kCoinitApartmentThreaded = 0x2;
constexpr unsigned kCoinitDisableOle1Dde = 0x4;

class Backend {
 public:
  virtual ~Backend() = default;

  // Puts the program's thread into a COM apartment, once, before its first window.
  virtual void CoInitializeEx(unsigned flags) = 0;

  // Creates the window and its controls, hidden. Events go to sink until the window is destroyed.
  virtual Handle CreateNativeWindow(const WindowDescription& description, EventSink& sink) = 0;
  virtual void DestroyNativeWindow(Handle window) = 0;
  // Shows and activates a hidden window, and paints it before returning.
  virtual void ShowNativeWindow(Handle window) = 0;
  // Restores a shown window if it is minimised and brings it to the front.
  virtual void BringNativeWindowForward(Handle window) = 0;
  // SetWindowPos(window, insertAfter, 0, 0, 0, 0, flags), posted to the window's own queue: it runs
  // once the current handler has returned, unless a hide comes first. Called from inside a
  // low-level keyboard hook, every call made there holds up the whole desktop's keyboard; a posted
  // message costs the hook almost nothing. Never moves or sizes, never paints; what it uncovers is
  // painted from the message loop.
  virtual void PostNativeWindowPos(Handle window, std::intptr_t insertAfter, unsigned flags) = 0;
  virtual void HideNativeWindow(Handle window) = 0;
  virtual Bounds WindowBounds(Handle window) = 0;
  virtual void MoveNativeWindow(Handle window, Twips left, Twips top) = 0;
  virtual std::string WindowCaption(Handle window) = 0;
  virtual void SetWindowCaption(Handle window, const std::string& caption) = 0;

  virtual Handle ControlWindow(Handle window, ControlId control) = 0;
  virtual Handle WindowIcon(Handle window) = 0;
  virtual std::string ControlText(Handle window, ControlId control) = 0;
  // Only marks the shape for the next paint.
  virtual void SetShapeFill(Handle window, ControlId control, Colour colour) = 0;
  virtual void SetControlPicture(Handle window, ControlId control, PictureRef picture) = 0;
  // Enabling starts the timer's countdown of its interval, disabling stops it. The window model
  // enables only a stopped timer: a running one is restarted without a call (Form::SetTimerEnabled).
  virtual void SetTimerEnabled(Handle window, ControlId control, bool enabled) = 0;
  // Starts a running timer's countdown again, for this many milliseconds.
  virtual void RearmTimer(Handle window, ControlId control, unsigned milliseconds) = 0;
  // Milliseconds since the system started: the clock of the timer's restarts and of input events.
  virtual std::uint32_t TickCount() = 0;
  virtual void PopupMenu(Handle window, ControlId menu, unsigned flags) = 0;

  virtual PictureRef LoadPictureFile(const std::string& path) = 0;  // fails (forms::Fail) when it cannot
  virtual int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) = 0;
  // Returns once the process exists, without waiting for it.
  [[nodiscard]] virtual ShellStartResult StartThroughShell(const ShellStart& start) = 0;

  virtual Screen ScreenMetrics() = 0;
  virtual std::string ExecutableFolder() = 0;
  virtual bool PreviousInstanceRunning() = 0;
  virtual std::string ProgramTitle() = 0;

  virtual int RunMessageLoop() = 0;
  virtual void EndMessageLoop() = 0;
  [[noreturn]] virtual void Terminate() = 0;
};

}  // namespace forms
