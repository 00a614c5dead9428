// A backend that records every call and keeps just the state the window model reads back.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "forms/backend.h"
#include "forms/tests/call_log.h"

namespace fakes {

class FakeBackend : public forms::Backend {
 public:
  struct Window {
    forms::WindowDescription description;
    forms::EventSink* sink = nullptr;
    bool visible = false;
    forms::Bounds bounds;
    std::string caption;
    std::map<forms::ControlId, bool> timers;
  };

  explicit FakeBackend(CallLog& log) : log_(log) {}

  void CoInitializeEx(unsigned flags) override;
  forms::Handle CreateNativeWindow(const forms::WindowDescription& description, forms::EventSink& sink) override;
  void DestroyNativeWindow(forms::Handle window) override;
  void ShowNativeWindow(forms::Handle window) override;
  void BringNativeWindowForward(forms::Handle window) override;
  void PostNativeWindowPos(forms::Handle window, std::intptr_t insertAfter, unsigned flags) override;
  void HideNativeWindow(forms::Handle window) override;
  forms::Bounds WindowBounds(forms::Handle window) override;
  void MoveNativeWindow(forms::Handle window, forms::Twips left, forms::Twips top) override;
  std::string WindowCaption(forms::Handle window) override;
  void SetWindowCaption(forms::Handle window, const std::string& caption) override;
  forms::Handle ControlWindow(forms::Handle window, forms::ControlId control) override;
  forms::Handle WindowIcon(forms::Handle window) override;
  std::string ControlText(forms::Handle window, forms::ControlId control) override;
  void SetShapeFill(forms::Handle window, forms::ControlId control, forms::Colour colour) override;
  void SetControlPicture(forms::Handle window, forms::ControlId control, forms::PictureRef picture) override;
  void SetTimerEnabled(forms::Handle window, forms::ControlId control, bool enabled) override;
  void RearmTimer(forms::Handle window, forms::ControlId control, unsigned milliseconds) override;
  std::uint32_t TickCount() override { return tickCount; }
  void PopupMenu(forms::Handle window, forms::ControlId menu, unsigned flags) override;
  forms::PictureRef LoadPictureFile(const std::string& path) override;
  int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override;
  forms::ShellStartResult StartThroughShell(const forms::ShellStart& start) override;
  forms::Screen ScreenMetrics() override { return screen; }
  std::string ExecutableFolder() override { return executableFolder; }
  bool PreviousInstanceRunning() override;
  std::string ProgramTitle() override { return "Test"; }
  int RunMessageLoop() override;
  void EndMessageLoop() override;
  [[noreturn]] void Terminate() override;

  // Delivers a platform event to a window, as its window procedure would.
  void Deliver(forms::Handle window, const forms::Event& event);
  // The native window goes without DestroyNativeWindow, as when its owner is destroyed.
  void DestroyFromOutside(forms::Handle window);
  const Window& At(forms::Handle window) const { return windows_.at(window); }
  bool Exists(forms::Handle window) const { return windows_.count(window) != 0; }
  std::string ControlName(forms::Handle window, forms::ControlId control) const;

  forms::Screen screen{1024, 768, 15, 15};
  std::string executableFolder = "D:\\Disc";
  bool previousInstance = false;
  std::set<std::string> missingFiles;      // picture loads and starts through the shell fail for these
  std::set<std::string> declinedStarts;    // the user answers "No" at the consent prompt for these
  std::function<void()> onMessageBox;       // runs inside the modal box, as nested events would
  std::function<void()> onPopupMenu;        // runs while the popup menu is open
  bool quitPosted = false;
  std::uint32_t tickCount = 0;  // not logged: reading it is no call into the system
  int paintsNow = 0;  // windows painted before the call that showed them returned
  // Thread set-up, kept out of the log, where every start-up would begin with it: "flags=F after N
  // calls" for each call.
  std::vector<std::string> coInitializeEx;

 private:
  CallLog& log_;
  std::map<forms::Handle, Window> windows_;
  forms::Handle next_ = 0x100;
};

}  // namespace fakes
