// The real hotkey driver under Wine: its hidden window, icon, autostart value and hotkeys, driven
// by injected launch keys and clicks on its tray icon.
#include <gmock/gmock.h>

#include "bench_fixture.h"

namespace {

using bench::MenuRow;

constexpr char kCaption[] = "KeyboardDriver";
constexpr char kAboutCaption[] = "Multimedia Keyboard Driver";
constexpr char kRunKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kPlayerFolder[] = "C:\\Program Files\\Windows Media Player\\";
constexpr DWORD kWait = 5000;
const std::vector<MenuRow> kMenuRows = {MenuRow::Item, MenuRow::Item};  // About, Exit

// The media player moved aside for a test, and put back on every way out of it, or the later tests
// would miss it too.
struct MovedAside {
  std::string path = std::string(kPlayerFolder) + "wmplayer.exe";
  bool moved = MoveFileExA(path.c_str(), (path + ".aside").c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  MovedAside() = default;
  MovedAside(const MovedAside&) = delete;
  MovedAside& operator=(const MovedAside&) = delete;
  ~MovedAside() {
    if (moved) MoveFileExA((path + ".aside").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
};

class Tavisk : public bench::BenchTest {
 protected:
  void SetUp() override {
    BenchTest::SetUp();
    bench::RegDeleteValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                          "MultimediaKeyboard");
  }

  // Ends every copy the way Windows would, by closing its windows, so that its icon goes too:
  // a killed driver would leave a dead icon in the tray for the next test.
  void TearDown() override {
    for (const auto& w : bench::TopLevelWindows()) {
      if (w.caption == kAboutCaption || w.caption == kCaption) PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
    }
    bench::WaitFor(kWait, [] { return bench::FindProcesses("Tavisk.exe").empty(); });
    BenchTest::TearDown();
  }

  bench::Process StartDriver() {
    bench::Process driver = StartProgram("Tavisk.exe");
    EXPECT_TRUE(driver) << "Tavisk.exe did not start";
    main = bench::WaitExists(nullptr, kCaption, kWait);
    EXPECT_NE(main, nullptr) << "no window captioned KeyboardDriver";
    EXPECT_TRUE(WaitHotkeysHeld()) << "the launch keys were not registered";
    return driver;
  }

  // A launch key is live when another program can no longer register it.
  static bool HotkeyHeld(UINT vk) {
    if (RegisterHotKey(nullptr, 0x7000, 0, vk)) {
      UnregisterHotKey(nullptr, 0x7000);
      return false;
    }
    return true;
  }
  static bool WaitHotkeysHeld() {
    return bench::WaitFor(kWait, [] { return HotkeyHeld(0xB5) && HotkeyHeld(0xB6) && HotkeyHeld(0xB7); });
  }

  HWND OpenTrayMenu() { return bench::OpenTrayMenu(0, kWait); }
  void ChooseFromTrayMenu(size_t row) {
    ASSERT_TRUE(bench::ChooseTrayMenuRow(0, kMenuRows, row, kWait)) << "the tray menu did not open and close";
  }
  std::vector<bench::LogLine> WaitStarted(size_t lines) {
    std::vector<bench::LogLine> started;
    EXPECT_TRUE(bench::WaitLogLines(log, lines, kWait, &started)) << "no program was started";
    return started;
  }
  // The window that has the keyboard focus in the thread of this one.
  static HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
  }
  // With the icon gone, a right click where it stood opens no menu.
  static void ExpectNoIcon() {
    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    EXPECT_EQ(bench::WaitPopupMenu(500), nullptr) << "the icon is still there";
  }
  static int CountWindows(const char* caption) {
    int count = 0;
    for (const auto& w : bench::TopLevelWindows()) count += (w.caption == caption && w.visible) ? 1 : 0;
    return count;
  }

  HWND main = nullptr;
};

TEST_F(Tavisk, StartLeavesAHiddenWindowTheAutostartValueAndLiveHotkeys) {
  bench::Process driver = StartDriver();
  const bench::WindowInfo info = bench::Describe(main);
  EXPECT_EQ(info.className, "TaviskMainWindow");
  for (const auto& w : bench::WindowsOfProcess(driver.pid)) EXPECT_FALSE(w.visible) << w.className;
  EXPECT_FALSE(bench::HasTaskbarButton(main));

  const bench::RegValue value = bench::RegQuery(kRunKey, "MultimediaKeyboard");
  ASSERT_TRUE(value.Found());
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  const std::string stored(value.data.begin(), value.data.end());
  EXPECT_EQ(stored, std::string("\"C:\\Program Files\\Multimedia Keyboard\\Tavisk.exe\"") + '\0');
}

TEST_F(Tavisk, LaunchKeysStartTheCalculatorThePlayerAndMyComputer) {
  StartDriver();
  bench::Key(0xB7);
  auto started = WaitStarted(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_THAT(started[0].module, ::testing::EndsWith("\\windows\\calc.exe"));
  EXPECT_EQ(started[0].commandLine, "calc");

  bench::Key(0xB5);
  started = WaitStarted(2);
  ASSERT_EQ(started.size(), 2u);
  const std::string player = std::string(kPlayerFolder) + "wmplayer.exe";
  EXPECT_THAT(started[1].module, ::testing::StrCaseEq(player));
  EXPECT_EQ(started[1].commandLine, "\"" + player + "\"");

  bench::Key(0xB6);
  started = WaitStarted(3);
  ASSERT_EQ(started.size(), 3u);
  EXPECT_THAT(started[2].module, ::testing::EndsWith("explorer.exe"));
  EXPECT_THAT(started[2].module, ::testing::StrCaseEq(bench::ExeDir() + "explorer.exe"));
  EXPECT_THAT(started[2].commandLine, ::testing::EndsWith("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
}

TEST_F(Tavisk, OnWindows2000TheMediaKeyStartsTheOlderPlayer) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Tavisk.exe", &key), ERROR_SUCCESS);
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win2k"), 6);
  StartDriver();
  bench::Key(0xB5);
  const auto started = WaitStarted(1);
  RegDeleteValueA(key, "Version");
  RegCloseKey(key);
  ASSERT_EQ(started.size(), 1u);
  const std::string player = std::string(kPlayerFolder) + "mplayer2.exe";
  EXPECT_THAT(started[0].module, ::testing::StrCaseEq(player));
  EXPECT_EQ(started[0].commandLine, "\"" + player + "\"");
}

TEST_F(Tavisk, RightClickOnTheIconOpensTheMenuAtThePointer) {
  StartDriver();
  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr);
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT r{};
  GetWindowRect(menu, &r);
  // The menu opens at the pointer, pushed back onto the screen where it would leave it.
  EXPECT_LE(std::abs(r.right - cursor.x), r.right - r.left);
  EXPECT_LE(std::abs(r.bottom - cursor.y), r.bottom - r.top + 30);
  bench::Key(VK_ESCAPE);
  EXPECT_TRUE(bench::WaitPopupMenuGone(kWait));
}

TEST_F(Tavisk, AboutShowsOneBoxAtItsFixedPlaceHoweverOftenChosen) {
  StartDriver();
  ChooseFromTrayMenu(0);
  HWND about = bench::WaitWindow(nullptr, kAboutCaption, kWait);
  ASSERT_NE(about, nullptr);
  POINT origin{0, 0};
  ClientToScreen(about, &origin);
  const int twipsPerPixel = 1440 / bench::Dpi();
  EXPECT_EQ(origin.x, (5070 + twipsPerPixel / 2) / twipsPerPixel);
  EXPECT_EQ(origin.y, (4995 + twipsPerPixel / 2) / twipsPerPixel);
  EXPECT_TRUE(bench::WaitFor(kWait, [&] { return bench::HasTaskbarButton(about); }));

  ChooseFromTrayMenu(0);
  EXPECT_EQ(bench::WaitWindow(nullptr, kAboutCaption, kWait), about);
  EXPECT_EQ(CountWindows(kAboutCaption), 1);
  PostMessageA(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(bench::WaitGone(nullptr, kAboutCaption, kWait));
}

TEST_F(Tavisk, AboutRestoresTheMinimisedBoxAndBringsItToTheFront) {
  StartDriver();
  ChooseFromTrayMenu(0);
  HWND about = bench::WaitWindow(nullptr, kAboutCaption, kWait);
  ASSERT_NE(about, nullptr);
  RECT placed{};
  GetWindowRect(about, &placed);
  ShowWindow(about, SW_MINIMIZE);
  ASSERT_TRUE(bench::WaitFor(kWait, [&] { return IsIconic(about) != FALSE; }));

  ChooseFromTrayMenu(0);
  EXPECT_TRUE(bench::WaitFor(kWait, [&] { return !IsIconic(about) && GetForegroundWindow() == about; }))
      << "the box stayed minimised or behind";
  EXPECT_EQ(CountWindows(kAboutCaption), 1);
  RECT shown{};
  GetWindowRect(about, &shown);
  EXPECT_TRUE(EqualRect(&placed, &shown));
}

// As in any dialog: OK has the focus, Enter and Space press it, Tab keeps it there, and Esc does
// nothing, since OK is neither the default nor the cancel button.
TEST_F(Tavisk, TheAboutBoxAnswersEnterAndSpaceOnItsFocusedOkButNotEscape) {
  StartDriver();
  for (const WORD key : {VK_RETURN, VK_SPACE, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    ChooseFromTrayMenu(0);
    HWND about = bench::WaitWindow(nullptr, kAboutCaption, kWait);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(bench::Activate(about));
    HWND ok = bench::FindChild(about, "Button", "OK");
    EXPECT_TRUE(bench::WaitFor(kWait, [&] { return FocusOf(about) == ok; })) << "OK does not have the focus";
    bench::Key(VK_TAB);
    bench::Key(key);
    if (key == VK_ESCAPE) {
      EXPECT_FALSE(bench::WaitGone(nullptr, kAboutCaption, 700)) << "Esc closed the box";
      bench::Key(VK_RETURN);
    }
    EXPECT_TRUE(bench::WaitGone(nullptr, kAboutCaption, kWait)) << "the key did not press OK";
  }
}

TEST_F(Tavisk, ExitRemovesIconAndHotkeysAndEnds) {
  bench::Process driver = StartDriver();
  ChooseFromTrayMenu(1);
  DWORD code = 1;
  ASSERT_TRUE(bench::WaitExit(driver, kWait, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(HotkeyHeld(0xB5));
  EXPECT_FALSE(HotkeyHeld(0xB6));
  EXPECT_FALSE(HotkeyHeld(0xB7));
  // With the icon gone, a right click there opens no menu.
  const POINT icon = bench::TrayIconCenter(0);
  bench::RightClick(icon.x, icon.y);
  EXPECT_EQ(bench::WaitPopupMenu(500), nullptr);
}

TEST_F(Tavisk, WithTheAboutBoxOpenExitLeavesTheProcessUntilTheBoxCloses) {
  bench::Process driver = StartDriver();
  ChooseFromTrayMenu(0);
  HWND about = bench::WaitWindow(nullptr, kAboutCaption, kWait);
  ASSERT_NE(about, nullptr);
  ChooseFromTrayMenu(1);
  ASSERT_TRUE(bench::WaitFor(kWait, [] { return !HotkeyHeld(0xB5); })) << "hotkeys still held after Exit";
  EXPECT_TRUE(bench::IsRunning(driver));
  EXPECT_FALSE(HotkeyHeld(0xB7));
  // "OK" closes the box, and with it the program.
  HWND ok = FindWindowExA(about, nullptr, "Button", "OK");
  ASSERT_NE(ok, nullptr);
  RECT r{};
  GetWindowRect(ok, &r);
  bench::Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  EXPECT_TRUE(bench::WaitExit(driver, kWait));
}

// A restarting shell loses every icon and tells the top-level windows with "TaskbarCreated".
TEST_F(Tavisk, TheSameIconWithItsTipAndMenuComesBackWhenTheTaskbarIsRecreated) {
  const std::string empty = bench::TrayIconPixels(0);
  StartDriver();
  std::string icon;
  ASSERT_TRUE(bench::WaitFor(kWait, [&] { return (icon = bench::TrayIconPixels(0)) != empty; })) << "no icon";
  HWND callback = bench::FindChild(main, "KbdFormsPictureBox", nullptr);
  ASSERT_NE(callback, nullptr);
  ASSERT_TRUE(bench::DeleteTrayIcon(callback, 1));
  ASSERT_TRUE(bench::WaitFor(kWait, [&] { return bench::TrayIconPixels(0) == empty; }));

  bench::BroadcastTaskbarCreated();
  EXPECT_TRUE(bench::WaitFor(kWait, [&] { return bench::TrayIconPixels(0) == icon; })) << "not the same icon";
  EXPECT_EQ(bench::TrayTip(0, kWait), "Tavisk");
  ChooseFromTrayMenu(0);
  EXPECT_NE(bench::WaitWindow(nullptr, kAboutCaption, kWait), nullptr) << "its menu does not work";
}

TEST_F(Tavisk, ASecondCopyHandsOffAndEndsLeavingOneIcon) {
  bench::Process first = StartDriver();
  bench::Process second = StartProgram("Tavisk.exe");
  ASSERT_TRUE(second);
  EXPECT_TRUE(bench::WaitExit(second, kWait));
  EXPECT_TRUE(bench::IsRunning(first));
  EXPECT_EQ(bench::Find(nullptr, kCaption), main);
  // The second icon would stand one cell to the left; a right click there opens nothing.
  const POINT secondCell = bench::TrayIconCenter(1);
  bench::RightClick(secondCell.x, secondCell.y);
  EXPECT_EQ(bench::WaitPopupMenu(500), nullptr);
  bench::Key(0xB7);
  EXPECT_EQ(WaitStarted(1).size(), 1u);
}

TEST_F(Tavisk, AKeyHeldByAnotherProgramLeavesTheOtherTwoWorking) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 0x7001, 0, 0xB7));
  bench::Process driver = StartProgram("Tavisk.exe");
  ASSERT_TRUE(driver);
  ASSERT_TRUE(bench::WaitFor(kWait, [] { return HotkeyHeld(0xB5) && HotkeyHeld(0xB6); }));
  bench::Key(0xB5);
  WaitStarted(1);
  bench::Key(0xB6);
  const auto started = WaitStarted(2);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_THAT(started[0].module, ::testing::EndsWith("wmplayer.exe"));
  EXPECT_THAT(started[1].module, ::testing::EndsWith("explorer.exe"));
  bench::Key(0xB7);
  MSG message{};
  EXPECT_TRUE(bench::WaitFor(kWait, [&] { return PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) != 0; }))
      << "the key this test holds did not come to it";
  UnregisterHotKey(nullptr, 0x7001);
  EXPECT_EQ(bench::ReadLog(log).size(), 2u);
  EXPECT_TRUE(bench::IsRunning(driver));
}

TEST_F(Tavisk, AMissingPlayerIsReportedAndTheDriverKeepsRunning) {
  MovedAside player;
  ASSERT_TRUE(player.moved);
  bench::Process driver = StartDriver();
  bench::Key(0xB5);
  HWND report = bench::WaitWindow("#32770", "Tavisk", kWait);
  ASSERT_NE(report, nullptr) << "no error report";
  const POINT ok = bench::Center(bench::FindChild(report, "Button", nullptr));
  bench::Click(ok.x, ok.y);
  EXPECT_TRUE(bench::WaitGone("#32770", "Tavisk", kWait));
  EXPECT_TRUE(bench::IsRunning(driver));
  bench::Key(0xB7);
  EXPECT_EQ(WaitStarted(1).size(), 1u);
  EXPECT_TRUE(WaitHotkeysHeld());
}

// The report is modal, yet its loop still delivers the launch keys and the tray's menu.
TEST_F(Tavisk, AFailingKeyHasOneReportAtATimeAndExitUnderItEndsTheDriverWhenTheReportCloses) {
  MovedAside player;
  ASSERT_TRUE(player.moved);
  bench::Process driver = StartDriver();
  bench::Key(0xB5);
  HWND report = bench::WaitWindow("#32770", "Tavisk", kWait);
  ASSERT_NE(report, nullptr) << "no error report";
  bench::Key(0xB5);
  bench::Key(0xB7);
  // Keys are taken in order: once the calculator has started, the second media key has been too.
  EXPECT_EQ(WaitStarted(1).size(), 1u);
  EXPECT_EQ(CountWindows("Tavisk"), 1) << "the same key stacked a second report";

  ChooseFromTrayMenu(1);
  EXPECT_TRUE(bench::WaitFor(kWait, [] { return !HotkeyHeld(0xB5) && !HotkeyHeld(0xB7); }))
      << "Exit left the hotkeys";
  EXPECT_TRUE(bench::IsRunning(driver));
  const POINT ok = bench::Center(bench::FindChild(report, "Button", nullptr));
  bench::Click(ok.x, ok.y);
  DWORD code = 1;
  EXPECT_TRUE(bench::WaitExit(driver, kWait, &code)) << "the driver outlived the report";
  EXPECT_EQ(code, 0u);
  ExpectNoIcon();
}

}  // namespace
