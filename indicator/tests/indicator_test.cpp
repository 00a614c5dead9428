#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "forms/window_styles.h"
#include "indicator/tests/hook_fixture.h"

namespace {

using ::testing::ElementsAre;
using fakes::kForm1;
using fakes::kForm2;
using fakes::kPopUp;

class Indicator : public ::testing::Test, protected fakes::Indicator {};

TEST_F(Indicator, StartUpRunsItsStepsInOrderAndStaysHidden) {
  app.Run(form1, false);
  EXPECT_THAT(log.Lines(),
              ElementsAre("CreateWindow LumoraIndicator 0x100", "SetWindowPos 0x100 after=-1 0,0,0,0 flags=3",
                          "PreviousInstanceRunning",
                          "Shell_NotifyIconA ADD cbSize=88 hWnd=0x108 uID=1 uFlags=7 uCallbackMessage=512 hIcon=0x10002",
                          "RegisterWindowMessageA \"TaskbarCreated\"", "ChangeWindowMessageFilterEx 0x100 msg=0xc0f0 action=1",
                          "Move 0x100 left=10680 top=0", "Move 0x100 left=10680 top=9565", "GetKeyboardState",
                          "SetWindowsHookExA 13 proc=0xc0de module=0x400000 thread=0",
                          "WTSRegisterSessionNotification 0x100 flags=0", "RunMessageLoop"));
  EXPECT_EQ(form1.TrayIconId, 1);
  EXPECT_EQ(form1.KeyboardHookHandle, 0x4B00u);
  EXPECT_FALSE(form1.IsVisible());
  EXPECT_EQ(resident.records[0].Tip().substr(0, 7), std::string("Lumora") + '\0');
}

TEST_F(Indicator, TheHookGetsTheWholeModuleInstanceAndKeepsTheWholeHandle) {
  if (sizeof(std::uintptr_t) < 8) GTEST_SKIP() << "a 32-bit build has nothing wider to lose";
  platform.moduleInstance = 0x1'4000'0000ull;  // where a 64-bit program's image lies
  platform.hookHandle = 0x1'0000'4B00ull;
  app.Run(form1, false);
  EXPECT_THAT(log.Lines(), ::testing::Contains("SetWindowsHookExA 13 proc=0xc0de module=0x140000000 thread=0"));
  EXPECT_EQ(form1.KeyboardHookHandle, 0x1'0000'4B00ull);
}

TEST_F(Indicator, TheTimerRunsFromTheLoad) {
  app.Run(form1, false);
  EXPECT_TRUE(backend.At(kForm1).timers.at(form1.Find("Timer1")));
}

struct LampCase {
  const char* what;
  std::uint8_t num, caps, scroll;
  std::vector<std::string> fills;
};

TEST_F(Indicator, StartUpLightsTheLampOfEveryNonZeroKeyStateByte) {
  const std::vector<LampCase> cases = {
      {"all off", 0, 0, 0, {}},
      {"only Caps Lock on", 0, 1, 0, {"SetFill Shape2 65280"}},
      {"Num Lock key held but off", 0x80, 0, 0, {"SetFill Shape1 65280"}},
      {"all on, one held", 1, 0x81, 1, {"SetFill Shape1 65280", "SetFill Shape2 65280", "SetFill Shape3 65280"}},
      {"any other bit", 0, 0, 0x02, {"SetFill Shape3 65280"}},
  };
  for (const LampCase& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::Indicator fresh;
    fresh.platform.keyboard[144] = c.num;
    fresh.platform.keyboard[20] = c.caps;
    fresh.platform.keyboard[145] = c.scroll;
    fresh.platform.keyboard[0x14 + 1] = 0xFF;  // neighbours are not looked at
    fresh.platform.keyboard[146] = 0xFF;
    fresh.app.Run(fresh.form1, false);
    std::vector<std::string> fills;
    for (const std::string& line : fresh.log.Lines()) {
      if (line.rfind("SetFill", 0) == 0) fills.push_back(line);
    }
    EXPECT_EQ(fills, c.fills);
    EXPECT_EQ(fresh.log.Lines()[8], "GetKeyboardState");
    EXPECT_EQ(fresh.log.Lines()[9 + c.fills.size()].rfind("SetWindowsHookExA", 0), 0u);
  }
}

// A click on the pop-up must not activate it, or the keys typed next go nowhere: WS_EX_NOACTIVATE
// joins the styles it had, which keep it off the taskbar (owned) and out of Alt+Tab (tool window).
TEST(IndicatorStyles, ThePopUpIsNeverActivatedByAClickAndOtherwiseAsBefore) {
  const forms::WindowStyles styles = forms::StylesOf(lumora::IndicatorDescription());
  EXPECT_EQ(styles.style, forms::kWsPopup | forms::kWsClipChildren);
  EXPECT_EQ(styles.exStyle, forms::kWsExToolWindow | forms::kWsExNoActivate);
  EXPECT_TRUE(styles.owned);
  EXPECT_EQ(forms::StylesOf(lumora::AboutBoxDescription()).exStyle, forms::kWsExAppWindow)
      << "the About box is activated";
}

TEST_F(Indicator, AFreshWindowShowsEveryLampOlive) {
  form1.Load();
  for (const char* shape : {"Shape1", "Shape2", "Shape3"}) {
    EXPECT_EQ(form1.FillColour(form1.Find(shape)), lumora::LampOffColor) << shape;
  }
}

TEST_F(Indicator, PlacementIsFlushRightAndFiveHundredTwipsAboveTheBottom) {
  struct Screen {
    int width, height, twipsPerPixel;
  };
  for (const Screen s : {Screen{1024, 768, 15}, Screen{800, 600, 10}, Screen{1280, 1024, 12}, Screen{640, 480, 15}}) {
    fakes::Indicator fresh;
    fresh.backend.screen = {s.width, s.height, s.twipsPerPixel, s.twipsPerPixel};
    fresh.app.Run(fresh.form1, false);
    const forms::Bounds placed = fresh.backend.At(kForm1).bounds;
    EXPECT_EQ(placed.left + placed.width, static_cast<float>(s.width * s.twipsPerPixel)) << s.width;
    EXPECT_EQ(placed.top + placed.height + 500, static_cast<float>(s.height * s.twipsPerPixel)) << s.height;
  }
}

TEST_F(Indicator, ASecondCopyHandsOffAndEndsBeforeIconPlacementLampsOrHook) {
  backend.previousInstance = true;
  platform.keyboard[20] = 1;
  resident.windowsByCaption["Keyboard LED Indicate"] = 0x999;
  EXPECT_THROW(app.Run(form1, false), forms::Terminated);
  EXPECT_THAT(log.Lines(),
              ElementsAre("CreateWindow LumoraIndicator 0x100", "SetWindowPos 0x100 after=-1 0,0,0,0 flags=3",
                          "PreviousInstanceRunning", "SetCaption 0x100 \"Zelmi's Keyboard LED Indicate\"",
                          "FindWindowA NULL \"Keyboard LED Indicate\"", "SendMessageA 0x999 msg=7 wParam=0 lParam=&0",
                          "Terminate"));
}

TEST_F(Indicator, AHookThatCannotBeInstalledIsReportedAndTheProgramRunsOn) {
  platform.hookHandle = 0;
  app.Run(form1, false);
  const std::vector<std::string> tail(log.Lines().end() - 4, log.Lines().end());
  EXPECT_THAT(tail, ElementsAre("SetWindowsHookExA 13 proc=0xc0de module=0x400000 thread=0",
                                "MessageBox \"Failed to install low-level keyboard hook.\" title=\"Test\" style=0",
                                "WTSRegisterSessionNotification 0x100 flags=0", "RunMessageLoop"));
  EXPECT_TRUE(form1.IsLoaded());
  EXPECT_EQ(form1.TrayIconId, 1);
}

TEST_F(Indicator, ExitRemovesHookThenIconAndEnds) {
  Start();
  Menu("mnuQuit");
  EXPECT_THAT(log.Lines(),
              ElementsAre("UnhookWindowsHookEx 0x4b00", "WTSUnRegisterSessionNotification 0x100",
                          "Shell_NotifyIconA DELETE cbSize=88 hWnd=0x108 uID=1 uFlags=7 uCallbackMessage=0 hIcon=0x0",
                          "DestroyWindow 0x100", "EndMessageLoop"));
  EXPECT_EQ(form1.TrayIconId, 0);
  EXPECT_EQ(form1.KeyboardHookHandle, 0x4B00u);  // never cleared
}

TEST_F(Indicator, ExitWithoutAHookSkipsTheUnhook) {
  platform.hookHandle = 0;
  Start();
  Menu("mnuQuit");
  EXPECT_THAT(log.Lines(),
              ElementsAre("WTSUnRegisterSessionNotification 0x100",
                          "Shell_NotifyIconA DELETE cbSize=88 hWnd=0x108 uID=1 uFlags=7 uCallbackMessage=0 hIcon=0x0",
                          "DestroyWindow 0x100", "EndMessageLoop"));
}

TEST_F(Indicator, ACloseRequestOrTheSessionsEndUndoesTheSameSteps) {
  for (const forms::EventType type : {forms::EventType::Close, forms::EventType::EndSession}) {
    fakes::Indicator fresh;
    fresh.Start();
    fresh.Deliver(kForm1, type, forms::kNoControl);
    EXPECT_THAT(fresh.log.Lines(),
                ElementsAre("UnhookWindowsHookEx 0x4b00", "WTSUnRegisterSessionNotification 0x100",
                            "Shell_NotifyIconA DELETE cbSize=88 hWnd=0x108 uID=1 uFlags=7 uCallbackMessage=0 hIcon=0x0",
                            "DestroyWindow 0x100", "EndMessageLoop"));
  }
}

TEST_F(Indicator, TheIconReactsToLeftAndRightReleasesOnlyAtAnyDensity) {
  for (const int twipsPerPixel : {15, 12, 10}) {
    for (const int message : {0x200, 0x201, 514, 0x203, 0x204, 517, 0x206, 0x207, 0x208, 0x209}) {
      SCOPED_TRACE(std::to_string(twipsPerPixel) + " " + std::to_string(message));
      fakes::Indicator fresh;
      fresh.backend.screen.twipsPerPixelX = fresh.backend.screen.twipsPerPixelY = twipsPerPixel;
      fresh.Start();
      fresh.TrayCallback(message);
      if (message == 514) {
        // The timer runs from the start: enabling it again only restarts its countdown, without a call.
        EXPECT_THAT(fresh.log.Lines(), ElementsAre(kPopUp));
      } else if (message == 517) {
        EXPECT_THAT(fresh.log.Lines(), ElementsAre("SetForegroundWindow 0x100", "PopupMenu mnuShow flags=2"));
      } else {
        EXPECT_TRUE(fresh.log.Lines().empty());
      }
    }
  }
}

TEST_F(Indicator, TheTickHidesTheWindowAndStopsTheTimer) {
  Start();
  TrayCallback(514);
  log.Clear();
  backend.tickCount = 1000;
  Tick();
  EXPECT_THAT(log.Lines(), ElementsAre("Hide 0x100", "SetTimer Timer1 off"));
  EXPECT_FALSE(form1.IsVisible());
  EXPECT_FALSE(backend.At(kForm1).timers.at(form1.Find("Timer1")));
}

TEST_F(Indicator, AboutArmsTheTimerCentresTheBoxInSinglePrecisionHidesTheIndicatorAndShowsTheBox) {
  Start();
  Menu("mnuDisplay");
  // (15360 - 4455) / 2 keeps its half: no integer division.
  EXPECT_THAT(log.Lines(), ElementsAre("CreateWindow LumoraAboutBox 0x200",
                                       "Move 0x200 left=5452.5 top=0", "Move 0x200 left=5452.5 top=4470",
                                       "Hide 0x100", "Show 0x200"));
}

TEST_F(Indicator, AboutChosenTwiceRecentresTheSameBoxAndBringsItForward) {
  Start();
  Menu("mnuDisplay");
  backend.screen = {800, 600, 15, 15};
  log.Clear();
  Menu("mnuDisplay");
  EXPECT_THAT(log.Lines(), ElementsAre("Move 0x200 left=3772.5 top=4470",
                                       "Move 0x200 left=3772.5 top=3210", "Hide 0x100", "BringForward 0x200"));
}

TEST_F(Indicator, OkClosesOnlyTheAboutBox) {
  Start();
  Menu("mnuDisplay");
  log.Clear();
  Deliver(kForm2, forms::EventType::Click, about.Find("Command1"));
  EXPECT_THAT(log.Lines(), ElementsAre("DestroyWindow 0x200"));
  EXPECT_TRUE(form1.IsLoaded());
}

TEST_F(Indicator, AnOpenAboutBoxKeepsTheProgramAliveAfterExitUntilItCloses) {
  Start();
  Menu("mnuDisplay");
  Menu("mnuQuit");
  EXPECT_FALSE(backend.quitPosted);
  EXPECT_EQ(form1.TrayIconId, 0);
  Deliver(kForm2, forms::EventType::Click, about.Find("Command1"));
  EXPECT_TRUE(backend.quitPosted);
}

// Windows removes a low-level hook that misses LowLevelHooksTimeout without a word, easily right
// after a resume: each resume and each unlock installs it anew as at start-up, then sets every lamp
// from the keyboard state, since lock changes without the hook went unseen. Nothing polls.
TEST_F(Indicator, AResumeOrAnUnlockInstallsTheHookAnewAndSetsEveryLamp) {
  struct Case {
    const char* what;
    forms::EventType type;
    std::uint32_t code;
    bool reinstalls;
  };
  const Case cases[] = {
      {"PBT_APMRESUMEAUTOMATIC", forms::EventType::PowerBroadcast, 0x12, true},
      {"PBT_APMRESUMESUSPEND", forms::EventType::PowerBroadcast, 0x7, true},
      {"WTS_SESSION_UNLOCK", forms::EventType::SessionChange, 0x8, true},
      {"PBT_APMSUSPEND", forms::EventType::PowerBroadcast, 0x4, false},
      {"PBT_APMPOWERSTATUSCHANGE", forms::EventType::PowerBroadcast, 0xA, false},
      {"WTS_SESSION_LOCK", forms::EventType::SessionChange, 0x7, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::Indicator fresh;
    fresh.platform.keyboard[144] = 1;
    fresh.Start();
    fresh.platform.keyboard[144] = 0;  // Num Lock off and Caps Lock on while the hook was gone
    fresh.platform.keyboard[20] = 1;
    fresh.platform.hookHandle = 0x4C00;
    fresh.SystemEvent(c.type, c.code);
    if (c.reinstalls) {
      EXPECT_THAT(fresh.log.Lines(),
                  ElementsAre("UnhookWindowsHookEx 0x4b00", "SetWindowsHookExA 13 proc=0xc0de module=0x400000 thread=0",
                              "GetKeyboardState", "SetFill Shape1 32896", "SetFill Shape2 65280", "SetFill Shape3 32896"));
      EXPECT_EQ(fresh.form1.KeyboardHookHandle, 0x4C00u);
      EXPECT_FALSE(fresh.form1.IsVisible());
    } else {
      EXPECT_TRUE(fresh.log.Lines().empty());
    }
  }
}

TEST_F(Indicator, ARefusedReinstallIsReportedAsAtStartUpAndExitThenUnhooksNothing) {
  Start();
  platform.hookHandle = 0;
  SystemEvent(forms::EventType::PowerBroadcast, 0x12);
  EXPECT_THAT(log.Lines(),
              ElementsAre("UnhookWindowsHookEx 0x4b00", "SetWindowsHookExA 13 proc=0xc0de module=0x400000 thread=0",
                          "MessageBox \"Failed to install low-level keyboard hook.\" title=\"Test\" style=0",
                          "GetKeyboardState", "SetFill Shape1 32896", "SetFill Shape2 32896", "SetFill Shape3 32896"));
  log.Clear();
  Menu("mnuQuit");
  EXPECT_THAT(log.Lines(),
              ElementsAre("WTSUnRegisterSessionNotification 0x100",
                          "Shell_NotifyIconA DELETE cbSize=88 hWnd=0x108 uID=1 uFlags=7 uCallbackMessage=0 hIcon=0x0",
                          "DestroyWindow 0x100", "EndMessageLoop"));
}

TEST_F(Indicator, ARecreatedTaskbarGetsTheSameIconAgain) {
  Start();
  Deliver(kForm1, forms::EventType::TaskbarCreated, forms::kNoControl);
  ASSERT_EQ(resident.records.size(), 2u);
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(resident.records[1].bytes, resident.records[0].bytes);
}

TEST_F(Indicator, NoIconIsRestoredAfterExit) {
  Start();
  Menu("mnuDisplay");
  Menu("mnuQuit");
  const size_t before = resident.records.size();
  Deliver(kForm2, forms::EventType::TaskbarCreated, forms::kNoControl);
  EXPECT_EQ(resident.records.size(), before);
}

}  // namespace
