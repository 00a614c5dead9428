#include "hotkeys/driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "forms/tests/fake_backend.h"
#include "hotkeys/tests/fake_hotkey_platform.h"
#include "support/tests/fake_resident_platform.h"

namespace {

using ::testing::ElementsAre;

constexpr forms::Handle kMain = 0x200;  // the About box is created first, at 0x100
constexpr forms::Handle kPicture1 = kMain + 1;

class Driver : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  fakes::FakeResidentPlatform resident{log};
  fakes::FakeHotkeyPlatform platform{log};
  forms::Application app{backend};
  support::ResidentSupport support{resident, backend};
  tavisk::Hotkeys hotkeys{platform, backend};
  tavisk::AboutBox about{app};
  tavisk::MainWindow main{app, support, hotkeys, platform, about};

  void SetUp() override { about.Load(); about.Unload(); log.Clear(); }

  void Start() {
    app.Run(main, false);
    log.Clear();
  }
  void TrayCallback(int message) {
    forms::Event event;
    event.control = main.Find("Picture1");
    event.x = static_cast<forms::Twips>(message * backend.screen.twipsPerPixelX);
    backend.Deliver(kMain, event);
  }
  void Menu(const char* item) {
    forms::Event event;
    event.type = forms::EventType::Menu;
    event.control = main.Find(item);
    backend.Deliver(kMain, event);
  }
};

// HKEY_LOCAL_MACHINE is 0x80000002 widened with its sign, as Windows defines it.
const std::string kHklm = sizeof(std::uintptr_t) == 8 ? "0xffffffff80000002" : "0x80000002";

TEST_F(Driver, StartUpRunsItsStepsInOrder) {
  app.Run(main, false);
  EXPECT_THAT(log.Lines(),
              ElementsAre("CreateWindow TaviskMainWindow 0x200", "PreviousInstanceRunning",
                          "RegCreateKeyA " + kHklm + " \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\"",
                          "RegSetValueExA 0x5000 \"MultimediaKeyboard\" 0 type=1 "
                          "\"C:\\Program Files\\Multimedia Keyboard\\Tavisk.exe\" size=50",
                          "RegCloseKey 0x5000", "Hide 0x200",
                          "Shell_NotifyIconA ADD cbSize=88 hWnd=0x201 uID=1 uFlags=7 uCallbackMessage=512 hIcon=0x10001",
                          "RegisterWindowMessageA \"TaskbarCreated\"", "ChangeWindowMessageFilterEx 0x200 msg=0xc0f0 action=1",
                          "GlobalAddAtomA \"Zelmi\"", "GlobalAddAtomA \"Zelmi1\"", "GlobalAddAtomA \"Zelmi2\"",
                          "RegisterHotKey 0x200 id=-16383 mod=0 vk=0xb6", "RegisterHotKey 0x200 id=-16382 mod=0 vk=0xb7",
                          "RegisterHotKey 0x200 id=-16381 mod=0 vk=0xb5", "SetWindowLongA 0x200 index=-4 value=0xc0de",
                          "RunMessageLoop"));
  EXPECT_EQ(main.TrayIconId, 1);
  EXPECT_FALSE(main.IsVisible());
  EXPECT_EQ(resident.records[0].Tip().substr(0, 7), std::string("Tavisk") + '\0');
}

TEST_F(Driver, TheAutostartValueIsTheQuotedPathWithItsNul) {
  app.Run(main, false);
  EXPECT_EQ(platform.storedData, std::string("\"C:\\Program Files\\Multimedia Keyboard\\Tavisk.exe\"") + '\0');
}

TEST_F(Driver, ARegistryKeyThatCannotBeOpenedWritesNothingAndStartUpGoesOn) {
  platform.createKeyResult = 5;
  app.Run(main, false);
  EXPECT_EQ(log.Lines()[3], "Hide 0x200");
  EXPECT_EQ(main.TrayIconId, 1);
}

TEST_F(Driver, ASecondCopyHandsOffAndEndsBeforeAnyOtherStep) {
  backend.previousInstance = true;
  resident.windowsByCaption["KeyboardDriver"] = 0x999;
  EXPECT_THROW(app.Run(main, false), forms::Terminated);
  EXPECT_THAT(log.Lines(), ElementsAre("CreateWindow TaviskMainWindow 0x200", "PreviousInstanceRunning",
                                       "SetCaption 0x200 \"Zelmi's KeyboardDriver\"", "FindWindowA NULL \"KeyboardDriver\"",
                                       "SendMessageA 0x999 msg=7 wParam=0 lParam=&0", "Terminate"));
}

TEST_F(Driver, RightButtonReleaseOverTheIconOpensTheMenuWithTheOwnerInFront) {
  Start();
  TrayCallback(517);
  EXPECT_THAT(log.Lines(), ElementsAre("SetForegroundWindow 0x200", "PopupMenu mnuShow flags=2"));
}

TEST_F(Driver, OtherIconMessagesDoNothing) {
  Start();
  for (int message : {0x200, 0x201, 514, 0x203, 0x204}) TrayCallback(message);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(Driver, AboutChosenTwiceBringsTheOneBoxForwardAtItsFixedPlace) {
  Start();
  Menu("mnuDisplay");
  Menu("mnuDisplay");
  EXPECT_THAT(log.Lines(), ElementsAre("CreateWindow TaviskAboutBox 0x300", "Show 0x300", "BringForward 0x300"));
  EXPECT_EQ(backend.At(0x300).bounds.left, 5070);
  EXPECT_EQ(backend.At(0x300).bounds.top, 4995);
}

TEST_F(Driver, ExitReleasesProcedureHotkeysAndIconInThatOrderAndEnds) {
  Start();
  Menu("mnuQuit");
  EXPECT_THAT(log.Lines(),
              ElementsAre("SetWindowLongA 0x200 index=-4 value=0xbeef", "UnregisterHotKey 0x200 id=-16383",
                          "UnregisterHotKey 0x200 id=-16382", "UnregisterHotKey 0x200 id=-16381",
                          "Shell_NotifyIconA DELETE cbSize=88 hWnd=0x201 uID=1 uFlags=7 uCallbackMessage=0 hIcon=0x0",
                          "DestroyWindow 0x200", "EndMessageLoop"));
  EXPECT_EQ(main.TrayIconId, 0);
}

TEST_F(Driver, AnOpenAboutBoxKeepsTheProgramAliveAfterExitUntilItCloses) {
  Start();
  Menu("mnuDisplay");
  Menu("mnuQuit");
  EXPECT_FALSE(backend.quitPosted);
  forms::Event ok;
  ok.type = forms::EventType::Click;
  ok.control = about.Find("Command1");
  backend.Deliver(0x300, ok);
  EXPECT_TRUE(backend.quitPosted);
}

TEST_F(Driver, ARecreatedTaskbarGetsTheSameIconAgain) {
  Start();
  forms::Event event;
  event.type = forms::EventType::TaskbarCreated;
  backend.Deliver(kMain, event);
  ASSERT_EQ(resident.records.size(), 2u);
  EXPECT_EQ(resident.records[1].bytes, resident.records[0].bytes);
}

}  // namespace
