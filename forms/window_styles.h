// The Win32 style bits and owner that a window description makes, worked out apart from the
// window so that what each description asks of Windows can be tested.
#pragma once

#include <cstdint>

#include "forms/description.h"

namespace forms {

constexpr std::uint32_t kWsPopup = 0x80000000;
constexpr std::uint32_t kWsClipChildren = 0x02000000;
constexpr std::uint32_t kWsOverlappedWindow = 0x00CF0000;
constexpr std::uint32_t kWsExToolWindow = 0x00000080;
constexpr std::uint32_t kWsExAppWindow = 0x00040000;
constexpr std::uint32_t kWsExNoActivate = 0x08000000;

struct WindowStyles {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  bool owned = false;  // by the program's hidden window
};

WindowStyles StylesOf(const WindowDescription& description);

}  // namespace forms
