// A window object: one per window class and run. It is not loaded, loaded and hidden, or loaded
// and shown; closing destroys the native window but keeps the object, and showing loads it anew.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/backend.h"
#include "forms/description.h"

namespace forms {

class Application;

constexpr int kScaleTwips = 1;

// Why a window is being unloaded, as the query-unload handler receives it.
constexpr int kUnloadFromControlMenu = 0;
constexpr int kUnloadFromCode = 1;
constexpr int kUnloadFromSession = 2;
constexpr int kUnloadFromOwner = 5;  // the window went with its owner: the handlers cannot keep it

class Form : public EventSink {
 public:
  enum class State { NotLoaded, Hidden, Shown };

  Form(Application& app, WindowDescription description);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const WindowDescription& Description() const { return description_; }
  ControlId Find(std::string_view name) const { return description_.Find(name); }
  State CurrentState() const { return state_; }
  bool IsLoaded() const { return state_ != State::NotLoaded; }
  bool IsVisible() const { return state_ == State::Shown; }

  void Load();
  void Show();
  void Hide();
  void Unload(int mode = kUnloadFromCode);

  // Reading or setting a property loads the window first, as using any member of it does.
  Twips Left();
  Twips Top();
  Twips Width();
  Twips Height();
  void SetLeft(Twips left);
  void SetTop(Twips top);
  std::string Caption();
  void SetCaption(const std::string& caption);
  int ScaleMode() const { return kScaleTwips; }

  Handle WindowHandle();
  Handle ControlHandle(ControlId control);
  Handle Icon();
  std::string Text(ControlId control);
  // Enabling a running timer restarts its countdown, so it ticks one interval after the last
  // enabling; it costs no call to the platform, since it may come from inside an input hook: only
  // the time is kept, and the tick waits out the rest. `when` is the time of the event that
  // enables it, on the platform's tick count; without one, the tick count now.
  void SetTimerEnabled(ControlId timer, bool enabled);
  void SetTimerEnabled(ControlId timer, bool enabled, std::uint32_t when);
  void SetFillColour(ControlId shape, Colour colour);
  Colour FillColour(ControlId shape) const { return fills_[static_cast<size_t>(shape)]; }
  void SetPicture(ControlId control, PictureRef picture);
  void PopupMenu(ControlId menu, unsigned flags);

  void OnEvent(const Event& event) override;

 protected:
  virtual void OnLoad() {}
  virtual void OnQueryUnload(int& /*cancel*/, int /*mode*/) {}
  virtual void OnUnload(int& /*cancel*/) {}
  virtual void OnMouseMove(ControlId, int /*button*/, int /*shift*/, Twips /*x*/, Twips /*y*/) {}
  virtual void OnMouseDown(ControlId, int /*button*/, int /*shift*/, Twips /*x*/, Twips /*y*/) {}
  virtual void OnMouseUp(ControlId, int /*button*/, int /*shift*/, Twips /*x*/, Twips /*y*/) {}
  virtual void OnClick(ControlId) {}
  virtual void OnTimer(ControlId) {}
  // The shell's taskbar was re-created; icons added before are gone.
  virtual void OnTaskbarCreated() {}
  // WM_POWERBROADCAST's event, and WM_WTSSESSION_CHANGE's for a window registered for it.
  virtual void OnPowerBroadcast(std::uint32_t /*event*/) {}
  virtual void OnSessionChange(std::uint32_t /*event*/) {}

  Application& app;

 private:
  void Dispatch(const Event& event);
  void Destroyed();
  Backend& Platform();
  void SetTimer(ControlId timer, bool enabled, const std::uint32_t* when);
  bool TickIsDue(ControlId timer);
  void AfterTick(ControlId timer);

  struct TimerState {
    bool running = false;
    bool restarted = false;  // enabled again since the platform's countdown began, at restartedAt
    std::uint32_t restartedAt = 0;
    bool shortened = false;  // the platform's countdown runs for the rest of an interval, not a whole one
  };

  WindowDescription description_;
  State state_ = State::NotLoaded;
  Handle window_ = 0;
  std::vector<Colour> fills_;
  std::vector<TimerState> timers_;
};

}  // namespace forms
