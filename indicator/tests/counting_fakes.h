// Fakes that only count: cheap enough to measure the hook over them, and free of allocation so
// that a test can see the hook allocate nothing.
#pragma once

#include <cstdint>
#include <cstring>

#include "forms/backend.h"
#include "indicator/hook_platform.h"
#include "support/resident.h"

namespace fakes {

class CountingBackend : public forms::Backend {
 public:
  forms::Handle CreateNativeWindow(const forms::WindowDescription& description, forms::EventSink&) override {
    bounds = {0, 0, description.clientWidth, description.clientHeight};
    return next += 0x100;
  }
  void CoInitializeEx(unsigned) override {}
  void DestroyNativeWindow(forms::Handle) override {}
  void ShowNativeWindow(forms::Handle) override { ++shows; }
  void BringNativeWindowForward(forms::Handle) override { ++shows; }
  void PostNativeWindowPos(forms::Handle, std::intptr_t, unsigned) override { ++shows; }
  void HideNativeWindow(forms::Handle) override {}
  forms::Bounds WindowBounds(forms::Handle) override { return bounds; }
  void MoveNativeWindow(forms::Handle, forms::Twips left, forms::Twips top) override {
    bounds.left = left;
    bounds.top = top;
  }
  std::string WindowCaption(forms::Handle) override { return {}; }
  void SetWindowCaption(forms::Handle, const std::string&) override {}
  forms::Handle ControlWindow(forms::Handle window, forms::ControlId control) override {
    return window + 1 + static_cast<forms::Handle>(control);
  }
  forms::Handle WindowIcon(forms::Handle) override { return 0x10002; }
  std::string ControlText(forms::Handle, forms::ControlId) override { return "Lumora"; }
  void SetShapeFill(forms::Handle, forms::ControlId, forms::Colour colour) override { lastFill = colour; }
  void SetControlPicture(forms::Handle, forms::ControlId, forms::PictureRef) override {}
  void SetTimerEnabled(forms::Handle, forms::ControlId, bool) override { ++timerArmings; }
  void RearmTimer(forms::Handle, forms::ControlId, unsigned) override { ++timerArmings; }
  std::uint32_t TickCount() override { return 0; }
  void PopupMenu(forms::Handle, forms::ControlId, unsigned) override {}
  forms::PictureRef LoadPictureFile(const std::string&) override { return nullptr; }
  int ShowMessageBox(const std::string&, const std::string&, unsigned) override { return 1; }
  forms::ShellStartResult StartThroughShell(const forms::ShellStart&) override { return {}; }
  forms::Screen ScreenMetrics() override { return {1024, 768, 15, 15}; }
  std::string ExecutableFolder() override { return {}; }
  bool PreviousInstanceRunning() override { return false; }
  std::string ProgramTitle() override { return "Lumora"; }
  int RunMessageLoop() override { return 0; }
  void EndMessageLoop() override {}
  [[noreturn]] void Terminate() override { throw forms::Terminated{}; }

  std::uint64_t shows = 0, timerArmings = 0;
  forms::Colour lastFill = 0;

 private:
  forms::Bounds bounds;
  forms::Handle next = 0;
};

class CountingResidentPlatform : public support::ResidentPlatform {
 public:
  std::uintptr_t FindWindowA(const char*, const std::string&) override { return 0; }
  std::intptr_t SendMessageA(std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
  int Shell_NotifyIconA(std::uint32_t, const support::NotifyIconRecord&) override { return 1; }
  int SetWindowPos(std::uintptr_t, std::intptr_t, int, int, int, int, std::uint32_t) override { return 1; }
  std::uint32_t RegisterWindowMessageA(const std::string&) override { return 0xC0F0; }
  bool ChangeWindowMessageFilterEx(std::uintptr_t, std::uint32_t, std::uint32_t) override { return true; }
  bool ChangeWindowMessageFilter(std::uint32_t, std::uint32_t) override { return true; }
};

class CountingHookPlatform : public lumora::HookPlatform {
 public:
  std::intptr_t KeyboardHookProcAddress() override { return 0xC0DE; }
  std::uintptr_t ModuleInstance() override { return 0x400000; }
  std::uintptr_t SetWindowsHookExA(int, std::intptr_t, std::uintptr_t, std::uint32_t) override { return 0x4B00; }
  int UnhookWindowsHookEx(std::uintptr_t) override { return 1; }
  std::intptr_t CallNextHookEx(std::uintptr_t, std::int32_t, std::uintptr_t, std::intptr_t) override {
    return static_cast<std::intptr_t>(++nextHookCalls & 1);
  }
  std::int16_t GetKeyState(std::int32_t) override {
    keyState ^= 0x0001;  // the lock flips with every release
    return static_cast<std::int16_t>(keyState);
  }
  int GetKeyboardState(std::uint8_t* keys256) override {
    std::memset(keys256, 0, 256);
    return 1;
  }
  int SetForegroundWindow(std::uintptr_t) override { return 1; }
  int WTSRegisterSessionNotification(std::uintptr_t, std::uint32_t) override { return 1; }
  int WTSUnRegisterSessionNotification(std::uintptr_t) override { return 1; }

  std::uint64_t nextHookCalls = 0;
  std::uint16_t keyState = 0xFF80;
};

}  // namespace fakes
