#include "forms/form.h"

#include "forms/application.h"

namespace forms {

Form::Form(Application& application, WindowDescription description)
    : app(application), description_(std::move(description)) {
  app.Track(*this);
  for (const auto& control : description_.controls) fills_.push_back(control.fillColour);
  timers_.resize(description_.controls.size());
}

Backend& Form::Platform() { return app.Platform(); }

void Form::Load() {
  if (IsLoaded()) return;
  for (size_t i = 0; i < fills_.size(); ++i) {
    const ControlDescription& control = description_.controls[i];
    fills_[i] = control.fillColour;
    timers_[i] = {};
    timers_[i].running = control.kind == Kind::Timer && control.enabled && control.interval > 0;
  }
  window_ = Platform().CreateNativeWindow(description_, *this);
  state_ = State::Hidden;
  OnLoad();
}

void Form::Show() {
  Load();
  // The load handler may have unloaded the window again; then there is nothing to show.
  if (!IsLoaded()) return;
  if (description_.popUpOnTop) {
    // A plain show leaves the z-order alone, so the taskbar could cover the pop-up, and paints at
    // once; SetWindowPos to HWND_TOPMOST raises it above the taskbar and leaves the paint to the loop.
    Platform().PostNativeWindowPos(window_, kHwndTopmost, kSwpNoMove | kSwpNoSize | kSwpNoActivate | kSwpShowWindow);
  } else if (state_ == State::Shown) {
    // ShowWindow does nothing to a visible window, even one minimised or behind others.
    Platform().BringNativeWindowForward(window_);
  } else {
    Platform().ShowNativeWindow(window_);
  }
  state_ = State::Shown;
}

void Form::Hide() {
  Load();
  Platform().HideNativeWindow(window_);
  state_ = State::Hidden;
}

void Form::Unload(int mode) {
  if (!IsLoaded()) return;
  int cancel = 0;
  OnQueryUnload(cancel, mode);
  if (cancel != 0 || !IsLoaded()) return;
  OnUnload(cancel);
  if (cancel != 0 || !IsLoaded()) return;
  const Handle window = window_;
  window_ = 0;
  state_ = State::NotLoaded;
  Platform().DestroyNativeWindow(window);
}

Twips Form::Left() { Load(); return Platform().WindowBounds(window_).left; }
Twips Form::Top() { Load(); return Platform().WindowBounds(window_).top; }
Twips Form::Width() { Load(); return Platform().WindowBounds(window_).width; }
Twips Form::Height() { Load(); return Platform().WindowBounds(window_).height; }

void Form::SetLeft(Twips left) {
  Load();
  Platform().MoveNativeWindow(window_, left, Platform().WindowBounds(window_).top);
}

void Form::SetTop(Twips top) {
  Load();
  Platform().MoveNativeWindow(window_, Platform().WindowBounds(window_).left, top);
}

std::string Form::Caption() { Load(); return Platform().WindowCaption(window_); }
void Form::SetCaption(const std::string& caption) { Load(); Platform().SetWindowCaption(window_, caption); }

Handle Form::WindowHandle() { Load(); return window_; }
Handle Form::ControlHandle(ControlId control) { Load(); return Platform().ControlWindow(window_, control); }
Handle Form::Icon() { Load(); return Platform().WindowIcon(window_); }
std::string Form::Text(ControlId control) { Load(); return Platform().ControlText(window_, control); }

void Form::SetTimerEnabled(ControlId timer, bool enabled) { SetTimer(timer, enabled, nullptr); }

void Form::SetTimerEnabled(ControlId timer, bool enabled, std::uint32_t when) { SetTimer(timer, enabled, &when); }

void Form::SetTimer(ControlId timer, bool enabled, const std::uint32_t* when) {
  Load();
  TimerState& state = timers_[static_cast<size_t>(timer)];
  if (enabled && state.running) {
    state.restarted = true;
    state.restartedAt = when ? *when : Platform().TickCount();
    return;
  }
  state = {};
  state.running = enabled && description_.controls[static_cast<size_t>(timer)].interval > 0;
  Platform().SetTimerEnabled(window_, timer, enabled);
}

// A tick before an interval has passed since the last restart is not one: the platform's countdown
// starts again for the rest of the interval, so a running timer wakes the program at most once an
// interval, however often it is restarted.
bool Form::TickIsDue(ControlId timer) {
  if (timer < 0 || static_cast<size_t>(timer) >= timers_.size()) return true;
  TimerState& state = timers_[static_cast<size_t>(timer)];
  if (!state.running || !state.restarted) return true;
  state.restarted = false;
  const auto interval = static_cast<std::int64_t>(description_.controls[static_cast<size_t>(timer)].interval);
  // Signed: an event stamped a moment after the tick count was read counts as no time passed.
  const std::int64_t elapsed = static_cast<std::int32_t>(Platform().TickCount() - state.restartedAt);
  if (elapsed >= interval) return true;
  state.shortened = true;
  Platform().RearmTimer(window_, timer, static_cast<unsigned>(interval - (elapsed > 0 ? elapsed : 0)));
  return false;
}

// A timer that ticked after the rest of an interval and is still running goes back to whole ones.
void Form::AfterTick(ControlId timer) {
  if (!IsLoaded() || timer < 0 || static_cast<size_t>(timer) >= timers_.size()) return;
  TimerState& state = timers_[static_cast<size_t>(timer)];
  // Restarted by the handler, it keeps the short countdown, whose tick then waits out the rest.
  if (!state.running || !state.shortened || state.restarted) return;
  state.shortened = false;
  Platform().SetTimerEnabled(window_, timer, true);
}

void Form::SetFillColour(ControlId shape, Colour colour) {
  Load();
  fills_[static_cast<size_t>(shape)] = colour;
  Platform().SetShapeFill(window_, shape, colour);
}

void Form::SetPicture(ControlId control, PictureRef picture) {
  Load();
  Platform().SetControlPicture(window_, control, std::move(picture));
}

void Form::PopupMenu(ControlId menu, unsigned flags) {
  Load();
  Platform().PopupMenu(window_, menu, flags);
}

void Form::OnEvent(const Event& event) {
  app.Dispatch([&] { Dispatch(event); });
}

void Form::Dispatch(const Event& event) {
  switch (event.type) {
    case EventType::MouseMove: OnMouseMove(event.control, event.button, event.shift, event.x, event.y); break;
    case EventType::MouseDown: OnMouseDown(event.control, event.button, event.shift, event.x, event.y); break;
    case EventType::MouseUp: OnMouseUp(event.control, event.button, event.shift, event.x, event.y); break;
    case EventType::Click: OnClick(event.control); break;
    case EventType::Timer:
      if (!TickIsDue(event.control)) break;
      OnTimer(event.control);
      AfterTick(event.control);
      break;
    case EventType::Menu: OnClick(event.control); break;
    case EventType::Close: Unload(kUnloadFromControlMenu); break;
    case EventType::EndSession: Unload(kUnloadFromSession); break;
    case EventType::TaskbarCreated: OnTaskbarCreated(); break;
    case EventType::PowerBroadcast: OnPowerBroadcast(event.code); break;
    case EventType::SessionChange: OnSessionChange(event.code); break;
    case EventType::Destroyed: Destroyed(); break;
  }
}

// Not loaded first: the program ends when no window is loaded, and no handler may reach a window
// that is gone. The unload steps still run, so that what the load set up is undone.
void Form::Destroyed() {
  if (!IsLoaded()) return;
  window_ = 0;
  state_ = State::NotLoaded;
  int cancel = 0;
  OnQueryUnload(cancel, kUnloadFromOwner);
  OnUnload(cancel);
}

}  // namespace forms
