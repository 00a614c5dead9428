#include "forms/form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "forms/application.h"
#include "forms/error.h"
#include "forms/tests/fake_backend.h"

namespace {

using ::testing::ElementsAre;

struct Recorder {
  std::vector<std::string> events;
};

class TestForm : public forms::Form {
 public:
  TestForm(forms::Application& app, const char* name, Recorder& recorder)
      : Form(app, forms::WindowDescription().Class(name).Caption(name).ClientSize(1500, 750).Add(
                      forms::PictureControl("Image1").Rect(0, 0, 150, 150))),
        recorder_(recorder) {}

  std::function<void()> onLoad, onClick;
  int cancelUnload = 0;

 protected:
  void OnLoad() override {
    recorder_.events.push_back(std::string(Description().className) + ".Load");
    if (onLoad) onLoad();
  }
  void OnQueryUnload(int& cancel, int mode) override {
    recorder_.events.push_back(std::string(Description().className) + ".QueryUnload " + std::to_string(mode));
    cancel = cancelUnload;
  }
  void OnUnload(int&) override { recorder_.events.push_back(std::string(Description().className) + ".Unload"); }
  void OnClick(forms::ControlId) override {
    recorder_.events.push_back(std::string(Description().className) + ".Click");
    if (onClick) onClick();
  }

 private:
  Recorder& recorder_;
};

class FormModel : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  forms::Application app{backend};
  Recorder recorder;
  TestForm form1{app, "Form1", recorder};
  TestForm form4{app, "Form4", recorder};

  forms::Event Click() {
    forms::Event event;
    event.type = forms::EventType::Click;
    event.control = 0;
    return event;
  }
};

TEST_F(FormModel, LoadRunsTheHandlerWhileHiddenAndShowMakesVisibleAfterwards) {
  form1.onLoad = [&] { EXPECT_EQ(form1.CurrentState(), forms::Form::State::Hidden); };
  app.Run(form1, true);
  EXPECT_TRUE(form1.IsVisible());
  EXPECT_THAT(log.Lines(), ElementsAre("CreateWindow Form1 0x100", "Show 0x100", "RunMessageLoop"));
}

TEST_F(FormModel, ClosingKeepsTheObjectAndShowingAgainLoadsAnew) {
  app.Run(form1, true);
  form1.Unload();
  EXPECT_FALSE(form1.IsLoaded());
  form1.Show();
  EXPECT_THAT(recorder.events, ElementsAre("Form1.Load", "Form1.QueryUnload 1", "Form1.Unload", "Form1.Load"));
}

TEST_F(FormModel, AHandlerThatClosesItsOwnWindowAndShowsAnotherKeepsTheProgramAlive) {
  app.Run(form1, true);
  form1.onClick = [&] {
    form1.Unload();
    form4.Show();
  };
  log.Clear();
  backend.Deliver(0x100, Click());
  EXPECT_TRUE(form4.IsVisible());
  EXPECT_FALSE(backend.quitPosted);
}

TEST_F(FormModel, TheProgramEndsOnlyAfterTheHandlerThatUnloadedTheLastWindowReturns) {
  app.Run(form1, true);
  form1.onClick = [&] {
    form1.Unload();
    EXPECT_FALSE(backend.quitPosted);
    recorder.events.push_back("after close");
  };
  backend.Deliver(0x100, Click());
  EXPECT_TRUE(backend.quitPosted);
  EXPECT_EQ(recorder.events.back(), "after close");
}

TEST_F(FormModel, AHiddenWindowStillKeepsTheProgramAlive) {
  app.Run(form1, false);
  form4.Hide();  // loads it hidden
  form1.onClick = [&] { form1.Unload(); };
  backend.Deliver(0x100, Click());
  EXPECT_FALSE(backend.quitPosted);
}

TEST_F(FormModel, CancelledQueryUnloadKeepsTheWindow) {
  app.Run(form1, true);
  form1.cancelUnload = 1;
  forms::Event close;
  close.type = forms::EventType::Close;
  backend.Deliver(0x100, close);
  EXPECT_TRUE(form1.IsLoaded());
  EXPECT_EQ(recorder.events.back(), "Form1.QueryUnload 0");
}

TEST_F(FormModel, AWindowDestroyedWithoutAnUnloadIsNoLongerLoadedAndTheProgramEnds) {
  app.Run(form1, true);
  form1.cancelUnload = 1;  // nothing can keep a window that is gone
  log.Clear();
  backend.DestroyFromOutside(0x100);
  EXPECT_FALSE(form1.IsLoaded());
  EXPECT_THAT(recorder.events, ElementsAre("Form1.Load", "Form1.QueryUnload 5", "Form1.Unload"));
  EXPECT_THAT(log.Lines(), ElementsAre("EndMessageLoop"));
}

TEST_F(FormModel, RunPutsTheThreadInASingleThreadedApartmentOnceBeforeTheFirstWindow) {
  app.Run(form1, true);
  // COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE
  EXPECT_THAT(backend.coInitializeEx, ElementsAre("flags=6 after 0 calls"));
}

TEST_F(FormModel, AFailedOperationStopsTheHandlerReportsAndTerminates) {
  app.Run(form1, true);
  form1.onClick = [&] {
    throw forms::Error("File not found");
  };
  log.Clear();
  EXPECT_THROW(backend.Deliver(0x100, Click()), forms::Terminated);
  EXPECT_THAT(log.Lines(), ElementsAre("MessageBox \"File not found\" title=\"Test\" style=16", "Terminate"));
}

TEST_F(FormModel, UsingAPropertyOfAnUnloadedWindowLoadsIt) {
  EXPECT_EQ(form4.Width(), 1500);
  EXPECT_TRUE(form4.IsLoaded());
  EXPECT_FALSE(form4.IsVisible());
}

TEST_F(FormModel, ALookupOfAnAbsentMemberIsAnError) { EXPECT_THROW(form1.Find("Image9"), forms::Error); }

// A copy started as administrator makes the single-instance mutex with rights that others lack, so
// CreateMutexA refuses it with ERROR_ACCESS_DENIED: that still is another copy, or a second one
// would add a second icon, hook and set of hotkeys.
TEST(SingleInstance, AMutexThatIsThereOrRefusedForWantOfRightsIsAnotherCopy) {
  EXPECT_FALSE(forms::AnotherCopyHoldsMutex(true, 0));
  EXPECT_TRUE(forms::AnotherCopyHoldsMutex(true, forms::kErrorAlreadyExists));
  EXPECT_TRUE(forms::AnotherCopyHoldsMutex(false, forms::kErrorAccessDenied));
  EXPECT_FALSE(forms::AnotherCopyHoldsMutex(false, 87));  // ERROR_INVALID_PARAMETER: no answer, so none
}

}  // namespace

// A window with one stopped 1000 ms timer, whose handler counts the ticks it is given.
class Clock : public forms::Form {
 public:
  explicit Clock(forms::Application& app)
      : Form(app, forms::WindowDescription().Class("Clock").Add(forms::Timer("Timer1").Interval(1000).Enabled(false))) {}

  std::vector<std::uint32_t> ticks;  // the tick count at each tick raised
  bool stopOnTick = true;
  std::function<std::uint32_t()> now;

 protected:
  void OnTimer(forms::ControlId timer) override {
    ticks.push_back(now());
    if (stopOnTick) SetTimerEnabled(timer, false);
  }
};

class TimerRule : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  forms::Application app{backend};
  Clock clock{app};
  std::uint32_t due = 0;  // when the platform's countdown ends, read from the last call that set it

  void SetUp() override {
    clock.now = [&] { return backend.tickCount; };
    clock.Load();
    log.Clear();
  }
  void At(std::uint32_t ms) { backend.tickCount = ms; }
  void TrackDue() {
    for (const std::string& line : log.Take()) {
      if (line == "SetTimer Timer1 on") due = backend.tickCount + 1000;
      if (line.rfind(" ms") == line.size() - 3) due = backend.tickCount + static_cast<std::uint32_t>(std::stoul(line.substr(16)));
      if (line == "SetTimer Timer1 off") due = 0;
    }
  }
  void Tick() {
    forms::Event event;
    event.type = forms::EventType::Timer;
    event.control = 0;
    backend.Deliver(0x100, event);
  }
};

TEST_F(TimerRule, ARunOfEnablingsWithinOneIntervalMakesOneCall) {
  for (std::uint32_t ms = 0; ms < 1000; ms += 100) {
    At(ms);
    clock.SetTimerEnabled(0, true, ms);
  }
  EXPECT_THAT(log.Lines(), ElementsAre("SetTimer Timer1 on"));
}

TEST_F(TimerRule, AnEarlyTickStartsTheRestOfTheIntervalAndRaisesNothing) {
  clock.SetTimerEnabled(0, true);
  At(400);
  clock.SetTimerEnabled(0, true);  // no event time: the tick count
  At(1000);
  log.Clear();
  Tick();
  EXPECT_THAT(log.Lines(), ElementsAre("SetTimer Timer1 400 ms"));
  EXPECT_TRUE(clock.ticks.empty());
  // A handler that keeps the timer running gets whole intervals again after the short one.
  clock.stopOnTick = false;
  At(1400);
  log.Clear();
  Tick();
  EXPECT_THAT(clock.ticks, ElementsAre(1400u));
  EXPECT_THAT(log.Lines(), ElementsAre("SetTimer Timer1 on"));
}

// Typing for 2.5 s, one key every 100 ms: the program wakes once an interval, and the one tick
// raised comes an interval after the last key.
TEST_F(TimerRule, TheTickComesOneIntervalAfterTheLastEnabling) {
  int wakes = 0;
  for (std::uint32_t ms = 0; ms <= 5000; ms += 10) {
    At(ms);
    if (due != 0 && ms == due) {
      ++wakes;
      Tick();
      TrackDue();
    }
    if (ms <= 2500 && ms % 100 == 0) {
      clock.SetTimerEnabled(0, true, ms);
      TrackDue();
    }
  }
  EXPECT_THAT(clock.ticks, ElementsAre(3500u));
  EXPECT_EQ(wakes, 4);
}
