// One native window built from its description: windowless controls painted and hit-tested by
// the window itself, child windows for picture boxes and push buttons, timers and popup menus.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/backend.h"
#include "forms/description.h"
#include "forms/win32/skin.h"

namespace forms::win32 {

class Win32Backend;

class NativeWindow {
 public:
  NativeWindow(Win32Backend& backend, const WindowDescription& description, EventSink& sink);
  ~NativeWindow();
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  static NativeWindow* From(HWND window);
  // The object of the top-level window that holds this window, if that is one of ours.
  static NativeWindow* OfTopLevel(HWND window);

  HWND Window() const { return window_; }
  HWND ControlWindow(ControlId control) const;
  // The small image: the notification area shows no other, and a large one costs the shell a copy.
  HICON Icon();
  // A window with push buttons takes the keys that a dialog takes: Tab, Enter, Space, Esc.
  bool TakesDialogKeys() const { return focus_ != nullptr; }
  const char* Text(ControlId control) const { return description_.controls[static_cast<size_t>(control)].text; }
  void SetFill(ControlId control, Colour colour);
  void SetPicture(ControlId control, PictureRef picture);
  void SetTimer(ControlId control, bool enabled);
  void RearmTimer(ControlId control, unsigned milliseconds);
  void PopupMenu(ControlId menu, unsigned flags);
  // SetWindowPos(insertAfter, 0, 0, 0, 0, flags) from the message loop, after the current handler.
  void PostWindowPos(HWND insertAfter, unsigned flags);
  void CancelWindowPos();

 private:
  struct Control {
    RECT pixels{};
    HWND child = nullptr;
    HFONT font = nullptr;
    Colour fill = 0;
    PictureRef picture;
    HMENU menu = nullptr;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ChildProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Destroyed();
  void Create();
  void LoadIcons();
  HICON LargeIcon();
  void CreateControls();
  void Paint();
  bool DrawsOverBackground() const;
  void PaintBackground(HDC dc, const RECT& client);
  void PaintControls(HDC dc);
  ControlId ControlAt(POINT point) const;
  bool SetPointer();
  void OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void Raise(EventType type, ControlId control, int button = 0, int shift = 0, POINT at = {0, 0});
  HFONT MakeFont(const Font& font) const;
  HFONT WindowFont();
  void InvalidateControl(ControlId control);
  void InvalidatePosted();
  LRESULT DefaultButton() const;
  void MoveFocus(WPARAM wParam, LPARAM lParam);

  Win32Backend& backend_;
  WindowDescription description_;
  EventSink& sink_;
  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool iconsLoaded_ = false;
  Skin skin_;  // decoded on its own thread while the window is made; the first paint waits for it
  HFONT windowFont_ = nullptr;
  std::vector<Control> controls_;
  int heldButton_ = 0;              // kLeftButton or kRightButton: the first of a press, 0 when none is held
  ControlId pressed_ = kNoControl;  // where that press began
  bool hasPointer_ = false;         // a mouse message came, the last one at pointer_
  POINT pointer_{};
  HWND focus_ = nullptr;
  HWND postedInsertAfter_ = nullptr;  // the last posted SetWindowPos, until it runs or is cancelled
  unsigned postedFlags_ = 0;
  RECT postedInvalid_{};  // what changed while a posted SetWindowPos waited: invalidated when it runs
  // Cleared when this object goes; a handler may close its own window while we are inside it.
  std::shared_ptr<bool> alive_{new bool(true)};
};

}  // namespace forms::win32
