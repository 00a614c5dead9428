#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "indicator/tests/hook_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using fakes::kPopUp;

constexpr std::uintptr_t kWmKeyDown = 0x100;
constexpr std::uintptr_t kWmKeyUp = 0x101;
constexpr std::uintptr_t kWmSysKeyUp = 0x105;
constexpr std::uint32_t kUp = 0x80;
constexpr std::uint32_t kInjected = 0x10;

class KeyboardHook : public ::testing::Test, protected fakes::Indicator {
 protected:
  void SetUp() override { Start(); }
};

struct HookCase {
  const char* what;
  std::uint32_t vkCode;
  std::uint32_t flags;
  std::uintptr_t wParam;
  std::uint16_t keyState;  // what GetKeyState answers for the key
  std::vector<std::string> between;  // the calls before passing the event on (arming the running timer makes none)
};

TEST_F(KeyboardHook, ActsOnlyOnLockKeyReleasesAndAlwaysPassesTheEventOn) {
  const std::vector<HookCase> cases = {
      {"Caps pressed", 20, 0, kWmKeyDown, 0xFF81, {}},
      {"Caps released, lock now on", 20, kUp, kWmKeyUp, 0xFF81, {"GetKeyState 20", kPopUp, "SetFill Shape2 65280"}},
      {"Caps released, lock now off", 20, kUp, kWmKeyUp, 0xFF80, {"GetKeyState 20", kPopUp, "SetFill Shape2 32896"}},
      {"Caps up and on is not the release state", 20, kUp, kWmKeyUp, 0x0001,
       {"GetKeyState 20", kPopUp, "SetFill Shape2 32896"}},
      {"Caps up and off", 20, kUp, kWmKeyUp, 0x0000, {"GetKeyState 20", kPopUp, "SetFill Shape2 32896"}},
      {"Num released is the first lamp", 144, kUp, kWmKeyUp, 0xFF81, {"GetKeyState 144", kPopUp, "SetFill Shape1 65280"}},
      {"injected Scroll release counts like a typed one", 145, kUp | kInjected, kWmKeyUp, 0xFF81,
       {"GetKeyState 145", kPopUp, "SetFill Shape3 65280"}},
      {"Scroll released with Alt down", 145, kUp | 0x20, kWmSysKeyUp, 0xFF80,
       {"GetKeyState 145", kPopUp, "SetFill Shape3 32896"}},
      {"a letter released", 'A', kUp, kWmKeyUp, 0xFF81, {}},
      {"Shift released", 0xA0, kUp, kWmKeyUp, 0xFF81, {}},
      {"the whole vkCode is compared", 0x10014, kUp, kWmKeyUp, 0xFF81, {}},
      {"only bit 0x80 of the low byte means released", 20, 0x8000, kWmKeyUp, 0xFF81, {}},
  };
  for (const HookCase& c : cases) {
    SCOPED_TRACE(c.what);
    platform.keyStates[static_cast<std::int32_t>(c.vkCode)] = c.keyState;
    const auto record = fakes::KeyRecord(c.vkCode, c.flags);
    log.Clear();
    EXPECT_EQ(Hook(0, c.wParam, &record), 77);
    std::vector<std::string> expected = c.between;
    expected.push_back(NextHookLine(0, c.wParam, &record));
    EXPECT_THAT(log.Lines(), ElementsAreArray(expected));
  }
}

// The keyboard of the whole desktop waits while the hook runs, and a paint there would show the
// old colour first: the hook only marks the window, which is painted once, after it has returned.
TEST_F(KeyboardHook, NothingIsPaintedInsideTheHook) {
  platform.keyStates[20] = 0xFF81;
  const auto caps = fakes::KeyRecord(20, kUp);
  Hook(0, kWmKeyUp, &caps);
  EXPECT_TRUE(backend.At(fakes::kForm1).visible);
  EXPECT_EQ(backend.paintsNow, 0);
}

TEST_F(KeyboardHook, NonZeroCodesArmTheTimerAndArePassedOnWithoutReadingTheRecord) {
  for (const std::int32_t nCode : {-1, -2147483647 - 1, 3}) {
    SCOPED_TRACE(nCode);
    log.Clear();
    // No record at all: reading it would crash.
    EXPECT_EQ(Hook(nCode, kWmKeyUp, nullptr), 77);
    EXPECT_THAT(log.Lines(), ElementsAre(NextHookLine(nCode, kWmKeyUp, nullptr)));
  }
}

// Every call restarts the running timer's countdown without a call of its own: from the event's
// time, or from the tick count when the call carries no event. The tick before a full interval
// has passed waits out the rest.
TEST_F(KeyboardHook, EveryCallRestartsTheCountdownFromTheEventsTime) {
  const auto f13 = fakes::KeyRecord(0x7C, 0, 0x64, 600);
  Hook(0, kWmKeyDown, &f13);
  backend.tickCount = 1000;
  log.Clear();
  Tick();
  EXPECT_THAT(log.Lines(), ElementsAre("SetTimer Timer1 600 ms"));
  backend.tickCount = 1450;
  Hook(-1, kWmKeyUp, nullptr);
  backend.tickCount = 1600;
  log.Clear();
  Tick();
  EXPECT_THAT(log.Lines(), ElementsAre("SetTimer Timer1 850 ms"));
  backend.tickCount = 2450;
  log.Clear();
  Tick();
  EXPECT_THAT(log.Lines(), ElementsAre("Hide 0x100", "SetTimer Timer1 off"));
}

TEST_F(KeyboardHook, ReturnsTheNextHooksResultUnchangedOnEveryPath) {
  const auto press = fakes::KeyRecord(20, 0);
  const auto release = fakes::KeyRecord(20, kUp);
  for (const std::intptr_t next : {0, 1, -5}) {
    platform.nextResult = next;
    EXPECT_EQ(Hook(0, kWmKeyDown, &press), next);
    EXPECT_EQ(Hook(0, kWmKeyUp, &release), next);
    EXPECT_EQ(Hook(-1, kWmKeyUp, nullptr), next);
  }
}

TEST_F(KeyboardHook, HoldingNumLockOnlyPassesTheRepeatsOnAndTheSingleReleasePaintsOnce) {
  platform.keyStates[144] = 0xFF81;
  const auto repeat = fakes::KeyRecord(144, 0);
  const auto release = fakes::KeyRecord(144, kUp);
  for (int i = 0; i < 3; ++i) Hook(0, kWmKeyDown, &repeat);
  Hook(0, kWmKeyUp, &release);
  EXPECT_THAT(log.Lines(),
              ElementsAre(NextHookLine(0, kWmKeyDown, &repeat), NextHookLine(0, kWmKeyDown, &repeat),
                          NextHookLine(0, kWmKeyDown, &repeat), "GetKeyState 144", kPopUp, "SetFill Shape1 65280",
                          NextHookLine(0, kWmKeyUp, &release)));
}

TEST_F(KeyboardHook, OnlyTheReleasedKeysLampChanges) {
  platform.keyStates[20] = 0xFF81;
  platform.keyStates[144] = 0xFF81;
  const auto caps = fakes::KeyRecord(20, kUp);
  const auto num = fakes::KeyRecord(144, kUp);
  Hook(0, kWmKeyUp, &caps);
  Hook(0, kWmKeyUp, &num);
  platform.keyStates[20] = 0xFF80;
  Hook(0, kWmKeyUp, &caps);
  EXPECT_EQ(form1.FillColour(form1.Find("Shape1")), lumora::LampOnColor);
  EXPECT_EQ(form1.FillColour(form1.Find("Shape2")), lumora::LampOffColor);
  EXPECT_EQ(form1.FillColour(form1.Find("Shape3")), lumora::LampOffColor);
  EXPECT_TRUE(form1.IsVisible());
}

TEST_F(KeyboardHook, AReleaseWhileTheAboutBoxIsOpenShowsTheIndicatorBesideIt) {
  Menu("mnuDisplay");
  ASSERT_FALSE(form1.IsVisible());
  platform.keyStates[145] = 0xFF81;
  const auto scroll = fakes::KeyRecord(145, kUp);
  Hook(0, kWmKeyUp, &scroll);
  EXPECT_TRUE(form1.IsVisible());
  EXPECT_TRUE(about.IsVisible());
}

TEST(KeyEvent, ReadsVkCodeAndFlagsFromTheLittleEndianRecord) {
  const auto record = fakes::KeyRecord(0x12345678, 0x9ABCDEF0, 0x11111111, 0x22222222, 0x33333333);
  const lumora::KeyEvent event = lumora::CopyKeyEvent(reinterpret_cast<std::intptr_t>(record.data()));
  EXPECT_EQ(event.vkCode(), 0x12345678u);
  EXPECT_EQ(event.flags(), 0x9ABCDEF0u);
}

}  // namespace
