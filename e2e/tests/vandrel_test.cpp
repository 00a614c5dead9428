// The disc launcher under Wine, driven with real mouse input from a copy of the staged disc in
// a folder whose name holds blanks. Looks are read back from the screen and compared pixel for
// pixel with the launcher's own skins and the disc's icons drawn the same way.
#include "bench_fixture.h"
#include "vandrel_disc.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using vdisc::Image;
using vdisc::Overlay;
using vdisc::Rect;

constexpr DWORD kWait = 5000;
constexpr DWORD kSteadyMs = 60;
const char kStartClass[] = "VandrelStartWindow";
const char kDriverClass[] = "VandrelDriverPage";
const char kStartCaption[] = "Orvane Konstel Ver:1.0";
const char kDriverCaption[] = "Konstel Ver:A1.0";
const char kReportClass[] = "#32770";
const char kReportCaption[] = "Vandrel";

void Mouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}


// A button event of SendInput: its flags, and for the X buttons which one.
struct Press {
  Press(DWORD buttonFlags, DWORD xButton = 0) : flags(buttonFlags), which(xButton) {}
  DWORD flags;
  DWORD which;
};

// An absolute move, then the given button events, in one SendInput call so they keep their order.
void MoveAndPress(POINT to, std::vector<Press> buttons = {}) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs(1 + buttons.size());
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // Wine maps back with (dx * w) >> 16: rounded up, the point lands on the pixel itself.
  inputs[0].mi.dx = (to.x * 65536 + w - 1) / w;
  inputs[0].mi.dy = (to.y * 65536 + h - 1) / h;
  for (size_t i = 0; i < buttons.size(); ++i) {
    inputs[i + 1].type = INPUT_MOUSE;
    inputs[i + 1].mi.dwFlags = buttons[i].flags;
    inputs[i + 1].mi.mouseData = buttons[i].which;
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}


std::string DialogText(HWND box) {
  char text[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's static text
  return text;
}

class Vandrel : public bench::BenchTest {
 protected:
  void SetUp() override {
    BenchTest::SetUp();
    ASSERT_TRUE(disc.Ok()) << "no staged disc at " << vdisc::StagedDisc();
    session.AlsoKill("Setup.exe");
    startSkin = vdisc::LoadSkin(disc.Path("Vandrel.exe"), IDR_START_SKIN);
    driverSkin = vdisc::LoadSkin(disc.Path("Vandrel.exe"), IDR_DRIVER_SKIN);
    ASSERT_TRUE(startSkin && driverSkin) << "the skins do not decode in the test";
    ASSERT_TRUE(hook.Installed());
    Park();
  }

  void TearDown() override {
    // Left running by the test: closed as the platform's close command would, which ends it.
    if (launcher && bench::IsRunning(launcher)) {
      for (const bench::WindowInfo& w : bench::WindowsOfProcess(launcher.pid))
        if (w.visible) PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
      bench::WaitExit(launcher, kWait);
    }
    DeleteObject(startSkin);
    DeleteObject(driverSkin);
    BenchTest::TearDown();
  }

  // The desktop's corner: over no window of the launcher wherever it lies.
  static void Park() { MoveAndPress({1, 1}); }

  HWND Launch() {
    launcher = session.Start(bench::Quote(disc.Path("Vandrel.exe")));
    if (!launcher) return nullptr;
    return bench::WaitWindow(kStartClass, kStartCaption, kWait);
  }

  static POINT On(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
  }
  static void MoveTo(HWND window, POINT client) { MoveAndPress(On(window, client)); }
  // Onto a button, and a click once its hover look has settled.
  void ClickOn(HWND window, POINT client, const Image& hover) {
    MoveTo(window, client);
    if (Shows(window, hover)) MoveAndPress(On(window, client), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  }
  HWND ToDriverPage(HWND start) {
    // Near the top of the keyboard button: over none of the driver page's buttons once it opens.
    ClickOn(start, vdisc::kStartKeyboard.Inside(84, 2), StartLooks({KeyboardHover()}));
    return bench::WaitWindow(kDriverClass, kDriverCaption, kWait);
  }

  std::string Picture(const char* file) const { return disc.Path(std::string("picture\\") + file); }

  Image StartLooks(std::vector<Overlay> overlays) const {
    return vdisc::Expected(startSkin, vdisc::kClientWidth, 500, overlays);
  }
  Image DriverLooks(std::vector<Overlay> overlays) const {
    return vdisc::Expected(driverSkin, vdisc::kClientWidth, 499, overlays);
  }
  Overlay KeyboardHover() const { return {Picture("keyboard_page01_01.ico"), vdisc::kStartKeyboard}; }
  Overlay KeyboardPressed() const { return {Picture("keyboard_page01_02.ico"), vdisc::kStartKeyboard}; }
  Overlay ExitHover(const Rect& at) const { return {Picture("EXIT_01.ico"), at}; }
  Overlay ExitPressed(const Rect& at) const { return {Picture("EXIT_02.ico"), at}; }
  Overlay LedHover() const { return {Picture("wireless keyboard led indicator_01.ico"), vdisc::kDriverLed}; }
  Overlay LedPressed() const { return {Picture("wireless keyboard led indicator_02.ico"), vdisc::kDriverLed}; }
  Overlay Win2000Hover() const {
    return {Picture("driver for win 2000 or lower version user_01.ico"), vdisc::kDriverWin2000};
  }
  Overlay Win2000Pressed() const {
    return {Picture("driver for win 2000 or lower version user_02.ico"), vdisc::kDriverWin2000};
  }

  static Image Client(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    const POINT origin = On(window, {0, 0});
    return vdisc::CaptureScreen(origin.x, origin.y, r.right, r.bottom);
  }

  // Polls the window's whole client area until it shows exactly the expected image, and still
  // does a little later: the look is settled before the next input goes out.
  bool Shows(HWND window, const Image& expected, const char* shot = nullptr) {
    Image seen;
    DWORD since = 0;
    bool matched = false;
    const bool ok = bench::WaitFor(kWait, [&] {
      seen = Client(window);
      if (vdisc::Differences(seen, expected) != 0) {
        matched = false;
        return false;
      }
      if (!matched) {
        matched = true;
        since = GetTickCount();
      }
      return GetTickCount() - since >= kSteadyMs;
    });
    SaveShot(shot, seen);
    if (!ok) {
      SaveShot("failed-seen", seen);
      SaveShot("failed-expected", expected);
      ADD_FAILURE() << (shot ? shot : "look") << ": differing pixels: " << vdisc::Differences(seen, expected);
    }
    return ok;
  }

  // KBD_E2E_SHOTS names a folder for BMPs of the looks that the tests saw.
  static void SaveShot(const char* name, const Image& image) {
    const char* folder = std::getenv("KBD_E2E_SHOTS");
    if (!folder || !name) return;
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : test)
      if (c == '/') c = '-';  // a parameterised test's name
    vdisc::SaveBmp(image, vdisc::Slash(folder) + test + "-" + name + ".bmp");
  }

  // The program-wide report: its box, its text, and the program's end once it is dismissed.
  HWND WaitReport() { return bench::WaitWindow(kReportClass, kReportCaption, kWait); }
  void DismissAndExpectTheEnd(HWND box) {
    SetForegroundWindow(box);
    bench::Key(VK_RETURN);
    DWORD code = 1;
    EXPECT_TRUE(bench::WaitExit(launcher, kWait, &code)) << "the launcher runs on after its report";
  }

  bench::QuietPointer hook;
  vdisc::Disc disc;
  bench::Process launcher;
  HBITMAP startSkin = nullptr;
  HBITMAP driverSkin = nullptr;
};

TEST_F(Vandrel, TheStartWindowAppearsCentredActiveWithoutFrameOrTaskbarButtonButInAltTabAsTheBareSkin) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  const bench::WindowInfo info = bench::Describe(start);
  const SIZE screen = bench::ScreenSize();
  // (screen - window) / 2 in twips, to whole pixels with halves away from zero.
  EXPECT_EQ(info.rect.left, (screen.cx - 499 + 1) / 2);
  EXPECT_EQ(info.rect.top, (screen.cy - 500 + 1) / 2);
  EXPECT_EQ(info.rect.right - info.rect.left, 499);
  EXPECT_EQ(info.rect.bottom - info.rect.top, 500);
  EXPECT_EQ(info.style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
  EXPECT_NE(info.style & WS_POPUP, 0);
  EXPECT_NE(info.owner, nullptr) << "an unowned window gets a taskbar button in Wine";
  EXPECT_EQ(info.exStyle & WS_EX_TOOLWINDOW, 0) << "a tool window is left out of Alt+Tab";
  EXPECT_FALSE(bench::HasTaskbarButton(start));
  EXPECT_TRUE(bench::WaitFor(kWait, [&] { return GetForegroundWindow() == start; })) << "shown without activation";
  // The 500-pixel skin from the top-left corner, its last column cut off, no button picture.
  Shows(start, StartLooks({}), "start");
}

TEST_F(Vandrel, APressShowsThePressedPictureTheNextMoveTheHoverAndTheReleaseClicks) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  ASSERT_TRUE(Shows(start, StartLooks({})));
  MoveTo(start, vdisc::kStartKeyboard.Centre());
  Shows(start, StartLooks({KeyboardHover()}), "keyboard-hover");
  Mouse(MOUSEEVENTF_LEFTDOWN);
  Shows(start, StartLooks({KeyboardPressed()}), "keyboard-pressed");
  // Still held: the first move shows the hover picture again.
  MoveTo(start, vdisc::kStartKeyboard.Inside(20, 10));
  Shows(start, StartLooks({KeyboardHover()}));
  // Released over the button it was pressed on: a click, and the driver page opens.
  Mouse(MOUSEEVENTF_LEFTUP);
  EXPECT_NE(bench::WaitWindow(kDriverClass, kDriverCaption, kWait), nullptr);
}

TEST_F(Vandrel, APressThatEndsOverAnotherButtonIsNoClick) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  MoveTo(start, vdisc::kStartKeyboard.Centre());
  Shows(start, StartLooks({KeyboardHover()}));
  Mouse(MOUSEEVENTF_LEFTDOWN);
  Shows(start, StartLooks({KeyboardPressed()}));
  // Dragged off: the move over the background clears it; onto exit, that one hovers.
  MoveTo(start, {30, 200});
  Shows(start, StartLooks({}));
  MoveTo(start, vdisc::kStartExit.Centre());
  Shows(start, StartLooks({ExitHover(vdisc::kStartExit)}));
  Mouse(MOUSEEVENTF_LEFTUP);
  Shows(start, StartLooks({}));
  EXPECT_TRUE(IsWindowVisible(start));
  EXPECT_TRUE(bench::IsRunning(launcher));
}

TEST_F(Vandrel, TheRightButtonChangesTheLooksAsTheLeftAndTheReleaseClears) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  MoveTo(start, vdisc::kStartExit.Centre());
  Shows(start, StartLooks({ExitHover(vdisc::kStartExit)}), "exit-hover");
  Mouse(MOUSEEVENTF_RIGHTDOWN);
  Shows(start, StartLooks({ExitPressed(vdisc::kStartExit)}), "exit-pressed");
  Mouse(MOUSEEVENTF_RIGHTUP);
  // At rest although the pointer is still over it; no click, so the program goes on.
  Shows(start, StartLooks({}), "exit-released");
  EXPECT_TRUE(bench::IsRunning(launcher));
  MoveTo(start, vdisc::kStartExit.Inside(5, 5));
  Shows(start, StartLooks({ExitHover(vdisc::kStartExit)}));
}

TEST_F(Vandrel, TheMiddleAndXButtonsPressAndReleaseAsTheLeftButNeverClick) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  const POINT exit = vdisc::kStartExit.Centre();
  MoveTo(start, exit);
  Shows(start, StartLooks({ExitHover(vdisc::kStartExit)}));
  struct Button {
    Press down, up;
    const char* name;
  };
  const Button buttons[] = {{MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, "middle"},
                            {{MOUSEEVENTF_XDOWN, XBUTTON1}, {MOUSEEVENTF_XUP, XBUTTON1}, "x1"},
                            {{MOUSEEVENTF_XDOWN, XBUTTON2}, {MOUSEEVENTF_XUP, XBUTTON2}, "x2"}};
  for (const Button& button : buttons) {
    // On the pixel the pointer is on already: the window sees the button alone.
    MoveAndPress(On(start, exit), {button.down});
    Shows(start, StartLooks({ExitPressed(vdisc::kStartExit)}), (std::string(button.name) + "-pressed").c_str());
    MoveAndPress(On(start, exit), {button.up});
    Shows(start, StartLooks({}), (std::string(button.name) + "-released").c_str());
  }
  // Each release was seen before this: a click on exit would have ended the program.
  EXPECT_TRUE(bench::IsRunning(launcher)) << "a button other than the left one clicked exit";
}

TEST_F(Vandrel, AFastMoveFromButtonToButtonOrOutOfTheWindowLeavesThemHoveringUntilTheBackground) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  MoveTo(start, vdisc::kStartExit.Centre());
  Shows(start, StartLooks({ExitHover(vdisc::kStartExit)}));
  MoveTo(start, vdisc::kStartKeyboard.Centre());
  Shows(start, StartLooks({KeyboardHover(), ExitHover(vdisc::kStartExit)}), "both-hover");
  // Straight out of the window: nothing tells the buttons, so they keep hovering.
  Park();
  Shows(start, StartLooks({KeyboardHover(), ExitHover(vdisc::kStartExit)}));
  MoveTo(start, {30, 200});
  Shows(start, StartLooks({}));
}

TEST_F(Vandrel, ThePointerIsTheHandOverTheButtonsOnly) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  auto cursorAfter = [&](POINT client, const Image& look) {
    MoveTo(start, client);
    Shows(start, look);
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
  };
  const HCURSOR background = cursorAfter({30, 200}, StartLooks({}));
  const HCURSOR keyboard = cursorAfter(vdisc::kStartKeyboard.Centre(), StartLooks({KeyboardHover()}));
  const HCURSOR backAgain = cursorAfter({30, 200}, StartLooks({}));
  const HCURSOR exitButton = cursorAfter(vdisc::kStartExit.Centre(), StartLooks({ExitHover(vdisc::kStartExit)}));
  EXPECT_NE(keyboard, background);
  EXPECT_EQ(exitButton, keyboard) << "every button has the same hand";
  EXPECT_EQ(backAgain, background);
  // Wine reads no other process's cursor, so the hand is checked where the program carries it:
  // 32 x 32, the hot spot at the fingertip.
  HMODULE exe = LoadLibraryExA(disc.Path("Vandrel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HCURSOR hand = static_cast<HCURSOR>(LoadImageA(exe, MAKEINTRESOURCEA(IDC_HAND_POINTER), IMAGE_CURSOR, 0, 0, 0));
  ICONINFO icon{};
  ASSERT_TRUE(hand && GetIconInfo(hand, &icon));
  EXPECT_EQ(icon.xHotspot, 12u);
  EXPECT_EQ(icon.yHotspot, 1u);
  BITMAP mask{};
  GetObjectA(icon.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, 32);
  EXPECT_EQ(icon.hbmColor ? mask.bmHeight : mask.bmHeight / 2, 32);
  if (icon.hbmColor) DeleteObject(icon.hbmColor);
  DeleteObject(icon.hbmMask);
  DestroyCursor(hand);
  FreeLibrary(exe);
}

TEST_F(Vandrel, EachExitButtonAnswersUpToItsLastPixelRowAndColumnAndNoFurther) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  auto cursor = [] {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
  };
  // Inside and outside by turns, so that every step changes the look and waits for it.
  auto probeEdges = [&](HWND window, const Rect& exit, const Image& rest, const Image& hover) {
    const LONG right = exit.left + exit.width - 1, bottom = exit.top + exit.height - 1;
    const struct {
      POINT at;
      bool inside;
    } probes[] = {
        {{exit.left, exit.top}, true},     {{exit.left - 1, exit.top}, false},   {{right, bottom}, true},
        {{right + 1, bottom}, false},      {{right, bottom - 1}, true},          {{right, bottom + 1}, false},
        {{exit.left + 1, exit.top}, true}, {{exit.left + 1, exit.top - 1}, false},
    };
    MoveTo(window, {30, 200});
    Shows(window, rest);
    const HCURSOR arrow = cursor();
    for (const auto& probe : probes) {
      SCOPED_TRACE(testing::Message() << "at " << probe.at.x << "," << probe.at.y);
      MoveTo(window, probe.at);
      Shows(window, probe.inside ? hover : rest);
      if (probe.inside) {
        EXPECT_NE(cursor(), arrow) << "no hand";
      } else {
        EXPECT_EQ(cursor(), arrow);
      }
    }
  };
  probeEdges(start, vdisc::kStartExit, StartLooks({}), StartLooks({ExitHover(vdisc::kStartExit)}));
  HWND driver = ToDriverPage(start);
  ASSERT_NE(driver, nullptr);
  probeEdges(driver, vdisc::kDriverExit, DriverLooks({}), DriverLooks({ExitHover(vdisc::kDriverExit)}));
}

TEST_F(Vandrel, ThePicturesAreNotReadAgainOnHover) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  const Image hover = StartLooks({KeyboardHover()});
  const Image pressed = StartLooks({KeyboardPressed()});
  vdisc::RemoveTree(disc.Path("picture\\"));
  ASSERT_EQ(GetFileAttributesA(disc.Path("picture").c_str()), INVALID_FILE_ATTRIBUTES);
  MoveTo(start, vdisc::kStartKeyboard.Centre());
  Shows(start, hover);
  Mouse(MOUSEEVENTF_RIGHTDOWN);
  Shows(start, pressed);
  Mouse(MOUSEEVENTF_RIGHTUP);
  Shows(start, StartLooks({}));
  EXPECT_EQ(bench::Find(kReportClass, kReportCaption), nullptr);
}

TEST_F(Vandrel, TheDriverPageAndBackLoadTheStartWindowAgain) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  HWND driver = ToDriverPage(start);
  ASSERT_NE(driver, nullptr);
  EXPECT_TRUE(bench::WaitGone(kStartClass, nullptr, kWait)) << "the start window is closed, not hidden";
  const bench::WindowInfo info = bench::Describe(driver);
  const SIZE screen = bench::ScreenSize();
  EXPECT_EQ(info.rect.left, (screen.cx - 499 + 1) / 2);
  EXPECT_EQ(info.rect.top, (screen.cy - 499 + 1) / 2);
  EXPECT_EQ(info.rect.bottom - info.rect.top, 499);
  EXPECT_NE(info.owner, nullptr);
  EXPECT_EQ(info.exStyle & WS_EX_TOOLWINDOW, 0) << "a tool window is left out of Alt+Tab";
  EXPECT_FALSE(bench::HasTaskbarButton(driver));
  EXPECT_TRUE(bench::WaitFor(kWait, [&] { return GetForegroundWindow() == driver; }));
  Shows(driver, DriverLooks({}), "driver");

  struct Step {
    Rect button;
    Overlay hover, pressed;
    const char* name;
  };
  const Step steps[] = {
      {vdisc::kDriverLed, LedHover(), LedPressed(), "led"},
      {vdisc::kDriverWin2000, Win2000Hover(), Win2000Pressed(), "win2000"},
      {vdisc::kDriverExit, ExitHover(vdisc::kDriverExit), ExitPressed(vdisc::kDriverExit), "driver-exit"},
  };
  // Never twice onto the same pixel: a move that does not move is no move.
  LONG away = 150;
  for (const Step& step : steps) {
    MoveTo(driver, step.button.Centre());
    Shows(driver, DriverLooks({step.hover}), (std::string(step.name) + "-hover").c_str());
    Mouse(MOUSEEVENTF_RIGHTDOWN);
    Shows(driver, DriverLooks({step.pressed}), (std::string(step.name) + "-pressed").c_str());
    Mouse(MOUSEEVENTF_RIGHTUP);
    Shows(driver, DriverLooks({}));
    MoveTo(driver, {30, away += 10});
    Shows(driver, DriverLooks({}));
  }

  // Exit goes back: a new start window, loaded and centred anew, and the program goes on.
  ClickOn(driver, vdisc::kDriverExit.Inside(10, 10), DriverLooks({ExitHover(vdisc::kDriverExit)}));
  HWND again = bench::WaitWindow(kStartClass, kStartCaption, kWait);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(bench::WaitGone(kDriverClass, nullptr, kWait));
  EXPECT_EQ(bench::Describe(again).rect.left, (screen.cx - 499 + 1) / 2);
  MoveTo(again, {30, 200});
  Shows(again, StartLooks({}));
  EXPECT_TRUE(bench::IsRunning(launcher));
}

TEST_F(Vandrel, GoingBackReadsTheStartWindowsPicturesAgain) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  HWND driver = ToDriverPage(start);
  ASSERT_NE(driver, nullptr);
  const std::string missing = Picture("keyboard_page01_02.ico");
  ASSERT_TRUE(DeleteFileA(missing.c_str()));
  ClickOn(driver, vdisc::kDriverExit.Centre(), DriverLooks({ExitHover(vdisc::kDriverExit)}));
  HWND box = WaitReport();
  ASSERT_NE(box, nullptr) << "no report for the missing picture";
  EXPECT_NE(DialogText(box).find(missing), std::string::npos) << DialogText(box);
  // The load stopped at that file: the new start window was never shown.
  EXPECT_EQ(bench::WaitWindow(kStartClass, nullptr, 0), nullptr);
  DismissAndExpectTheEnd(box);
}

TEST_F(Vandrel, ExitOnTheStartWindowEndsTheProgram) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  ClickOn(start, vdisc::kStartExit.Centre(), StartLooks({ExitHover(vdisc::kStartExit)}));
  DWORD code = 1;
  EXPECT_TRUE(bench::WaitExit(launcher, kWait, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(Vandrel, WithoutThePictureFolderTheProgramReportsAndEndsBeforeAnyWindow) {
  vdisc::RemoveTree(disc.Path("picture\\"));
  launcher = session.Start(bench::Quote(disc.Path("Vandrel.exe")));
  ASSERT_TRUE(launcher);
  HWND box = WaitReport();
  ASSERT_NE(box, nullptr);
  SaveShot("no-pictures", vdisc::CaptureScreen(0, 0, bench::ScreenSize().cx, bench::ScreenSize().cy));
  EXPECT_NE(DialogText(box).find(Picture("keyboard_page01_01.ico")), std::string::npos) << DialogText(box);
  EXPECT_EQ(bench::WaitWindow(kStartClass, nullptr, 0), nullptr);
  DismissAndExpectTheEnd(box);
}

TEST_F(Vandrel, APictureFileThatHoldsNoWholePictureIsReportedByNameBeforeAnyWindow) {
  // The directory of one image whose bytes would lie past the end of the file, then a text.
  const std::string cut("\0\0\1\0\1\0\x20\x20\0\0\1\0\x20\0\xa8\x10\0\0\x16\0\0\0", 22);
  for (const std::string& bytes : {cut, std::string("not an icon")}) {
    SCOPED_TRACE(bytes.size());
    HANDLE file = CreateFileA(disc.Path("picture\\keyboard_page01_02.ico").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
    launcher = session.Start(bench::Quote(disc.Path("Vandrel.exe")));
    ASSERT_TRUE(launcher);
    HWND box = WaitReport();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(DialogText(box).find(Picture("keyboard_page01_02.ico")), std::string::npos) << DialogText(box);
    EXPECT_EQ(bench::WaitWindow(kStartClass, nullptr, 0), nullptr);
    DismissAndExpectTheEnd(box);
  }
}

struct InstallerCase {
  const char* name;
  bool led;           // the LED indicator's button, else the one for Windows 2000
  const char* setup;  // below the disc's folder
};

void PrintTo(const InstallerCase& c, std::ostream* os) { *os << c.name; }

class Installer : public Vandrel, public ::testing::WithParamInterface<InstallerCase> {
 protected:
  void ClickTheInstaller(HWND driver) {
    const Rect& button = GetParam().led ? vdisc::kDriverLed : vdisc::kDriverWin2000;
    ClickOn(driver, button.Centre(), DriverLooks({GetParam().led ? LedHover() : Win2000Hover()}));
  }
};

TEST_P(Installer, StartsByItsExactPathAndTheLauncherEnds) {
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  HWND driver = ToDriverPage(start);
  ASSERT_NE(driver, nullptr);
  ClickTheInstaller(driver);
  std::vector<bench::LogLine> lines;
  ASSERT_TRUE(bench::WaitLogLines(log, 1, kWait, &lines)) << "the installer did not start";
  const std::string path = disc.Folder() + "\\" + GetParam().setup;
  EXPECT_EQ(lines[0].module, path);
  EXPECT_EQ(lines[0].commandLine, "\"" + path + "\"");
  DWORD code = 1;
  EXPECT_TRUE(bench::WaitExit(launcher, kWait, &code)) << "the launcher runs on after starting the installer";
  EXPECT_EQ(code, 0u);

  // The installer runs on by itself, telling who it is and how it was started.
  const std::string name = GetParam().setup;
  HWND shown = bench::WaitWindow(kReportClass, (name + " (stand-in)").c_str(), kWait);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(DialogText(shown), name + " started with: \"" + path + "\"");
  SaveShot("standin", vdisc::CaptureScreen(0, 0, bench::ScreenSize().cx, bench::ScreenSize().cy));
  SetForegroundWindow(shown);
  bench::Key(VK_RETURN);
  EXPECT_TRUE(bench::WaitFor(kWait, [] { return bench::FindProcesses("Setup.exe").empty(); }));
}

TEST_P(Installer, ThatIsMissingIsReportedWithTheDriverPageStillOpen) {
  ASSERT_TRUE(DeleteFileA(disc.Path(GetParam().setup).c_str()));
  HWND start = Launch();
  ASSERT_NE(start, nullptr);
  HWND driver = ToDriverPage(start);
  ASSERT_NE(driver, nullptr);
  ClickTheInstaller(driver);
  HWND box = WaitReport();
  // The shell's own error box, modal, would hold the report back.
  ASSERT_NE(box, nullptr) << "no report";
  EXPECT_NE(DialogText(box).find(disc.Path(GetParam().setup)), std::string::npos) << DialogText(box);
  EXPECT_TRUE(IsWindowVisible(driver)) << "the handler closed the page before the failed start";
  EXPECT_FALSE(IsWindowEnabled(driver)) << "the page answers clicks under the report";
  DismissAndExpectTheEnd(box);
  EXPECT_TRUE(bench::ReadLog(log).empty());
}

const InstallerCase kInstallers[] = {
    {"LedIndicator", true, "Zevo LED\\Setup.exe"},
    {"Win2000Driver", false, "2K Hot key\\Setup.exe"},
};

INSTANTIATE_TEST_SUITE_P(Vandrel, Installer, ::testing::ValuesIn(kInstallers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
