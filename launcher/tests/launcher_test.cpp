#include "launcher/launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/tests/fake_backend.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Lines = std::vector<std::string>;

constexpr forms::Handle kFirst = 0x100;   // Form1 at start
constexpr forms::Handle kSecond = 0x200;  // the next window loaded

const std::string kPictures = "D:\\Disc\\picture\\";

Lines StartWindowLoad(const std::string& pictures = kPictures) {
  return {"LoadPicture " + pictures + "keyboard_page01_01.ico", "LoadPicture " + pictures + "keyboard_page01_02.ico",
          "SetPicture Image1 none",
          "LoadPicture " + pictures + "EXIT_01.ico", "LoadPicture " + pictures + "EXIT_02.ico",
          "SetPicture Image2 none"};
}

Lines DriverPageLoad() {
  return {"LoadPicture " + kPictures + "wireless keyboard led indicator_01.ico",
          "LoadPicture " + kPictures + "wireless keyboard led indicator_02.ico",
          "SetPicture Image1 none",
          "LoadPicture " + kPictures + "driver for win 2000 or lower version user_01.ico",
          "LoadPicture " + kPictures + "driver for win 2000 or lower version user_02.ico",
          "SetPicture Image2 none",
          "LoadPicture " + kPictures + "EXIT_01.ico", "LoadPicture " + kPictures + "EXIT_02.ico",
          "SetPicture Image3 none"};
}

Lines Joined(std::vector<Lines> parts) {
  Lines all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class Launcher : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeBackend backend{log};
  forms::Application app{backend};
  vandrel::Launcher launcher{app};

  void Start() {
    launcher.Run(app);
    log.Clear();
  }
  void ToDriverPage() {
    Start();
    Click(kFirst, "Image1");
    log.Clear();
  }

  forms::ControlId Control(forms::Handle window, const std::string& name) {
    if (name.empty()) return forms::kNoControl;
    return backend.At(window).description.Find(name);
  }
  void Send(forms::Handle window, forms::EventType type, const std::string& name, int button = 0, int shift = 0) {
    forms::Event event;
    event.type = type;
    event.control = Control(window, name);
    event.button = button;
    event.shift = shift;
    event.x = 37;  // the handlers ignore where in the control the pointer is
    event.y = 11;
    backend.Deliver(window, event);
  }
  void Move(forms::Handle window, const std::string& name, int button = 0) {
    Send(window, forms::EventType::MouseMove, name, button);
  }
  void Click(forms::Handle window, const std::string& name) { Send(window, forms::EventType::Click, name); }
};

TEST_F(Launcher, StartLoadsEachButtonsSlotsInTableOrderThenCentresThenShows) {
  launcher.Run(app);
  EXPECT_THAT(log.Lines(), ElementsAreArray(Joined({{"CreateWindow VandrelStartWindow 0x100"}, StartWindowLoad(),
                                                    {"Move 0x100 left=3937.5 top=0", "Move 0x100 left=3937.5 top=2010",
                                                     "Show 0x100", "RunMessageLoop"}})));
}

TEST_F(Launcher, AFolderThatEndsInASeparatorGivesTwoInARow) {
  backend.executableFolder = "D:\\";
  launcher.Run(app);
  const Lines lines = log.Lines();
  EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 7), StartWindowLoad("D:\\\\picture\\"));

  log.Clear();
  Click(kFirst, "Image1");
  Click(kSecond, "Image1");
  EXPECT_EQ(log.Lines().at(log.Lines().size() - 3),
            "StartThroughShell hwnd=0x200 fMask=0x500 file=\"D:\\\\Zevo LED\\Setup.exe\" nShow=1");
}

// Each event on a loaded Form1, and the pictures it assigns, in order.
struct LookCase {
  const char* name;
  std::vector<std::pair<forms::EventType, std::pair<std::string, int>>> events;  // type, (control, button)
  Lines pictures;
};

const std::string kKeyHover = "SetPicture Image1 " + kPictures + "keyboard_page01_01.ico";
const std::string kKeyPressed = "SetPicture Image1 " + kPictures + "keyboard_page01_02.ico";
const std::string kKeyRest = "SetPicture Image1 none";
const std::string kExitHover = "SetPicture Image2 " + kPictures + "EXIT_01.ico";
const std::string kExitPressed = "SetPicture Image2 " + kPictures + "EXIT_02.ico";
const std::string kExitRest = "SetPicture Image2 none";

constexpr auto kMove = forms::EventType::MouseMove;
constexpr auto kDown = forms::EventType::MouseDown;
constexpr auto kUp = forms::EventType::MouseUp;

const LookCase kLookCases[] = {
    {"HoverShowsSlot1", {{kMove, {"Image1", 0}}}, {kKeyHover}},
    {"EveryMoveAssignsAgain", {{kMove, {"Image1", 0}}, {kMove, {"Image1", 0}}}, {kKeyHover, kKeyHover}},
    {"PressShowsSlot2AndTheNextMoveHoverAgain",
     {{kMove, {"Image1", 0}}, {kDown, {"Image1", 1}}, {kMove, {"Image1", 1}}},
     {kKeyHover, kKeyPressed, kKeyHover}},
    {"ReleaseClearsAlthoughStillOverAndTheNextMoveHovers",
     {{kDown, {"Image1", 1}}, {kUp, {"Image1", 1}}, {kMove, {"Image1", 0}}},
     {kKeyPressed, kKeyRest, kKeyHover}},
    {"TheRightButtonActsAsTheLeft", {{kDown, {"Image1", 2}}, {kUp, {"Image1", 2}}}, {kKeyPressed, kKeyRest}},
    {"TheMiddleButtonPressesAndReleasesAsTheLeft",
     {{kMove, {"Image1", 0}}, {kDown, {"Image1", forms::kMiddleButton}}, {kUp, {"Image1", forms::kMiddleButton}}},
     {kKeyHover, kKeyPressed, kKeyRest}},
    {"TheXButtonsPressAndReleaseAsTheLeft",
     {{kDown, {"Image1", forms::kXButton1}},
      {kUp, {"Image1", forms::kXButton1}},
      {kDown, {"Image1", forms::kXButton2}},
      {kUp, {"Image1", forms::kXButton2}}},
     {kKeyPressed, kKeyRest, kKeyPressed, kKeyRest}},
    {"AMoveOverTheBackgroundClearsEveryButton", {{kMove, {"Image2", 0}}, {kMove, {"", 0}}},
     {kExitHover, kKeyRest, kExitRest}},
    {"AFastMoveFromButtonToButtonLeavesBothHovering",
     {{kMove, {"Image1", 0}}, {kMove, {"Image2", 0}}, {kMove, {"", 0}}},
     {kKeyHover, kExitHover, kKeyRest, kExitRest}},
    {"EventsOnOneButtonLeaveTheOtherAlone",
     {{kMove, {"Image1", 0}}, {kDown, {"Image2", 1}}, {kUp, {"Image2", 1}}},
     {kKeyHover, kExitPressed, kExitRest}},
    {"BackgroundPressAndReleaseChangeNothing", {{kDown, {"", 1}}, {kUp, {"", 1}}}, {}},
};

void PrintTo(const LookCase& c, std::ostream* os) { *os << c.name; }

class Looks : public Launcher, public ::testing::WithParamInterface<LookCase> {};

TEST_P(Looks, FollowTheLastEvent) {
  Start();
  for (const auto& [type, target] : GetParam().events) Send(kFirst, type, target.first, target.second, 7);
  // No mouse event reads a file: the list holds picture assignments only.
  EXPECT_EQ(log.Lines(), GetParam().pictures);
}

INSTANTIATE_TEST_SUITE_P(Launcher, Looks, ::testing::ValuesIn(kLookCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Launcher, TheDriverPageButtonsHaveTheirOwnPictures) {
  ToDriverPage();
  Move(kSecond, "Image3");
  Send(kSecond, kDown, "Image2", 1);
  Move(kSecond, "");
  EXPECT_THAT(log.Lines(),
              ElementsAre("SetPicture Image3 " + kPictures + "EXIT_01.ico",
                          "SetPicture Image2 " + kPictures + "driver for win 2000 or lower version user_02.ico",
                          "SetPicture Image1 none", "SetPicture Image2 none", "SetPicture Image3 none"));
}

// A picture that cannot be loaded stops the load at that file: no later file, no centring, no
// window shown; the report ends the program.
class StartFailure : public Launcher, public ::testing::WithParamInterface<size_t> {};

TEST_P(StartFailure, StopsAtTheFileAndEnds) {
  const size_t file = GetParam();
  Lines loads;
  for (const auto& line : StartWindowLoad())
    if (line.rfind("LoadPicture ", 0) == 0) loads.push_back(line);
  const std::string path = loads[file].substr(12);
  backend.missingFiles.insert(path);

  EXPECT_THROW(launcher.Run(app), forms::Terminated);

  Lines expected = {"CreateWindow VandrelStartWindow 0x100"};
  const Lines full = StartWindowLoad();
  for (const auto& line : full) {
    expected.push_back(line);
    if (line == loads[file]) break;
  }
  expected.push_back("MessageBox \"File not found: " + path + "\" title=\"Test\" style=16");
  expected.push_back("Terminate");
  EXPECT_EQ(log.Lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(Launcher, StartFailure, ::testing::Range<size_t>(0, 4));

class DriverPageFailure : public Launcher, public ::testing::WithParamInterface<size_t> {};

TEST_P(DriverPageFailure, StopsAtTheFileAndEnds) {
  const size_t file = GetParam();
  Lines loads;
  for (const auto& line : DriverPageLoad())
    if (line.rfind("LoadPicture ", 0) == 0) loads.push_back(line);
  const std::string path = loads[file].substr(12);
  Start();
  backend.missingFiles.insert(path);

  EXPECT_THROW(Click(kFirst, "Image1"), forms::Terminated);

  Lines expected = {"DestroyWindow 0x100", "CreateWindow VandrelDriverPage 0x200"};
  for (const auto& line : DriverPageLoad()) {
    expected.push_back(line);
    if (line == loads[file]) break;
  }
  expected.push_back("MessageBox \"File not found: " + path + "\" title=\"Test\" style=16");
  expected.push_back("Terminate");
  EXPECT_EQ(log.Lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(Launcher, DriverPageFailure, ::testing::Range<size_t>(0, 6));

struct CentreCase {
  const char* name;
  forms::Screen screen;
  const char* startMove;   // the second Move of Form1's load: both edges
  const char* driverMove;  // the same for Form4
};

const CentreCase kCentreCases[] = {
    {"HalfTwipsStayHalf", {1024, 768, 15, 15}, "left=3937.5 top=2010", "left=3937.5 top=2017.5"},
    {"SmallerScreen", {800, 600, 15, 15}, "left=2257.5 top=750", "left=2257.5 top=757.5"},
    {"At120Dpi", {1024, 768, 12, 12}, "left=2401.5 top=858", "left=2401.5 top=865.5"},
    {"WindowLargerThanTheScreenGetsNegativeEdges", {400, 300, 15, 15}, "left=-742.5 top=-1500",
     "left=-742.5 top=-1492.5"},
};

void PrintTo(const CentreCase& c, std::ostream* os) { *os << c.name; }

class Centring : public Launcher, public ::testing::WithParamInterface<CentreCase> {};

TEST_P(Centring, IsTheLastStepOfEachLoad) {
  backend.screen = GetParam().screen;
  launcher.Run(app);
  EXPECT_EQ(log.Lines().at(8), std::string("Move 0x100 ") + GetParam().startMove);
  log.Clear();
  Click(kFirst, "Image1");
  EXPECT_EQ(log.Lines().at(12), std::string("Move 0x200 ") + GetParam().driverMove);
  EXPECT_EQ(log.Lines().at(13), "Show 0x200");
}

INSTANTIATE_TEST_SUITE_P(Launcher, Centring, ::testing::ValuesIn(kCentreCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Launcher, KeyboardDriverClosesTheStartWindowThenShowsTheDriverPage) {
  Start();
  Click(kFirst, "Image1");
  EXPECT_THAT(log.Lines(), ElementsAreArray(Joined({{"DestroyWindow 0x100", "CreateWindow VandrelDriverPage 0x200"},
                                                    DriverPageLoad(),
                                                    {"Move 0x200 left=3937.5 top=0", "Move 0x200 left=3937.5 top=2017.5",
                                                     "Show 0x200"}})));
  EXPECT_FALSE(launcher.form1.IsLoaded());
  EXPECT_FALSE(backend.quitPosted);
}

TEST_F(Launcher, ExitOnTheStartWindowTerminatesAtOnce) {
  Start();
  EXPECT_THROW(Click(kFirst, "Image2"), forms::Terminated);
  EXPECT_THAT(log.Lines(), ElementsAre("Terminate"));
}

TEST_F(Launcher, ExitOnTheDriverPageLoadsTheStartWindowAgainForTheScreenOfNow) {
  ToDriverPage();
  backend.screen = {800, 600, 15, 15};
  Click(kSecond, "Image3");
  EXPECT_THAT(log.Lines(), ElementsAreArray(Joined({{"DestroyWindow 0x200", "CreateWindow VandrelStartWindow 0x300"},
                                                    StartWindowLoad(),
                                                    {"Move 0x300 left=2257.5 top=0", "Move 0x300 left=2257.5 top=750",
                                                     "Show 0x300"}})));
  EXPECT_FALSE(backend.quitPosted);
}

struct InstallerCase {
  const char* name;
  const char* button;
  const char* path;
};

const InstallerCase kInstallerCases[] = {
    {"LedIndicator", "Image1", "D:\\Disc\\Zevo LED\\Setup.exe"},
    {"Win2000Driver", "Image2", "D:\\Disc\\2K Hot key\\Setup.exe"},
};

void PrintTo(const InstallerCase& c, std::ostream* os) { *os << c.name; }

class Installer : public Launcher, public ::testing::WithParamInterface<InstallerCase> {};

std::string ShellStartOf(const std::string& path) {
  // Owned by the driver page, the active window; no async start, no error box of the shell's;
  // a normal window.
  return "StartThroughShell hwnd=0x200 fMask=0x500 file=\"" + path + "\" nShow=1";
}

// The installers ask for an administrator: started by CreateProcess (StartProgram,
// StartCommandLine) they fail for every user who is not one, so the whole call list holds the
// start through the shell and nothing else that starts a program.
TEST_P(Installer, StartsThroughTheShellByItsFullPathThenClosesThePageAndTheProgramEnds) {
  ToDriverPage();
  Click(kSecond, GetParam().button);
  EXPECT_THAT(log.Lines(), ElementsAre(ShellStartOf(GetParam().path), "DestroyWindow 0x200", "EndMessageLoop"));
}

TEST_P(Installer, ThatCannotStartIsReportedWithThePageStillOpen) {
  ToDriverPage();
  backend.missingFiles.insert(GetParam().path);
  EXPECT_THROW(Click(kSecond, GetParam().button), forms::Terminated);
  EXPECT_THAT(log.Lines(), ElementsAre(ShellStartOf(GetParam().path),
                                       "MessageBox \"File not found\" title=\"Test\" style=16", "Terminate"));
  EXPECT_TRUE(launcher.form4.IsVisible());
}

// "No" at the consent prompt fails the start with ERROR_CANCELLED: no report, the page stays open
// and the button is back at rest from its release.
TEST_P(Installer, DeclinedAtTheConsentPromptLeavesThePageAsItWas) {
  ToDriverPage();
  backend.declinedStarts.insert(GetParam().path);
  const std::string button = GetParam().button;
  Send(kSecond, kDown, button, forms::kLeftButton);
  Send(kSecond, kUp, button, forms::kLeftButton);
  Click(kSecond, button);
  EXPECT_THAT(log.Lines(), ElementsAre(::testing::EndsWith("_02.ico"), "SetPicture " + button + " none",
                                       ShellStartOf(GetParam().path)));
  EXPECT_TRUE(launcher.form4.IsVisible());
  EXPECT_FALSE(backend.quitPosted);
  // Still working: the same button starts the installer the next time.
  log.Clear();
  backend.declinedStarts.clear();
  Click(kSecond, button);
  EXPECT_THAT(log.Lines(), ElementsAre(ShellStartOf(GetParam().path), "DestroyWindow 0x200", "EndMessageLoop"));
}

INSTANTIATE_TEST_SUITE_P(Launcher, Installer, ::testing::ValuesIn(kInstallerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Launcher, ClosingTheOnlyWindowFromItsControlMenuEndsTheProgram) {
  Start();
  Send(kFirst, forms::EventType::Close, "");
  EXPECT_THAT(log.Lines(), ElementsAre("DestroyWindow 0x100", "EndMessageLoop"));
}

TEST_F(Launcher, TheButtonsOfAWindowNeitherTouchNorOverlap) {
  for (const auto& description : {vandrel::StartWindowDescription(), vandrel::DriverPageDescription()}) {
    const auto& c = description.controls;
    for (size_t i = 0; i < c.size(); ++i) {
      for (size_t j = i + 1; j < c.size(); ++j) {
        const bool apart = c[i].left + c[i].width < c[j].left || c[j].left + c[j].width < c[i].left ||
                           c[i].top + c[i].height < c[j].top || c[j].top + c[j].height < c[i].top;
        EXPECT_TRUE(apart) << description.className << " " << c[i].name << " " << c[j].name;
      }
    }
  }
}

}  // namespace
