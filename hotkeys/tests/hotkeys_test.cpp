#include "hotkeys/hotkeys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "forms/tests/fake_backend.h"
#include "hotkeys/tests/fake_hotkey_platform.h"

namespace {

using ::testing::ElementsAre;

class HotkeysTest : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  fakes::FakeHotkeyPlatform platform{log};
  tavisk::Hotkeys hotkeys{platform, backend};

  void SetUp() override {
    hotkeys.SetUp(0x100);
    log.Clear();
  }
  std::intptr_t Hotkey(std::uintptr_t wParam) { return hotkeys.HotkeyWindowProc(0x100, 0x312, wParam, 0); }
  static std::uintptr_t Wide(std::int32_t id) { return static_cast<std::uint32_t>(id); }
};

TEST(HotkeyIds, StringAtomsWidenWithTheirSign) {
  EXPECT_EQ(tavisk::HotkeyIdFromAtom(0xC001), 0xC001 - 65536);
  EXPECT_EQ(static_cast<std::uint32_t>(tavisk::HotkeyIdFromAtom(0xC001)), 0xFFFFC001u);
  EXPECT_EQ(tavisk::HotkeyIdFromAtom(0xFFFF), -1);
  EXPECT_EQ(tavisk::HotkeyIdFromAtom(0), 0);
}

TEST(HotkeySetUp, CreatesAtomsThenRegistersThenReplacesTheProcedure) {
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  fakes::FakeHotkeyPlatform platform{log};
  tavisk::Hotkeys hotkeys{platform, backend};
  hotkeys.SetUp(0x100);
  EXPECT_THAT(log.Lines(), ElementsAre("GlobalAddAtomA \"Zelmi\"", "GlobalAddAtomA \"Zelmi1\"", "GlobalAddAtomA \"Zelmi2\"",
                                       "RegisterHotKey 0x100 id=-16383 mod=0 vk=0xb6",
                                       "RegisterHotKey 0x100 id=-16382 mod=0 vk=0xb7",
                                       "RegisterHotKey 0x100 id=-16381 mod=0 vk=0xb5",
                                       "SetWindowLongA 0x100 index=-4 value=0xc0de"));
  EXPECT_EQ(hotkeys.PrevWndProc, 0xBEEF);
}

TEST(HotkeySetUp, AFailedAtomGivesIdZeroWhichIsRegisteredUnchanged) {
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  fakes::FakeHotkeyPlatform platform{log};
  platform.atoms.erase("Zelmi1");
  tavisk::Hotkeys hotkeys{platform, backend};
  hotkeys.SetUp(0x100);
  EXPECT_EQ(hotkeys.HotkeyIdCalculator, 0);
  EXPECT_EQ(log.Lines()[4], "RegisterHotKey 0x100 id=0 mod=0 vk=0xb7");
}

TEST_F(HotkeysTest, ReleasePutsBackTheSameProcedureBeforeUnregistering) {
  hotkeys.Release();
  EXPECT_THAT(log.Lines(), ElementsAre("SetWindowLongA 0x100 index=-4 value=0xbeef", "UnregisterHotKey 0x100 id=-16383",
                                       "UnregisterHotKey 0x100 id=-16382", "UnregisterHotKey 0x100 id=-16381"));
}

TEST_F(HotkeysTest, OtherMessagesReachThePreviousProcedureUnchangedWithItsResult) {
  EXPECT_EQ(hotkeys.HotkeyWindowProc(0x100, 0x111, 1001, -5), 42);
  EXPECT_THAT(log.Lines(), ElementsAre("CallWindowProcA 0xbeef 0x100 msg=273 wParam=1001 lParam=-5"));
}

TEST_F(HotkeysTest, PointerSizedParametersReachThePreviousProcedureWhole) {
  if (sizeof(std::uintptr_t) < 8) GTEST_SKIP() << "a 32-bit build has nothing wider to lose";
  // A 64-bit program's image lies above 4 GB: an lParam that points into it must not be cut.
  const auto wParam = static_cast<std::uintptr_t>(0x1'0000'0001ull);
  const auto lParam = static_cast<std::intptr_t>(0x1'4000'900Cll);
  hotkeys.HotkeyWindowProc(0x1'0000'0100ull, 0x0081, wParam, lParam);
  EXPECT_THAT(log.Lines(), ElementsAre("CallWindowProcA 0xbeef 0x100000100 msg=129 wParam=4294967297 lParam=5368745996"));
}

TEST_F(HotkeysTest, AnIdWidenedWithItsSignToSixtyFourBitsStillMatches) {
  const auto widened = static_cast<std::uintptr_t>(static_cast<std::intptr_t>(hotkeys.HotkeyIdCalculator));
  EXPECT_EQ(Hotkey(widened), 0);
  EXPECT_THAT(log.Lines(), ElementsAre("StartCommandLine calc"));
}

TEST_F(HotkeysTest, MyComputerKeyAsksExplorerForTheFolder) {
  EXPECT_EQ(Hotkey(Wide(hotkeys.HotkeyIdComputer)), 0);
  EXPECT_THAT(log.Lines(),
              ElementsAre("ShellExecuteA 0x100 \"open\" \"explorer\" \"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\" NULL 1"));
}

TEST_F(HotkeysTest, CalculatorKeyStartsTheBareName) {
  EXPECT_EQ(Hotkey(Wide(hotkeys.HotkeyIdCalculator)), 0);
  EXPECT_THAT(log.Lines(), ElementsAre("StartCommandLine calc"));
}

TEST_F(HotkeysTest, MediaKeyChoosesThePlayerByVersionAndStartsTheFixedPathQuoted) {
  struct Case {
    std::uint32_t major, minor;
    const char* player;
  };
  const Case cases[] = {{5, 0, "mplayer2.exe"}, {5, 1, "wmplayer.exe"}, {5, 2, "wmplayer.exe"},
                        {6, 0, "wmplayer.exe"}, {4, 10, "wmplayer.exe"}, {0, 0, "wmplayer.exe"}};
  for (const Case& c : cases) {
    platform.major = c.major;
    platform.minor = c.minor;
    log.Clear();
    EXPECT_EQ(Hotkey(Wide(hotkeys.HotkeyIdMedia)), 0);
    const std::string path = std::string("C:\\Program Files\\Windows Media Player\\") + c.player;
    EXPECT_THAT(log.Lines(), ElementsAre("GetVersionExA size=148", "StartProgram " + path + " | \"" + path + "\""))
        << c.major << "." << c.minor;
  }
}

TEST_F(HotkeysTest, UnknownOrZeroExtendedIdsStartNothingAndAreNotPassedOn) {
  EXPECT_EQ(Hotkey(12345), 0);
  EXPECT_EQ(Hotkey(0xC001), 0);  // the plain atom, not its sign-widened id
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(HotkeysTest, WhileAKeysReportIsUpThatKeyDoesNothingButAnotherMayReportToo) {
  const std::string player = "C:\\Program Files\\Windows Media Player\\wmplayer.exe";
  platform.missingPrograms = {player, "calc"};
  int reports = 0;
  backend.onMessageBox = [&] {
    if (++reports > 1) return;
    Hotkey(Wide(hotkeys.HotkeyIdMedia));
    Hotkey(Wide(hotkeys.HotkeyIdCalculator));
  };
  Hotkey(Wide(hotkeys.HotkeyIdMedia));
  EXPECT_THAT(log.Lines(), ElementsAre("GetVersionExA size=148", "StartProgram " + player + " | \"" + player + "\"",
                                       ::testing::StartsWith("MessageBox"), "StartCommandLine calc",
                                       ::testing::StartsWith("MessageBox")));
  log.Clear();
  Hotkey(Wide(hotkeys.HotkeyIdMedia));  // its report closed: the key works again
  EXPECT_THAT(log.Lines().back(), ::testing::StartsWith("MessageBox"));
}

TEST_F(HotkeysTest, AProgramThatCannotStartIsReportedAndTheDriverStaysResident) {
  platform.missingPrograms.insert("C:\\Program Files\\Windows Media Player\\wmplayer.exe");
  EXPECT_EQ(Hotkey(Wide(hotkeys.HotkeyIdMedia)), 0);
  EXPECT_THAT(log.Lines().back(), ::testing::StartsWith("MessageBox \"File not found\""));
  log.Clear();
  EXPECT_EQ(Hotkey(Wide(hotkeys.HotkeyIdCalculator)), 0);
  EXPECT_THAT(log.Lines(), ElementsAre("StartCommandLine calc"));
}

}  // namespace
