// The window model's platform side: real windows, controls, timers and menus over Win32.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "forms/backend.h"

namespace forms::win32 {

class NativeWindow;

// What failed, then the system's text for the error code, for a report.
std::string ErrorText(const std::string& what, DWORD code);
std::string LastErrorText(const std::string& what);

class Win32Backend : public Backend {
 public:
  // title: the program's title, for its message boxes and its single-instance mutex.
  Win32Backend(HINSTANCE instance, std::string title);
  ~Win32Backend() override;

  // Where an error caught at a platform callback goes; the application's report.
  // Also where forms::Fail goes: the program reports and ends at the failing step.
  void SetErrorReport(std::function<void(const std::string&)> report);
  void ReportError(const std::string& what);

  void CoInitializeEx(unsigned flags) override;
  Handle CreateNativeWindow(const WindowDescription& description, EventSink& sink) override;
  void DestroyNativeWindow(Handle window) override;
  void ShowNativeWindow(Handle window) override;
  void BringNativeWindowForward(Handle window) override;
  void PostNativeWindowPos(Handle window, std::intptr_t insertAfter, unsigned flags) override;
  void HideNativeWindow(Handle window) override;
  Bounds WindowBounds(Handle window) override;
  void MoveNativeWindow(Handle window, Twips left, Twips top) override;
  std::string WindowCaption(Handle window) override;
  void SetWindowCaption(Handle window, const std::string& caption) override;
  Handle ControlWindow(Handle window, ControlId control) override;
  Handle WindowIcon(Handle window) override;
  std::string ControlText(Handle window, ControlId control) override;
  void SetShapeFill(Handle window, ControlId control, Colour colour) override;
  void SetControlPicture(Handle window, ControlId control, PictureRef picture) override;
  void SetTimerEnabled(Handle window, ControlId control, bool enabled) override;
  void RearmTimer(Handle window, ControlId control, unsigned milliseconds) override;
  std::uint32_t TickCount() override;
  void PopupMenu(Handle window, ControlId menu, unsigned flags) override;
  PictureRef LoadPictureFile(const std::string& path) override;
  int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override;
  ShellStartResult StartThroughShell(const ShellStart& start) override;
  Screen ScreenMetrics() override;
  std::string ExecutableFolder() override;
  bool PreviousInstanceRunning() override;
  std::string ProgramTitle() override { return title_; }
  int RunMessageLoop() override;
  void EndMessageLoop() override;
  [[noreturn]] void Terminate() override;

  HINSTANCE Instance() const { return instance_; }
  int TwipsPerPixelX() const { return twipsPerPixelX_; }
  int TwipsPerPixelY() const { return twipsPerPixelY_; }
  HWND HiddenOwner();
  // A memory DC at least this large, compatible with target, that every window paints into
  // before its paint reaches the screen. One for the program, made on first use and kept, as
  // large as the largest region repainted so far: windows paint one after the other, and a popup
  // that shows at each key then paints at once.
  HDC BackBuffer(HDC target, int width, int height);
  UINT TaskbarCreatedMessage() const { return taskbarCreated_; }

 private:
  NativeWindow& At(Handle window);

  HINSTANCE instance_;
  std::string title_;
  std::function<void(const std::string&)> report_;
  HWND hiddenOwner_ = nullptr;
  HANDLE instanceMutex_ = nullptr;
  int instanceState_ = -1;  // -1 not asked yet, 0 first copy, 1 another copy runs
  int twipsPerPixelX_ = 15, twipsPerPixelY_ = 15;
  UINT taskbarCreated_ = 0;
  bool comInitialised_ = false;
  HDC backBuffer_ = nullptr;
  HBITMAP backBitmap_ = nullptr;
  HGDIOBJ backBufferOld_ = nullptr;
  int backWidth_ = 0, backHeight_ = 0;
};

}  // namespace forms::win32
