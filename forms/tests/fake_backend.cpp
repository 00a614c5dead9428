#include "forms/tests/fake_backend.h"

#include "forms/error.h"

namespace fakes {
namespace {

std::string Number(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

struct FakePicture : forms::Picture {
  std::string path;
};

}  // namespace

void FakeBackend::CoInitializeEx(unsigned flags) {
  coInitializeEx.push_back("flags=" + std::to_string(flags) + " after " + std::to_string(log_.Lines().size()) + " calls");
}

forms::Handle FakeBackend::CreateNativeWindow(const forms::WindowDescription& description, forms::EventSink& sink) {
  const forms::Handle handle = next_;
  next_ += 0x100;
  Window window;
  window.description = description;
  window.sink = &sink;
  window.caption = description.caption;
  window.bounds = {description.hasPosition ? description.clientLeft : 0,
                   description.hasPosition ? description.clientTop : 0, description.clientWidth,
                   description.clientHeight};
  for (size_t i = 0; i < description.controls.size(); ++i) {
    if (description.controls[i].kind == forms::Kind::Timer && description.controls[i].enabled) {
      window.timers[static_cast<forms::ControlId>(i)] = true;
    }
  }
  windows_[handle] = window;
  log_.Add(std::string("CreateWindow ") + description.className + " " + Hex(handle));
  return handle;
}

void FakeBackend::DestroyNativeWindow(forms::Handle window) {
  log_.Add("DestroyWindow " + Hex(window));
  windows_.erase(window);
}

void FakeBackend::ShowNativeWindow(forms::Handle window) {
  log_.Add("Show " + Hex(window));
  windows_.at(window).visible = true;
  ++paintsNow;
}

void FakeBackend::BringNativeWindowForward(forms::Handle window) {
  log_.Add("BringForward " + Hex(window));
  windows_.at(window).visible = true;
}

void FakeBackend::PostNativeWindowPos(forms::Handle window, std::intptr_t insertAfter, unsigned flags) {
  log_.Add("PostWindowPos " + Hex(window) + " after=" + std::to_string(insertAfter) + " 0,0,0,0 flags=" +
           std::to_string(flags));
  if (flags & forms::kSwpShowWindow) windows_.at(window).visible = true;
}

void FakeBackend::HideNativeWindow(forms::Handle window) {
  log_.Add("Hide " + Hex(window));
  windows_.at(window).visible = false;
}

forms::Bounds FakeBackend::WindowBounds(forms::Handle window) { return windows_.at(window).bounds; }

void FakeBackend::MoveNativeWindow(forms::Handle window, forms::Twips left, forms::Twips top) {
  log_.Add("Move " + Hex(window) + " left=" + Number(left) + " top=" + Number(top));
  windows_.at(window).bounds.left = left;
  windows_.at(window).bounds.top = top;
}

std::string FakeBackend::WindowCaption(forms::Handle window) { return windows_.at(window).caption; }

void FakeBackend::SetWindowCaption(forms::Handle window, const std::string& caption) {
  log_.Add("SetCaption " + Hex(window) + " \"" + caption + "\"");
  windows_.at(window).caption = caption;
}

forms::Handle FakeBackend::ControlWindow(forms::Handle window, forms::ControlId control) {
  return window + 1 + static_cast<forms::Handle>(control);
}

forms::Handle FakeBackend::WindowIcon(forms::Handle window) {
  return 0x10000 + static_cast<forms::Handle>(windows_.at(window).description.icon);
}

std::string FakeBackend::ControlText(forms::Handle window, forms::ControlId control) {
  return windows_.at(window).description.controls.at(static_cast<size_t>(control)).text;
}

std::string FakeBackend::ControlName(forms::Handle window, forms::ControlId control) const {
  return windows_.at(window).description.controls.at(static_cast<size_t>(control)).name;
}

void FakeBackend::SetShapeFill(forms::Handle window, forms::ControlId control, forms::Colour colour) {
  log_.Add("SetFill " + ControlName(window, control) + " " + std::to_string(colour));
}

void FakeBackend::SetControlPicture(forms::Handle window, forms::ControlId control, forms::PictureRef picture) {
  const auto* fake = dynamic_cast<const FakePicture*>(picture.get());
  log_.Add("SetPicture " + ControlName(window, control) + " " + (fake ? fake->path : std::string("none")));
}

void FakeBackend::SetTimerEnabled(forms::Handle window, forms::ControlId control, bool enabled) {
  log_.Add("SetTimer " + ControlName(window, control) + (enabled ? " on" : " off"));
  windows_.at(window).timers[control] = enabled;
}

void FakeBackend::RearmTimer(forms::Handle window, forms::ControlId control, unsigned milliseconds) {
  log_.Add("SetTimer " + ControlName(window, control) + " " + std::to_string(milliseconds) + " ms");
}

void FakeBackend::PopupMenu(forms::Handle window, forms::ControlId menu, unsigned flags) {
  log_.Add("PopupMenu " + ControlName(window, menu) + " flags=" + std::to_string(flags));
  if (onPopupMenu) onPopupMenu();
}

forms::PictureRef FakeBackend::LoadPictureFile(const std::string& path) {
  log_.Add("LoadPicture " + path);
  if (missingFiles.count(path)) forms::Fail("File not found: " + path);
  auto picture = std::make_shared<FakePicture>();
  picture->path = path;
  return picture;
}

int FakeBackend::ShowMessageBox(const std::string& text, const std::string& title, unsigned style) {
  log_.Add("MessageBox \"" + text + "\" title=\"" + title + "\" style=" + std::to_string(style));
  if (onMessageBox) onMessageBox();
  return 1;
}

forms::ShellStartResult FakeBackend::StartThroughShell(const forms::ShellStart& start) {
  log_.Add("StartThroughShell hwnd=" + Hex(start.owner) + " fMask=" + Hex(start.mask) + " file=\"" + start.file +
           "\" nShow=" + std::to_string(start.show));
  if (declinedStarts.count(start.file)) return {forms::kErrorCancelled, "The operation was canceled by the user."};
  if (missingFiles.count(start.file)) return {2, "File not found"};
  return {};
}

bool FakeBackend::PreviousInstanceRunning() {
  log_.Add("PreviousInstanceRunning");
  return previousInstance;
}

int FakeBackend::RunMessageLoop() {
  log_.Add("RunMessageLoop");
  return 0;
}

void FakeBackend::EndMessageLoop() {
  log_.Add("EndMessageLoop");
  quitPosted = true;
}

void FakeBackend::Terminate() {
  log_.Add("Terminate");
  throw forms::Terminated{};
}

void FakeBackend::Deliver(forms::Handle window, const forms::Event& event) { windows_.at(window).sink->OnEvent(event); }

void FakeBackend::DestroyFromOutside(forms::Handle window) {
  forms::EventSink* sink = windows_.at(window).sink;
  windows_.erase(window);
  forms::Event destroyed;
  destroyed.type = forms::EventType::Destroyed;
  sink->OnEvent(destroyed);
}

}  // namespace fakes
