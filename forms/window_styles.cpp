#include "forms/window_styles.h"

namespace forms {

WindowStyles StylesOf(const WindowDescription& description) {
  WindowStyles styles;
  styles.style = kWsClipChildren | (description.frame == Frame::Sizable ? kWsOverlappedWindow : kWsPopup);
  // Windows keeps an owned window off the taskbar; a tool-window style alone is not enough everywhere.
  styles.owned = !description.taskbarButton;
  if (description.taskbarButton) styles.exStyle |= kWsExAppWindow;
  // Alt+Tab lists an owned window whose owner is hidden, unless it is a tool window: without a
  // taskbar button, Alt+Tab is the only way back to a covered window.
  if (!description.inAltTab) styles.exStyle |= kWsExToolWindow;
  // A pop-up that is shown without activation must not take the focus when clicked either, or
  // what the user types next goes to it instead of the application they were typing in.
  if (description.popUpOnTop) styles.exStyle |= kWsExNoActivate;
  return styles;
}

}  // namespace forms
