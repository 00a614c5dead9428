// The launcher's fixed texts, exactly as the disc names them.
#pragma once

namespace vandrel {

inline constexpr char kProgramTitle[] = "Vandrel";
inline constexpr char kStartCaption[] = "Orvane Konstel Ver:1.0";
inline constexpr char kDriverCaption[] = "Konstel Ver:A1.0";

// Appended unchanged to the executable's folder: each literal brings its own leading separator.
inline constexpr char kKeyboardHover[] = "\\picture\\keyboard_page01_01.ico";
inline constexpr char kKeyboardPressed[] = "\\picture\\keyboard_page01_02.ico";
inline constexpr char kExitHover[] = "\\picture\\EXIT_01.ico";
inline constexpr char kExitPressed[] = "\\picture\\EXIT_02.ico";
inline constexpr char kLedHover[] = "\\picture\\wireless keyboard led indicator_01.ico";
inline constexpr char kLedPressed[] = "\\picture\\wireless keyboard led indicator_02.ico";
inline constexpr char kWin2000Hover[] = "\\picture\\driver for win 2000 or lower version user_01.ico";
inline constexpr char kWin2000Pressed[] = "\\picture\\driver for win 2000 or lower version user_02.ico";

inline constexpr char kLedSetup[] = "\\Zevo LED\\Setup.exe";
inline constexpr char kWin2000Setup[] = "\\2K Hot key\\Setup.exe";

}  // namespace vandrel
