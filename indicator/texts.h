// The indicator's fixed texts, exactly as the system shows them.
#pragma once

namespace lumora {

inline constexpr char kProgramTitle[] = "Lumora";
inline constexpr char kMainCaption[] = "Keyboard LED Indicate";
inline constexpr char kTipText[] = "Lumora";
inline constexpr char kNumLabel[] = "Num";
inline constexpr char kCapsLabel[] = "Caps";
inline constexpr char kScrollLabel[] = "Scroll";
inline constexpr char kMenuCaption[] = "Menu";
inline constexpr char kAboutItem[] = "About";
inline constexpr char kExitItem[] = "Exit";

inline constexpr char kAboutCaption[] = "About";
inline constexpr char kAboutTitle[] = "Keyboard LED Indicate";
// The capital I and the two trailing spaces are the text as it has always been shown.
inline constexpr char kAboutFor[] = "For WIndows  ";
inline constexpr char kAboutVersions[] = "7 / Vista / XP / 2000";
inline constexpr char kOk[] = "OK";

inline constexpr char kHookFailed[] = "Failed to install low-level keyboard hook.";

}  // namespace lumora
