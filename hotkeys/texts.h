// The driver's fixed texts, exactly as the system shows or stores them.
#pragma once

namespace tavisk {

inline constexpr char kMainCaption[] = "KeyboardDriver";
inline constexpr char kTipText[] = "Tavisk";
inline constexpr char kMenuCaption[] = "Menu";
inline constexpr char kAboutItem[] = "About";
inline constexpr char kExitItem[] = "Exit";
inline constexpr char kAboutCaption[] = "Multimedia Keyboard Driver";
inline constexpr char kAboutTitle[] = "Keyboard Driver for Win2k/XP/Vista";
inline constexpr char kAboutVersion[] = "Version 1.1";
inline constexpr char kOk[] = "OK";

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAutostartName[] = "MultimediaKeyboard";
// Quoted: an unquoted path with blanks would make Windows try "C:\Program.exe" first at log-on.
inline constexpr char kAutostartCommand[] = "\"C:\\Program Files\\Multimedia Keyboard\\Tavisk.exe\"";

inline constexpr char kAtomComputer[] = "Zelmi";
inline constexpr char kAtomCalculator[] = "Zelmi1";
inline constexpr char kAtomMedia[] = "Zelmi2";

inline constexpr char kExplorer[] = "explorer";
inline constexpr char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
inline constexpr char kCalculator[] = "calc";
inline constexpr char kMediaPlayer2000[] = "C:\\Program Files\\Windows Media Player\\mplayer2.exe";
inline constexpr char kMediaPlayer[] = "C:\\Program Files\\Windows Media Player\\wmplayer.exe";

}  // namespace tavisk
