// Whole runs of the controller through the in-memory window host and the
// in-memory cutter: what the user sees, the exact bytes the cutter
// receives, the exit code and what is saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "controller/ui/main_dialog.h"
#include "tests/test_support.h"

namespace osa {
namespace {

using namespace std::string_literals;
using Writes = std::vector<std::string>;

constexpr const char* Program = "/opt/osactl";
constexpr const char* Ini = "/opt/osactl/OSACTL.INI";

// Control ids used by the scenarios.
constexpr int CutButton = 1, CancelButton = 2;
constexpr int Previous = 5182, Next = 5184, GuideToggle = 5190;
constexpr int MediaList = 5103, AdjustBox = 5104, Landscape = 5127, MarksBox = 5108;
constexpr int SearchMarks = 5157, MarkReading = 5109, SetOrigin = 5188, BladePosition = 5189;
constexpr int WidthEdit = 5111;

class MainWindowTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        test::InstallProgramFolder(files, Program);
    }

    void Settings(const std::string& lines) { files.AddFile(Ini, "[Main_Section]\r\n" + lines); }

    int Run(std::vector<std::string_view> args) {
        args.insert(args.begin(), "osactl");
        return RunController(0, args);
    }

    // The bytes the cutter received from start-up: status, notice, firmware,
    // the current medium's conditions, running-in and thick mode, the two
    // calibration queries.
    Writes StartupWrites() const {
        const AppState& app = App();
        return {"\x1b\x04",
                "\x1b\x05",
                "TT\x03",
                "FG\x03",
                "FW" + std::to_string(app.CurrentCondition) + "\x03",
                "!" + std::to_string(app.CurrentSpeed) + "\x03",
                "*0," + std::to_string(app.CurrentPressure) + "\x03",
                "FC" + std::to_string(app.CurrentOffset) + "\x03",
                "FY0\x03",
                "FE0\x03",
                "TB71\x03",
                "FA\x03"};
    }

    Writes After(std::size_t count) const {
        return Writes(cutter.writes.begin() + static_cast<std::ptrdiff_t>(count),
                      cutter.writes.end());
    }

    bool SettingsWritten() const {
        for (const std::string& change : files.Log())
            if (change == "write "s + Ini) return true;
        return false;
    }

    std::string SettingsText() const { return files.FileContents(Ini).value_or(""); }

    Window Page() const { return Window{App().pageDialog}; }
    Window Main() const { return Window{App().mainDialog}; }
};

// Steps forward through the guide to the last step, answering the Media
// loading dialog on the way.
void WalkToLastStep(MemoryWindowHost& host) {
    for (int i = 0; i < 5; ++i) {
        host.ThenClick(Next);
        if (i == 2) host.ThenClick(mb::IdOk); // Media loading dialog at step 3
    }
}

TEST_F(MainWindowTest, WholeJobWithAutomaticSearch) {
    Settings("Unit=0\r\n");
    std::size_t startup = 0;
    host.Then([&](MemoryWindowHost& h) {
        startup = cutter.writes.size();
        EXPECT_EQ(h.Find(Main())->caption, "Ostrandel Controller");
        EXPECT_EQ(h.GetItemText(Main(), 5132), "Ostrandel Ver.2.01");
        EXPECT_TRUE(h.IsItemVisible(Main(), Next));
        EXPECT_FALSE(h.IsItemEnabled(Page(), CutButton)); // not before the last step
    });
    WalkToLastStep(host);
    host.Then([&](MemoryWindowHost& h) {
        EXPECT_EQ(App().CurrentStep, 5);
        EXPECT_TRUE(h.IsItemEnabled(Page(), CutButton));
        EXPECT_TRUE(h.Click(CutButton));
    });
    EXPECT_EQ(Run({"-CUTMODE", "-FN0", "-TB23,150,100", "-TB51,10", "-OWNER4660"}), ExitCut);

    Writes expected = StartupWrites();
    expected.insert(expected.end(), {"TB51,200\x03", "FN0\x03",
                                     "TB99\x03TB55,1\x03TB123,3000,2000\x03", "FQ5\x03"});
    EXPECT_EQ(cutter.writes, expected);
    EXPECT_EQ(cutter.readTimeouts.back(), 500u);
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(host.DialogsShown(),
              (std::vector<int>{ids::DlgMain, ids::DlgCutSettings, ids::DlgMediaLoading}));
    EXPECT_NE(SettingsText().find("PosSet=1"), std::string::npos) << SettingsText();
    EXPECT_NE(SettingsText().find("TomboDisX=150000"), std::string::npos);
    EXPECT_EQ(host.Starved(), 0);
    (void)startup;
}

TEST_F(MainWindowTest, DeactivationLetsThePadGoAndAHeldTestCutStillAsks) {
    Settings("Unit=0\r\nTomboAutoRead=0\r\nPosSet=1\r\n");
    for (int i = 0; i < 4; ++i) {
        host.ThenClick(Next);
        if (i == 2) host.ThenClick(mb::IdOk);
    }
    std::vector<std::string> sent;
    host.Then([&](MemoryWindowHost& h) {
        AppState& app = App();
        ASSERT_NE(app.Pad.HeldDirections, pad::DirectionsDisabled);
        app.Pad.TestCutButton = pad::Normal; // as "Adjust Settings" leaves it
        EXPECT_TRUE(h.ClickIn(Page(), ctl::UseKeyboard));
        EXPECT_EQ(app.Pad.InputMode, pad::Keyboard);
        const Rect up = app.PadAreas.up;
        const Rect testCut = app.PadAreas.testCut;
        cutter.writes.clear();
        EXPECT_TRUE(h.MouseDown(Page(), Point{up.left + 4, up.top + 4}));
        EXPECT_TRUE(h.MouseDown(Page(), Point{testCut.left + 4, testCut.top + 4}));
        h.ThenAnswer(mb::IdOk); // question 2100
        h.Activate(Main(), false);
        sent = cutter.writes;
        EXPECT_EQ(app.Pad.HeldDirections, 0);
        EXPECT_EQ(app.Pad.TestCutButton, pad::Normal);
        EXPECT_EQ(app.Pad.InputMode, pad::Idle);
        EXPECT_FALSE(h.IsItemChecked(Page(), ctl::UseKeyboard));
        EXPECT_EQ(h.Capture(), Window{});
        h.ThenClick(CancelButton);
    });
    EXPECT_EQ(Run({"-CUTMODE", "-FN0", "-TB23,150,100", "-TB51,10"}), 1);
    EXPECT_EQ(sent, (std::vector<std::string>{std::string("\x1b\x00\x02", 3),
                                              std::string("\x1b\x00\x00", 3), "FH\x03"}));
    ASSERT_FALSE(host.MessageBoxes().empty());
    EXPECT_EQ(host.MessageBoxes().back().text, res::LoadString(2100));
}

TEST_F(MainWindowTest, ReadingAtTheBladePosition) {
    Settings("Unit=0\r\nTomboAutoRead=0\r\nPosSet=1\r\nTomboDisX=120000\r\nTomboDisY=80000\r\n");
    for (int i = 0; i < 4; ++i) {
        host.ThenClick(Next);
        if (i == 2) host.ThenClick(mb::IdOk);
    }
    std::size_t before = 0;
    host.Then([&](MemoryWindowHost& h) {
        EXPECT_EQ(App().CurrentStep, 4);
        EXPECT_TRUE(h.IsItemEnabled(Page(), MarkReading));
        EXPECT_TRUE(h.IsItemEnabled(Page(), BladePosition)); // manual reading: pad on
        before = cutter.writes.size();
        EXPECT_TRUE(h.Click(MarkReading));
    });
    host.ThenAnswer(mb::IdOk); // question 2101
    host.ThenClick(Next);
    host.ThenClick(CutButton);
    EXPECT_EQ(Run({"-CUTMODE"}), ExitCut);
    EXPECT_EQ(After(before), (Writes{"TB99\x03TB55,1\x03TB23,2400,1600\x03", "FQ5\x03"}));
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, res::LoadString(2101));
}

TEST_F(MainWindowTest, JobWithoutMarksEndsAtOnce) {
    Settings("PosSet=1\r\n");
    WalkToLastStep(host);
    host.ThenClick(CutButton);
    EXPECT_EQ(Run({"-CUTMODE", "-NOTRM"}), ExitCut);
    Writes expected = StartupWrites();
    expected.push_back("FN0\x03");
    EXPECT_EQ(cutter.writes, expected); // no search, no "FQ5", no question
    EXPECT_EQ(App().MarksOn, 0);
    EXPECT_TRUE(SettingsWritten());
}

TEST_F(MainWindowTest, EndsWithoutCutting) {
    struct Row {
        const char* name;
        std::vector<std::string_view> args;
        std::function<void(MemoryWindowHost&)> act;
        int exit;
    };
    const Row rows[] = {
        {"Cancel in cut mode",
         {"-CUTMODE"},
         [](MemoryWindowHost& h) { h.Click(CancelButton); },
         ExitCancelled},
        {"Esc in cut mode",
         {"-CUTMODE"},
         [](MemoryWindowHost& h) { h.PressEscape(); },
         ExitCancelled},
        {"close in cut mode",
         {"-CUTMODE"},
         [](MemoryWindowHost& h) { h.RequestClose(); },
         ExitCancelled},
        {"close stand-alone", {}, [](MemoryWindowHost& h) { h.RequestClose(); }, ExitClosed},
        {"Close button stand-alone",
         {},
         [](MemoryWindowHost& h) { h.Click(CutButton); },
         ExitClosed},
        {"Enter stand-alone", {}, [](MemoryWindowHost& h) { h.PressEnter(); }, ExitClosed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetAppState();
        files.RemoveFile(Ini);
        cutter.writes.clear();
        std::size_t startup = 0;
        host.Then([&](MemoryWindowHost& h) {
            startup = cutter.writes.size();
            row.act(h);
        });
        EXPECT_EQ(Run(row.args), row.exit);
        EXPECT_EQ(cutter.writes.size(), startup); // nothing sent on the way out
        EXPECT_TRUE(files.FileContents(Ini).has_value());
    }
}

TEST_F(MainWindowTest, EscapeOutsideCutModeAndEnterBeforeTheLastStepDoNothing) {
    host.Then([](MemoryWindowHost& h) { h.PressEscape(); });
    host.Then([](MemoryWindowHost& h) { h.RequestClose(); });
    EXPECT_EQ(Run({}), ExitClosed);

    ResetAppState();
    files.RemoveFile(Ini); // the guide shown again (the first run saved it hidden)
    std::size_t startup = 0;
    host.Then([&](MemoryWindowHost& h) {
        startup = cutter.writes.size();
        h.PressEnter(); // step 0: "Cut..." is disabled, so Enter is too
    });
    host.Then([&](MemoryWindowHost& h) {
        EXPECT_EQ(cutter.writes.size(), startup);
        EXPECT_NE(h.Active(), Window{});
        h.Click(CancelButton);
    });
    EXPECT_EQ(Run({"-CUTMODE", "-TB23,150,100"}), ExitCancelled);
}

TEST_F(MainWindowTest, DecliningTheUnreadMarksQuestionKeepsTheJobOpen) {
    Settings("TomboAutoRead=0\r\nPosSet=1\r\n");
    cutter.cutter.Setup().sensorReady = 0;
    WalkToLastStep(host);
    host.ThenClick(CutButton);
    host.Then([&](MemoryWindowHost& h) {
        ASSERT_EQ(h.MessageBoxes().size(), 1u);
        EXPECT_EQ(h.MessageBoxes()[0].text, res::LoadString(2103));
        EXPECT_FALSE(SettingsWritten());
        h.Answer(mb::IdCancel);
    });
    host.Then([&](MemoryWindowHost& h) {
        EXPECT_FALSE(SettingsWritten());
        EXPECT_EQ(h.MessageBoxes().size(), 1u); // nothing more shown
        h.Click(CutButton);
    });
    host.ThenAnswer(mb::IdOk); // cut anyway
    EXPECT_EQ(Run({"-CUTMODE"}), ExitCut);
    EXPECT_TRUE(SettingsWritten());
}

TEST_F(MainWindowTest, StartupFailureAtEachDeviceStep) {
    struct Row {
        int failingWrite;
        ResultCode code;
    } rows[] = {{1, 59},  {2, 59},  {3, 166}, {4, 100},  {5, 151},  {6, 152},
                {7, 153}, {8, 154}, {9, 165}, {10, 155}, {11, 103}, {12, 104}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failingWrite);
        ResetAppState();
        files.RemoveFile(Ini);
        cutter.failWriteNumber = row.failingWrite;
        const std::size_t boxes = host.MessageBoxes().size();
        EXPECT_EQ(Run({"-CUTMODE"}), ExitStartupFailed);
        ASSERT_EQ(host.MessageBoxes().size(), boxes + 1);
        EXPECT_NE(host.MessageBoxes().back().text.find("[code = " + std::to_string(row.code) + "]"),
                  std::string::npos);
        EXPECT_FALSE(files.FileContents(Ini).has_value()); // nothing saved
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(MainWindowTest, StartupFailuresOfTheLinkAndTheCutter) {
    struct Row {
        const char* name;
        std::function<void()> arrange;
        ResultCode code;
        bool commErrorDialog; // 57 and 62 have their own dialog
    };
    const Row rows[] = {
        {"no USB module", [&] { cutter.libraryMissing = true; }, 52, false},
        {"no cutter", [&] { cutter.connected = false; }, 57, true},
        {"busy cutter", [&] { cutter.cutter.Setup().status = '1'; }, 60, false},
        {"another model", [&] { cutter.cutter.Setup().model = "KXS"; }, 62, true},
        {"no media files",
         [&] {
             for (const auto& entry : std::filesystem::directory_iterator(OSA_MEDIA_SOURCE_DIR))
                 files.RemoveFile(std::string(Program) + "/Media/" +
                                  entry.path().filename().string());
         },
         61, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetAppState();
        cutter = MemoryCutterPort{};
        row.arrange();
        const std::size_t boxes = host.MessageBoxes().size();
        std::string dialogText;
        if (row.commErrorDialog) {
            host.Then([&](MemoryWindowHost& h) {
                const auto* box = h.Find(h.Active());
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->tmpl->id, ids::DlgCommError);
                dialogText = h.GetItemText(h.Active(), ids::CommErrorText);
                h.Click(mb::IdOk);
            });
        }
        EXPECT_EQ(Run({"-CUTMODE"}), ExitStartupFailed);
        if (row.commErrorDialog) {
            EXPECT_EQ(host.MessageBoxes().size(), boxes);
            EXPECT_NE(dialogText.find("[code = " + std::to_string(row.code) + "]"),
                      std::string::npos)
                << dialogText;
        } else {
            ASSERT_EQ(host.MessageBoxes().size(), boxes + 1);
            EXPECT_NE(
                host.MessageBoxes().back().text.find("[code = " + std::to_string(row.code) + "]"),
                std::string::npos)
                << host.MessageBoxes().back().text;
        }
        EXPECT_FALSE(files.FileContents(Ini).has_value());
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(MainWindowTest, FirmwareOneRunsWithoutGuideOnTheBuiltInMedia) {
    cutter.cutter.Setup().version = "1.00";
    Settings("CutCondition=12\r\n"); // out of range: the first medium
    host.Then([&](MemoryWindowHost& h) {
        const AppState& app = App();
        EXPECT_EQ(app.FirmwareV2, 0);
        EXPECT_EQ(app.GuideShown, 0);
        EXPECT_EQ(app.Media.Count, 12);
        EXPECT_EQ(app.MediaIndex, 0);
        EXPECT_EQ(app.Media.Records[0].ConfigurationMode, MediaFixed);
        EXPECT_FALSE(h.IsItemVisible(Main(), GuideToggle));
        EXPECT_FALSE(h.IsItemVisible(Page(), SearchMarks));
        const Rect window = h.GetWindowRect(Main());
        EXPECT_EQ(window.Height(), app.MainWindowRect.Height() - app.GuidePanelRect.Height());
        EXPECT_TRUE(h.IsItemEnabled(Page(), CutButton)); // no guide: always enabled
        h.RequestClose();
    });
    EXPECT_EQ(Run({"-CUTMODE"}), ExitCancelled);
}

TEST_F(MainWindowTest, GuideTogglesAndStepRules) {
    struct Step {
        bool mediaList, orientation, marksBox, origin, pad, cut;
    };
    // Cut mode, marks off, no distances given.
    const Step steps[] = {
        {true, false, false, false, false, false}, {false, false, false, false, false, false},
        {false, true, false, false, false, false}, {false, false, false, false, false, false},
        {false, false, true, true, true, false},   {false, false, false, false, false, true},
    };
    Settings("Unit=0\r\n");
    for (int i = 0; i < 6; ++i) {
        host.Then([&, i](MemoryWindowHost& h) {
            SCOPED_TRACE(i);
            ASSERT_EQ(App().CurrentStep, i);
            EXPECT_EQ(h.IsItemEnabled(Main(), Previous), i != 0);
            EXPECT_EQ(h.IsItemEnabled(Main(), Next), i != 5);
            EXPECT_EQ(h.IsItemEnabled(Page(), MediaList), steps[i].mediaList);
            EXPECT_EQ(h.IsItemEnabled(Page(), Landscape), steps[i].orientation);
            EXPECT_EQ(h.IsItemEnabled(Page(), MarksBox), steps[i].marksBox);
            EXPECT_EQ(h.IsItemEnabled(Page(), SetOrigin), steps[i].origin);
            EXPECT_EQ(h.IsItemEnabled(Page(), BladePosition), steps[i].pad);
            EXPECT_EQ(h.IsItemEnabled(Page(), CutButton), steps[i].cut);
            EXPECT_EQ(h.ColoursOf(Main(), 5000 + i).text, Rgb(255, 64, 192));
            EXPECT_EQ(h.ColoursOf(Main(), 5000 + (i + 1) % 6).text, Rgb(255, 255, 255));
            EXPECT_EQ(h.GetItemText(Main(), 5101), res::LoadString(2300 + i));
            if (i < 5) h.Click(Next);
        });
        if (i == 2) host.ThenClick(mb::IdOk);
    }
    host.Then([&](MemoryWindowHost& h) {
        const Rect full = h.GetWindowRect(Main());
        h.Click(GuideToggle); // hide: everything by the settings alone
        EXPECT_EQ(h.GetWindowRect(Main()).Height(), full.Height() - App().GuidePanelRect.Height());
        EXPECT_EQ(h.GetItemText(Main(), GuideToggle), res::LoadString(2503));
        EXPECT_TRUE(h.IsItemEnabled(Page(), MediaList));
        EXPECT_TRUE(h.IsItemEnabled(Page(), Landscape));
        EXPECT_TRUE(h.IsItemEnabled(Page(), CutButton));
        h.Click(GuideToggle);
        EXPECT_EQ(h.GetWindowRect(Main()).Height(), full.Height());
        h.Click(Previous); // back to step 4
        h.Click(Previous); // step 3: the Media loading dialog again
    });
    host.ThenClick(mb::IdOk);
    host.Then([](MemoryWindowHost& h) { h.Click(CancelButton); });
    EXPECT_EQ(Run({"-CUTMODE"}), ExitCancelled);
    EXPECT_EQ(host.DialogsShown(), (std::vector<int>{ids::DlgMain, ids::DlgCutSettings,
                                                     ids::DlgMediaLoading, ids::DlgMediaLoading}));
    EXPECT_NE(SettingsText().find("GuideMenu=1"), std::string::npos);
}

TEST_F(MainWindowTest, OptionErrorsAreShownOnceTheWindowIsUp) {
    struct Row {
        std::string_view option;
        ResultCode code;
    } rows[] = {{"-FN2", 250}, {"-TB23,980,100", 251}, {"-TB51,3", 252}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.option);
        ResetAppState();
        const std::size_t boxes = host.MessageBoxes().size();
        host.ThenAnswer(mb::IdOk); // the box comes once the window is set up
        host.Then([&](MemoryWindowHost& h) {
            ASSERT_EQ(h.MessageBoxes().size(), boxes + 1);
            EXPECT_NE(
                h.MessageBoxes().back().text.find("[code = " + std::to_string(row.code) + "]"),
                std::string::npos);
            EXPECT_NE(App().pageDialog, 0u);
            h.Click(CancelButton);
        });
        EXPECT_EQ(Run({"-CUTMODE", row.option}), ExitCancelled);
    }
}

TEST_F(MainWindowTest, HelpOpensAtThePagesTopic) {
    host.Then([&](MemoryWindowHost& h) {
        h.Click(5102); // "Help..."
        ASSERT_EQ(h.HelpRequests().size(), 1u);
        EXPECT_EQ(h.HelpRequests()[0].owner, Main());
        EXPECT_EQ(h.HelpRequests()[0].helpFile, std::string(Program) + "/OSHLP_A.HLP");
        EXPECT_EQ(h.HelpRequests()[0].context, 98304u);
        h.RequestClose();
    });
    EXPECT_EQ(Run({}), ExitClosed);
}

TEST_F(MainWindowTest, MainWindowColoursAndFonts) {
    host.Then([&](MemoryWindowHost& h) {
        auto label = h.ColoursOf(Main(), 5000);
        EXPECT_TRUE(label.transparent);
        EXPECT_EQ(label.background, Rgb(0, 29, 160));
        EXPECT_EQ(h.ColoursOf(Main(), 5132).text, Rgb(255, 255, 255));
        EXPECT_EQ(h.ColoursOf(Main(), 5167).background, Rgb(255, 255, 255));
        EXPECT_FALSE(h.ColoursOf(Main(), 5190).background.has_value());
        EXPECT_EQ(h.FontOf(h.FindControl(Main(), 5000)->font)->weight, 700);
        // The step message at the default GUI font's own height (11 here).
        EXPECT_EQ(h.FontOf(h.FindControl(Main(), 5167)->font)->pixelHeight, 11);
        EXPECT_TRUE(h.Find(Main())->closeCommandRemoved);
        h.RequestClose();
    });
    EXPECT_EQ(Run({}), ExitClosed);
    EXPECT_EQ(host.LiveBrushes(), 0u);
    EXPECT_EQ(host.LiveFonts(), 0u);
}

// Ten thousand page actions in one session: what the program holds (fonts,
// brushes, windows, the pad, the hooks) is what it held after the first
// thousand, and every action still reaches the cutter.
TEST_F(MainWindowTest, TenThousandPageActionsHoldNothingMore) {
    Settings("Unit=0\r\nCutCondAdjust=1\r\nPosSet=0\r\n");
    struct Held {
        std::size_t fonts, brushes, modal;
        bool hooks;
        Window capture;
        bool operator==(const Held&) const = default;
    };
    const auto held = [&] {
        return Held{host.LiveFonts(), host.LiveBrushes(), host.ModalStack().size(),
                    hooks.Installed(), host.Capture()};
    };
    Held warm{}, end{};
    std::size_t writesBefore = 0;
    host.Then([&](MemoryWindowHost& h) {
        const Rect up = App().PadAreas.up;
        const Point at{up.left + 4, up.top + 4};
        for (int i = 0; i < 10000; ++i) {
            if (i == 1000) {
                warm = held();
                writesBefore = cutter.writes.size();
            }
            const bool even = (i / 8) % 2 == 0;
            switch (i % 8) {
            case 0:
            case 1:
                EXPECT_TRUE(h.ChooseFromList(MediaList, i % 8 == 0 ? 1 : 0));
                break;
            case 2:
                EXPECT_TRUE(h.Click(even ? ctl::Portrait : ctl::Landscape));
                break;
            case 3:
            case 5:
                EXPECT_TRUE(h.Click(MarksBox)); // on, units, off again
                break;
            case 4:
                EXPECT_TRUE(h.Click(even ? ctl::UnitInch : ctl::UnitMm));
                break;
            case 6:
                EXPECT_TRUE(h.MouseDown(Page(), at));
                break;
            default:
                EXPECT_TRUE(h.MouseUp(Page(), at));
            }
        }
        end = held();
        h.RequestClose();
    });
    EXPECT_EQ(Run({}), ExitClosed);
    EXPECT_TRUE(end == warm);
    // Two media choices, the orientation, the press and the release.
    EXPECT_EQ(cutter.writes.size() - writesBefore, 9000u / 8 * 5);
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(host.Starved(), 0);
}

} // namespace
} // namespace osa
