#include "support/resident.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "forms/application.h"
#include "forms/error.h"
#include "forms/tests/fake_backend.h"
#include "support/tests/fake_resident_platform.h"

namespace {

using ::testing::ElementsAre;

class ResidentSupport : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  fakes::FakeResidentPlatform platform{log};
  forms::Application app{backend};
  forms::Form window{app, forms::WindowDescription().Class("Main").Caption("KeyboardDriver")};
  support::ResidentSupport module{platform, backend};
};

TEST_F(ResidentSupport, HandOffWithoutAnotherCopyLeavesTheCaptionAlone) {
  window.Load();
  log.Clear();
  EXPECT_FALSE(module.PrevInstanceHandOff(window));
  EXPECT_EQ(window.Caption(), "KeyboardDriver");
  EXPECT_THAT(log.Lines(), ElementsAre("PreviousInstanceRunning"));
}

TEST_F(ResidentSupport, HandOffRenamesBeforeItSearchesThenSendsTheFocusMessage) {
  window.Load();
  backend.previousInstance = true;
  platform.windowsByCaption["KeyboardDriver"] = 0x777;
  log.Clear();
  EXPECT_TRUE(module.PrevInstanceHandOff(window));
  EXPECT_THAT(log.Lines(), ElementsAre("PreviousInstanceRunning", "SetCaption 0x100 \"Zelmi's KeyboardDriver\"",
                                       "FindWindowA NULL \"KeyboardDriver\"",
                                       "SendMessageA 0x777 msg=7 wParam=0 lParam=&0"));
}

TEST_F(ResidentSupport, HandOffThatFindsNothingSendsToHandleZeroAndStillReportsTrue) {
  window.Load();
  backend.previousInstance = true;
  log.Clear();
  EXPECT_TRUE(module.PrevInstanceHandOff(window));
  EXPECT_EQ(log.Lines().back(), "SendMessageA 0x0 msg=7 wParam=0 lParam=&0");
}

TEST_F(ResidentSupport, IconIdsCountFromOneAndEachKeepsItsOwner) {
  EXPECT_EQ(module.TrayIconOwner(1), 0u);
  EXPECT_EQ(module.AddTrayIcon(0x2a, 512, 0x99, "Tavisk"), 1);
  EXPECT_EQ(module.AddTrayIcon(0x2b, 512, 0x99, "Tavisk"), 2);
  EXPECT_EQ(module.TrayIconOwner(1), 0x2au);
  EXPECT_EQ(module.TrayIconOwner(2), 0x2bu);
  EXPECT_THAT(log.Lines(),
              ElementsAre("Shell_NotifyIconA ADD cbSize=88 hWnd=0x2a uID=1 uFlags=7 uCallbackMessage=512 hIcon=0x99",
                          "Shell_NotifyIconA ADD cbSize=88 hWnd=0x2b uID=2 uFlags=7 uCallbackMessage=512 hIcon=0x99"));
}

TEST_F(ResidentSupport, DeleteSendsTheOwnerFromTheCollectionAndKeepsTheEntry) {
  module.AddTrayIcon(0x2a, 512, 0x99, "Tavisk");
  log.Clear();
  module.DeleteTrayIcon(1);
  EXPECT_THAT(log.Lines(),
              ElementsAre("Shell_NotifyIconA DELETE cbSize=88 hWnd=0x2a uID=1 uFlags=7 uCallbackMessage=0 hIcon=0x0"));
  EXPECT_EQ(platform.records.back().Tip(), std::string(64, '\0'));
  EXPECT_EQ(module.TrayIconOwner(1), 0x2au);
}

TEST_F(ResidentSupport, DeletingAnIdNeverGivenOutFailsAndSendsNothing) {
  EXPECT_THROW(module.DeleteTrayIcon(1), forms::Error);
  module.AddTrayIcon(0x2a, 512, 0x99, "Tavisk");
  log.Clear();
  EXPECT_THROW(module.DeleteTrayIcon(5), forms::Error);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(ResidentSupport, RestoringAfterTheTaskbarReturnsAddsTheSameRecordAgain) {
  module.AddTrayIcon(0x2a, 512, 0x99, "Tavisk");
  module.RestoreTrayIcon(1);
  ASSERT_EQ(platform.records.size(), 2u);
  EXPECT_EQ(platform.records[0].bytes, platform.records[1].bytes);
  EXPECT_EQ(module.TrayIconCounter(), 1);
}

TEST_F(ResidentSupport, MakeTopmostPassesFlagsThreeAndNoPositionOrSize) {
  window.Load();
  log.Clear();
  module.MakeTopmost(window);
  EXPECT_THAT(log.Lines(), ElementsAre("SetWindowPos 0x100 after=-1 0,0,0,0 flags=3"));
}

// User Interface Privilege Isolation drops "TaskbarCreated" for a copy with higher rights than
// Explorer unless its window lets it through: with the per-window filter of Windows 7 and later,
// else Vista's process-wide one; Windows 2000 and XP have neither and drop nothing.
TEST_F(ResidentSupport, TaskbarCreatedIsLetThroughWithTheFilterThisWindowsHas) {
  struct Case {
    const char* windows;
    bool hasFilterEx, hasFilter;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"7", true, true, {"ChangeWindowMessageFilterEx 0x100 msg=0xc0f0 action=1"}},
      {"Vista", false, true, {"ChangeWindowMessageFilter msg=0xc0f0 flag=1"}},
      {"XP", false, false, {}},
  };
  window.Load();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windows);
    platform.hasFilterEx = c.hasFilterEx;
    platform.hasFilter = c.hasFilter;
    log.Clear();
    module.LetTaskbarCreatedThrough(window);
    std::vector<std::string> expected = {"RegisterWindowMessageA \"TaskbarCreated\""};
    expected.insert(expected.end(), c.calls.begin(), c.calls.end());
    EXPECT_EQ(log.Lines(), expected);
  }
}

TEST(TrayCallback, DecodesTheMouseMessageWhateverTheTwipsPerPixel) {
  for (int factor : {15, 12, 10, 7}) {
    EXPECT_EQ(support::DecodeTrayCallback(517.0f * factor, forms::kScaleTwips, factor), 517) << factor;
    EXPECT_EQ(support::DecodeTrayCallback(514.0f * factor, forms::kScaleTwips, factor), 514) << factor;
  }
}

TEST(TrayCallback, RoundsHalvesToEven) {
  EXPECT_EQ(support::DecodeTrayCallback(2.5f * 2, forms::kScaleTwips, 2), 2);
  EXPECT_EQ(support::DecodeTrayCallback(3.5f * 2, forms::kScaleTwips, 2), 4);
  EXPECT_EQ(support::DecodeTrayCallback(516.5f * 2, forms::kScaleTwips, 2), 516);
}

TEST(TrayCallback, AnyScaleButTwipsDecodesToZero) {
  EXPECT_EQ(support::DecodeTrayCallback(517.0f * 15, 3, 15), 0);
  EXPECT_EQ(support::DecodeTrayCallback(517.0f * 15, 0, 15), 0);
}

}  // namespace

