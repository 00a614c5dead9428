// The real lock-key indicator under Wine: its lamps read from the screen after real lock keys
// (SendInput), its tray icon and menu, the About box, the hand-off to a running copy, its place
// at every density, and every key still reaching the next hook and the focused application.
//
// Lock states outlive a program within the session, and a new process cannot read them under
// Wine, so the indicator itself is the oracle: a release shows the lock's new state on its lamp.
#include <gmock/gmock.h>

#include <mutex>
#include <string>
#include <vector>

#include "bench_fixture.h"
#include "lumora_bench.h"

namespace {

using bench::MenuRow;
using namespace lumora_e2e;

constexpr DWORD kWait = 5000;
const std::vector<MenuRow> kMenuRows = {MenuRow::Item, MenuRow::Item};  // About, Exit

// Shift arrives as the generic or the left key, depending on who translates it.
bool SameKey(DWORD seen, WORD sent) { return seen == sent || (sent == VK_SHIFT && seen == VK_LSHIFT); }

class Lumora : public bench::BenchTest {
protected:
    // Closes the windows the way Windows would, so that the icon goes too: a killed indicator would
    // leave a dead icon in the tray for the next test.
    void TearDown() override {
        for (const auto& w : bench::TopLevelWindows()) {
            if (w.className == kAboutClass || w.className == kClass) PostMessageA(w.hwnd, WM_CLOSE, 0, 0);
        }
        bench::WaitFor(kWait, [] { return bench::FindProcesses("Lumora.exe").empty(); });
        BenchTest::TearDown();
    }

    // Returns when the load handler is done (input idle): icon added, hook installed.
    bench::Process StartIndicator() {
        bench::Process p = StartProgram("Lumora.exe");
        EXPECT_TRUE(p) << "Lumora.exe did not start";
        form1 = bench::WaitExists(kClass, kCaption, kWait);
        EXPECT_NE(form1, nullptr) << "no indicator window";
        return p;
    }

    bool Visible() const { return IsWindowVisible(form1) != FALSE; }
    bool WaitShown() const { return bench::WaitVisible(form1, true, kWait); }
    bool WaitHiddenAgain() const { return bench::WaitVisible(form1, false, kWait); }

    std::string LampColour(Lamp lamp) const {
        const POINT at = LampCentre(form1, lamp);
        return bench::Pixel(at.x, at.y);
    }
    // The lamp once painted: a lamp colour that holds for five polls.
    std::string SettledLamp(Lamp lamp) const {
        std::string last;
        int same = 0;
        bench::WaitFor(kWait, [&] {
            const std::string now = LampColour(lamp);
            same = (now == last && (now == kGreen || now == kOlive)) ? same + 1 : 0;
            last = now;
            return same >= 5;
        });
        return last;
    }

    // Releases the lock key and reads the state its lamp shows. Wine marks the window hidden before
    // the desktop under it is repainted, so the lamp must also be gone from the screen first.
    bool ToggleLock(Lamp lamp) {
        EXPECT_TRUE(WaitHiddenAgain());
        EXPECT_TRUE(bench::WaitFor(kWait, [&] {
            const std::string now = LampColour(lamp);
            return now != kGreen && now != kOlive;
        })) << "the hidden indicator's lamp stayed on the screen";
        bench::Key(kLockKey[lamp]);
        EXPECT_TRUE(WaitShown()) << "the release did not show the indicator";
        return SettledLamp(lamp) == kGreen;
    }
    void SetLock(Lamp lamp, bool on) {
        if (ToggleLock(lamp) != on) {
            EXPECT_EQ(ToggleLock(lamp), on);
        }
    }

    void ClickIcon() {
        const POINT icon = bench::TrayIconCenter(0);
        bench::Click(icon.x, icon.y);
    }
    HWND OpenTrayMenu() { return bench::OpenTrayMenu(0, kWait); }
    void ChooseFromTrayMenu(size_t row) {
        ASSERT_TRUE(bench::ChooseTrayMenuRow(0, kMenuRows, row, kWait)) << "the tray menu did not open and close";
    }
    // Whether top stands before bottom in the z-order of the top-level windows.
    static bool Above(HWND top, HWND bottom) {
        for (HWND w = GetWindow(top, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == bottom) return true;
        }
        return false;
    }
    static int VisibleAboutBoxes() {
        int count = 0;
        for (const auto& w : bench::TopLevelWindows()) count += (w.className == kAboutClass && w.visible) ? 1 : 0;
        return count;
    }

    HWND form1 = nullptr;
};

TEST_F(Lumora, StartWithOnlyCapsLockOnLightsOnlyTheCapsLamp) {
    StartIndicator();
    SetLock(kNum, false);
    SetLock(kScroll, false);
    SetLock(kCaps, true);
    ASSERT_TRUE(WaitHiddenAgain());
    ASSERT_TRUE(bench::CloseWindow(kClass, kCaption, kWait));

    StartIndicator();
    ClickIcon();
    ASSERT_TRUE(WaitShown());
    EXPECT_EQ(SettledLamp(kNum), kOlive);
    EXPECT_EQ(SettledLamp(kScroll), kOlive);
    const std::string caps = SettledLamp(kCaps);
    if (caps == kOlive && GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        // Wine gives a new process an empty key-state table (WINE.md, section 9), so the load
        // reads every lock as off; the start-up lamps are covered by the unit tests.
        GTEST_SKIP() << "Wine: a new process cannot read the lock states";
    }
    EXPECT_EQ(caps, kGreen);
}

TEST_F(Lumora, ACapsLockReleaseShowsItsNewStateAndTheTimerHidesTheWindowAgain) {
    StartIndicator();
    ASSERT_TRUE(WaitHiddenAgain()) << "the timer running from the load did not hide the window";

    bench::Key(VK_CAPITAL);
    ASSERT_TRUE(WaitShown());
    const std::string first = SettledLamp(kCaps);
    ASSERT_THAT(first, ::testing::AnyOf(kGreen, kOlive));
    EXPECT_TRUE(WaitHiddenAgain()) << "the timer did not hide the window";

    bench::Key(VK_CAPITAL);
    ASSERT_TRUE(WaitShown());
    const POINT caps = LampCentre(form1, kCaps);
    EXPECT_TRUE(bench::WaitPixel(caps.x, caps.y, first == kGreen ? kOlive : kGreen, kWait))
        << "the second release did not show the opposite state";
    EXPECT_TRUE(WaitHiddenAgain());
}

// The keyboard of the whole desktop waits while the indicator's hook runs, so nothing may be painted
// there: a paint inside it would flash the old colour up first. The probe's hook runs while the
// indicator's still waits in CallNextHookEx, so it reads what the hook itself left on the screen.
TEST_F(Lumora, TheLampIsFirstPaintedInItsNewColourAfterTheHookReturns) {
    KeyProbe probe;  // its hook first, so it is called from within the indicator's
    std::mutex guard;
    std::vector<std::string> seenInHook;
    probe.OnHook([&](DWORD vk, bool up) {
        if (vk != VK_CAPITAL || !up) return;
        const std::string colour = LampColour(kCaps);
        std::lock_guard<std::mutex> lock(guard);
        seenInHook.push_back(colour);
    });
    StartIndicator();
    std::string before = ToggleLock(kCaps) ? kGreen : kOlive;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const std::string after = ToggleLock(kCaps) ? kGreen : kOlive;
        EXPECT_NE(after, before) << "the release did not change the lamp";
        std::lock_guard<std::mutex> lock(guard);
        ASSERT_EQ(seenInHook.size(), static_cast<size_t>(i + 2));
        EXPECT_NE(seenInHook.back(), before) << "the old colour was painted inside the hook";
        before = after;
    }
    ToggleLock(kCaps);  // back as it was
}

// Raised to the top of the topmost band, so the taskbar cannot cover it, and never activated: the
// application in front keeps the keyboard.
TEST_F(Lumora, AReleaseShowsTheIndicatorAboveTheTaskbarWithoutTakingTheFocus) {
    KeyProbe probe;
    StartIndicator();
    ASSERT_TRUE(WaitHiddenAgain());
    ASSERT_TRUE(bench::Activate(probe.hwnd()));
    HWND taskbar = bench::Taskbar();
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        // As a click on the taskbar would: it goes to the top of the topmost band.
        SetWindowPos(taskbar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_TRUE(bench::WaitFor(kWait, [&] { return Above(taskbar, form1); }));
        bench::Key(VK_SCROLL);
        ASSERT_TRUE(WaitShown());
        EXPECT_TRUE(bench::WaitFor(kWait, [&] { return Above(form1, taskbar); })) << "the indicator stayed under the taskbar";
        EXPECT_EQ(GetForegroundWindow(), probe.hwnd()) << "the indicator took the focus";
        ASSERT_TRUE(WaitHiddenAgain());
    }
}

// Windows may drop the hook of a busy, just resumed system without a word, so the indicator installs
// it anew on every resume and unlock. Wine drops no hook; what it shows is that the new hook works.
TEST_F(Lumora, AfterAResumeOrAnUnlockACapsLockReleaseStillShowsItsNewState) {
    StartIndicator();
    // Wine gives a new process no lock states, so its first release may read the lock as off.
    ToggleLock(kCaps);
    bool on = ToggleLock(kCaps);
    const std::pair<UINT, WPARAM> events[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                              {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
                                              {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}};
    for (const auto& [message, event] : events) {
        SCOPED_TRACE(event);
        SendMessageA(form1, message, event, 0);  // returns once the indicator has handled it
        const bool now = ToggleLock(kCaps);
        EXPECT_NE(now, on) << "the release after the event did not show the lock's new state";
        on = now;
    }
    ToggleLock(kCaps);  // back as it was
}

TEST_F(Lumora, PressingALockKeyShowsNothingUntilItIsReleased) {
    StartIndicator();
    ASSERT_TRUE(WaitHiddenAgain());
    bench::KeyDown(VK_SCROLL);
    EXPECT_FALSE(bench::WaitVisible(form1, true, 700)) << "a press showed the indicator";
    bench::KeyUp(VK_SCROLL);
    EXPECT_TRUE(WaitShown());
    ToggleLock(kScroll);  // back as it was
}

TEST_F(Lumora, LettersAndShiftShowNothingButKeepTheTimerRunning) {
    KeyProbe probe;
    ASSERT_TRUE(bench::Activate(probe.hwnd()));
    StartIndicator();
    ASSERT_TRUE(WaitHiddenAgain());
    bench::Key('A');
    bench::Key(VK_SHIFT);
    EXPECT_FALSE(bench::WaitVisible(form1, true, 700)) << "a letter or Shift showed the indicator";

    bench::Key(VK_CAPITAL);
    ASSERT_TRUE(WaitShown());
    // Input pacing, not a wait: a letter every 250 ms for 2 s re-arms the 1000 ms timer each time,
    // so the window must still be up after the last one.
    for (int i = 0; i < 8; ++i) {
        Sleep(250);
        bench::Key('B');
    }
    EXPECT_TRUE(Visible()) << "keys that are not lock keys did not re-arm the timer";
    EXPECT_TRUE(WaitHiddenAgain());
    ToggleLock(kCaps);
}

TEST_F(Lumora, ALeftClickOnTheIconShowsTheWindowUntilTheNextTick) {
    StartIndicator();
    ASSERT_TRUE(WaitHiddenAgain());
    RECT placed{};
    GetWindowRect(form1, &placed);
    ClickIcon();
    ASSERT_TRUE(WaitShown());
    RECT shown{};
    GetWindowRect(form1, &shown);
    EXPECT_TRUE(EqualRect(&placed, &shown));
    EXPECT_TRUE(WaitHiddenAgain());
}

TEST_F(Lumora, TheWindowHasTheSizeOfItsTwipsStandsAtTheLowerRightAndIsInNeitherTaskbarNorAltTab) {
    StartIndicator();
    ClickIcon();
    ASSERT_TRUE(WaitShown());
    const bench::WindowInfo info = bench::Describe(form1);
    const SIZE screen = bench::ScreenSize();
    const int width = Pixels(4680), height = Pixels(1455);
    EXPECT_EQ(info.rect.right - info.rect.left, width);
    EXPECT_EQ(info.rect.bottom - info.rect.top, height);
    EXPECT_EQ(info.rect.right, screen.cx);
    const int tpp = TwipsPerPixel();
    EXPECT_EQ(info.rect.top, Pixels(static_cast<double>(screen.cy * tpp - height * tpp - 500)));
    EXPECT_EQ(info.style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
    EXPECT_NE(info.exStyle & WS_EX_TOPMOST, 0);
    EXPECT_NE(info.exStyle & WS_EX_TOOLWINDOW, 0) << "the pop-up must stay out of Alt+Tab";
    // A click must leave the focus with the application in front. Wine 8 activates such a window
    // on a click all the same, so only the style can be read here.
    EXPECT_NE(info.exStyle & WS_EX_NOACTIVATE, 0) << "a click on the pop-up would take the focus";
    EXPECT_NE(info.owner, nullptr) << "an unowned window gets a taskbar button in Wine";
    EXPECT_FALSE(bench::HasTaskbarButton(form1));
    EXPECT_EQ(GetMenu(form1), nullptr);
}

TEST_F(Lumora, AboutHidesTheIndicatorAndShowsOneCentredBoxHoweverOftenChosen) {
    StartIndicator();
    ClickIcon();
    ASSERT_TRUE(WaitShown());
    ChooseFromTrayMenu(0);
    HWND about = bench::WaitWindow(kAboutClass, "About", kWait);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(Visible()) << "About did not hide the indicator";
    RECT r{};
    GetWindowRect(about, &r);
    const SIZE screen = bench::ScreenSize();
    EXPECT_EQ(r.left, static_cast<int>(std::lround((screen.cx - (r.right - r.left)) / 2.0)));
    EXPECT_EQ(r.top, static_cast<int>(std::lround((screen.cy - (r.bottom - r.top)) / 2.0)));
    EXPECT_TRUE(bench::WaitFor(kWait, [&] { return bench::HasTaskbarButton(about); }));
    EXPECT_NE(bench::FindChild(about, "Button", "OK"), nullptr);

    ChooseFromTrayMenu(0);
    EXPECT_EQ(bench::WaitWindow(kAboutClass, "About", kWait), about);
    EXPECT_EQ(VisibleAboutBoxes(), 1);

    // A lock-key release shows the indicator beside the box; "OK" closes only the box.
    bench::Key(VK_SCROLL);
    EXPECT_TRUE(WaitShown());
    EXPECT_TRUE(IsWindowVisible(about));
    const POINT ok = bench::Center(bench::FindChild(about, "Button", "OK"));
    bench::Click(ok.x, ok.y);
    EXPECT_TRUE(bench::WaitGone(kAboutClass, "About", kWait));
    EXPECT_FALSE(bench::FindProcesses("Lumora.exe").empty());
    ToggleLock(kScroll);
}

TEST_F(Lumora, AboutRestoresTheMinimisedBoxCentredAndBringsItToTheFront) {
    StartIndicator();
    ChooseFromTrayMenu(0);
    HWND about = bench::WaitWindow(kAboutClass, "About", kWait);
    ASSERT_NE(about, nullptr);
    RECT placed{};
    GetWindowRect(about, &placed);
    ShowWindow(about, SW_MINIMIZE);
    ASSERT_TRUE(bench::WaitFor(kWait, [&] { return IsIconic(about) != FALSE; }));

    ChooseFromTrayMenu(0);
    EXPECT_TRUE(bench::WaitFor(kWait, [&] { return !IsIconic(about) && GetForegroundWindow() == about; }))
        << "the box stayed minimised or behind";
    EXPECT_EQ(VisibleAboutBoxes(), 1);
    RECT shown{};
    GetWindowRect(about, &shown);
    EXPECT_TRUE(EqualRect(&placed, &shown)) << "not centred as before";
}

// As in any dialog: OK has the focus, Enter and Space press it, Tab keeps it there, and Esc does
// nothing, since OK is neither the default nor the cancel button.
TEST_F(Lumora, TheAboutBoxAnswersEnterAndSpaceOnItsFocusedOkButNotEscape) {
    StartIndicator();
    for (const WORD key : {VK_RETURN, VK_SPACE, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        ChooseFromTrayMenu(0);
        HWND about = bench::WaitWindow(kAboutClass, "About", kWait);
        ASSERT_NE(about, nullptr);
        ASSERT_TRUE(bench::Activate(about));
        HWND ok = bench::FindChild(about, "Button", "OK");
        EXPECT_TRUE(bench::WaitFor(kWait, [&] {
            GUITHREADINFO focus{};
            focus.cbSize = sizeof focus;
            GetGUIThreadInfo(GetWindowThreadProcessId(about, nullptr), &focus);
            return focus.hwndFocus == ok;
        })) << "OK does not have the focus";
        bench::Key(VK_TAB);
        bench::Key(key);
        if (key == VK_ESCAPE) {
            EXPECT_FALSE(bench::WaitGone(kAboutClass, "About", 700)) << "Esc closed the box";
            bench::Key(VK_RETURN);
        }
        EXPECT_TRUE(bench::WaitGone(kAboutClass, "About", kWait)) << "the key did not press OK";
    }
}

TEST_F(Lumora, ExitRemovesTheIconAndTheHookAndEnds) {
    bench::Process indicator = StartIndicator();
    ChooseFromTrayMenu(1);
    DWORD code = 1;
    ASSERT_TRUE(bench::WaitExit(indicator, kWait, &code));
    EXPECT_EQ(code, 0u);
    // With the icon gone, a right click there opens no menu.
    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    EXPECT_EQ(bench::WaitPopupMenu(500), nullptr);
}

TEST_F(Lumora, WithTheAboutBoxOpenExitRemovesIconAndHookAndTheProcessLivesUntilTheBoxCloses) {
    bench::Process indicator = StartIndicator();
    ChooseFromTrayMenu(0);
    HWND about = bench::WaitWindow(kAboutClass, "About", kWait);
    ASSERT_NE(about, nullptr);
    ChooseFromTrayMenu(1);
    ASSERT_TRUE(bench::WaitGone(kClass, kCaption, kWait)) << "Exit did not close the indicator window";
    EXPECT_TRUE(bench::IsRunning(indicator));
    // No hook: a release would load and show the indicator again.
    bench::Key(VK_CAPITAL);
    EXPECT_EQ(bench::WaitWindow(kClass, kCaption, 700), nullptr) << "the hook outlived Exit";
    bench::Key(VK_CAPITAL);
    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    EXPECT_EQ(bench::WaitPopupMenu(500), nullptr) << "the icon outlived Exit";

    const POINT ok = bench::Center(bench::FindChild(about, "Button", "OK"));
    bench::Click(ok.x, ok.y);
    DWORD code = 1;
    EXPECT_TRUE(bench::WaitExit(indicator, kWait, &code));
    EXPECT_EQ(code, 0u);
}

// The indicator is owned by a hidden window that keeps it off the taskbar; closed, that window takes
// the indicator with it. The program must not outlive its last window, nor leave its icon behind.
TEST_F(Lumora, ClosingTheHiddenOwnerEndsTheProgramAndRemovesItsIcon) {
    bench::Process indicator = StartIndicator();
    HWND owner = GetWindow(form1, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    PostMessageA(owner, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(bench::WaitExit(indicator, kWait, &code)) << "the program outlived its window";
    EXPECT_EQ(code, 0u);
    const POINT icon = bench::TrayIconCenter(0);
    bench::RightClick(icon.x, icon.y);
    EXPECT_EQ(bench::WaitPopupMenu(500), nullptr) << "the icon outlived the program";
}

// A restarting shell loses every icon and tells the top-level windows with "TaskbarCreated".
TEST_F(Lumora, TheSameIconWithItsTipAndMenuComesBackWhenTheTaskbarIsRecreated) {
    const std::string empty = bench::TrayIconPixels(0);
    StartIndicator();
    std::string icon;
    ASSERT_TRUE(bench::WaitFor(kWait, [&] { return (icon = bench::TrayIconPixels(0)) != empty; })) << "no icon";
    HWND callback = bench::FindChild(form1, "KbdFormsPictureBox", nullptr);
    ASSERT_NE(callback, nullptr);
    ASSERT_TRUE(bench::DeleteTrayIcon(callback, 1));
    ASSERT_TRUE(bench::WaitFor(kWait, [&] { return bench::TrayIconPixels(0) == empty; }));

    bench::BroadcastTaskbarCreated();
    EXPECT_TRUE(bench::WaitFor(kWait, [&] { return bench::TrayIconPixels(0) == icon; })) << "not the same icon";
    EXPECT_EQ(bench::TrayTip(0, kWait), "Lumora");
    ChooseFromTrayMenu(0);
    EXPECT_NE(bench::WaitWindow(kAboutClass, "About", kWait), nullptr) << "its menu does not work";
}

TEST_F(Lumora, ASecondCopyHandsOffAndEndsLeavingOneIcon) {
    bench::Process first = StartIndicator();
    bench::Process second = StartProgram("Lumora.exe");
    ASSERT_TRUE(second);
    EXPECT_TRUE(bench::WaitExit(second, kWait));
    EXPECT_TRUE(bench::IsRunning(first));
    EXPECT_EQ(bench::Find(kClass, kCaption), form1);
    // A second icon would stand one cell to the left; a right click there opens nothing.
    const POINT secondCell = bench::TrayIconCenter(1);
    bench::RightClick(secondCell.x, secondCell.y);
    EXPECT_EQ(bench::WaitPopupMenu(500), nullptr);
    EXPECT_TRUE(ToggleLock(kCaps) != ToggleLock(kCaps)) << "the first copy no longer follows the keys";
}

// A copy run as administrator makes the single-instance mutex with rights that others lack; the
// test makes it so with an empty access list. Opening it is then refused (ERROR_ACCESS_DENIED), and
// that still is a copy running: this one ends at once, before it adds an icon or a hook.
TEST_F(Lumora, AMutexThatCannotBeOpenedCountsAsACopyRunning) {
    SECURITY_DESCRIPTOR locked{};
    InitializeSecurityDescriptor(&locked, SECURITY_DESCRIPTOR_REVISION);
    alignas(DWORD) BYTE noAccess[sizeof(ACL)];
    InitializeAcl(reinterpret_cast<ACL*>(noAccess), sizeof noAccess, ACL_REVISION);
    SetSecurityDescriptorDacl(&locked, TRUE, reinterpret_cast<ACL*>(noAccess), FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &locked, FALSE};
    HANDLE held = CreateMutexA(&attributes, FALSE, "Local\\Lumora.SingleInstance");
    ASSERT_NE(held, nullptr);
    bench::Process copy = StartProgram("Lumora.exe");
    ASSERT_TRUE(copy);
    EXPECT_TRUE(bench::WaitExit(copy, kWait)) << "it runs as if no other copy did";
    CloseHandle(held);
}

TEST_F(Lumora, EveryKeyStillReachesAnotherHookAndTheFocusedApplication) {
    KeyProbe probe;  // its hook first, so it is called after the indicator's
    StartIndicator();
    ASSERT_TRUE(WaitHiddenAgain());
    ASSERT_TRUE(bench::Activate(probe.hwnd()));
    probe.Clear();
    const std::vector<WORD> keys = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, 'A', VK_SHIFT};
    for (WORD vk : keys) bench::Key(vk);
    const size_t events = keys.size() * 2;
    ASSERT_TRUE(bench::WaitFor(kWait, [&] { return probe.HookKeys().size() >= events && probe.WindowKeys().size() >= events; }))
        << "hook saw " << probe.HookKeys().size() << ", window " << probe.WindowKeys().size() << " of " << events;
    EXPECT_TRUE(WaitShown());
    const auto hook = probe.HookKeys();
    const auto window = probe.WindowKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(keys[i]);
        EXPECT_TRUE(SameKey(hook[2 * i].vk, keys[i])) << hook[2 * i].vk;
        EXPECT_FALSE(hook[2 * i].up);
        EXPECT_TRUE(SameKey(hook[2 * i + 1].vk, keys[i])) << hook[2 * i + 1].vk;
        EXPECT_TRUE(hook[2 * i + 1].up);
        EXPECT_EQ(window[2 * i].vk, keys[i]);
        EXPECT_FALSE(window[2 * i].up);
        EXPECT_TRUE(window[2 * i + 1].up);
    }
    // Shown without activation: the application in front keeps the keyboard.
    EXPECT_EQ(GetForegroundWindow(), probe.hwnd());
    for (WORD vk : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL}) bench::Key(vk);  // back as they were
    EXPECT_TRUE(bench::WaitFor(kWait, [&] { return probe.HookKeys().size() >= events + 6; }));
}

}  // namespace
