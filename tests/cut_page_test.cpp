// The cut settings page against the in-memory window host and cutter: what
// each control sends, what it changes in AppState, and how a refused
// command or a bad distance is put back and shown.
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/ui/cut_page.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr int MediaList = 5103, AdjustBox = 5104, TrackBox = 5173, Landscape = 5127,
              Portrait = 5128, MarksBox = 5108, SearchBox = 5157, EditX = 5111, EditY = 5113,
              UnitMm = 5115, UnitInch = 5116, ReadButton = 5109, SpeedBar = 5107,
              ThicknessBar = 5106, SpeedNumber = 5133, ThicknessNumber = 5136;

MediaRecord Medium(const char* name, std::int32_t mode, std::int32_t condition,
                   std::int32_t defaultSpeed, std::int32_t defaultForce, std::int32_t adjustedSpeed,
                   std::int32_t adjustedForce, std::int32_t offset, std::int32_t cap) {
    MediaRecord r;
    std::snprintf(r.Name, sizeof r.Name, "%s", name);
    r.ConfigurationMode = mode;
    r.ConditionNumber = condition;
    r.DefaultSpeed = defaultSpeed;
    r.DefaultForce = defaultForce;
    r.AdjustedSpeed = adjustedSpeed;
    r.AdjustedForce = adjustedForce;
    r.CutterOffset = offset;
    r.Cap = cap;
    return r;
}

class CutPageTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        AppState& app = App();
        app.Media.Count = 3;
        app.Media.Records[0] = Medium("Vinyl Film", MediaFixed, 1, 5, 2, -1, -1, 0, CapBlue);
        app.Media.Records[1] = Medium("Photo Paper", MediaModifiable, 100, 4, 1, 7, 3, 2, CapRed);
        app.Media.Records[2] = Medium("My Card", MediaUser, 101, 3, 2, 8, 3, 1, CapYellow);
        app.MediaIndex = 1;
        app.CurrentCondition = 100;
        app.CurrentSpeed = 4;
        app.CurrentPressure = 1;
        app.CurrentOffset = 2;
        app.CapColour = CapRed;
        app.RollAction = 1;
        app.MarksOn = 1;
        app.MarkDistX = 180000;
        app.MarkDistY = 150000;
    }

    void OpenPage() {
        main = host.CreateDialog(ids::DlgMain, Window{}, test::MainStandIn, 0);
        page = host.CreateDialog(ids::DlgCutSettings, main, CutSettingsPageProc, 0);
        ASSERT_TRUE(page);
    }

    // OpenPage, then forget what the page start sent.
    void OpenQuietPage() {
        OpenPage();
        cutter.writes.clear();
    }

    void Command(int id, int code = notify::ButtonClicked) {
        DialogMessage m;
        m.msg = Msg::Command;
        m.id = id;
        m.code = code;
        (void)CutSettingsPageProc(page, m);
    }

    void Scroll(int id, int code, int position = 0) {
        DialogMessage m;
        m.msg = Msg::HScroll;
        m.id = id;
        m.code = code;
        m.position = position;
        (void)CutSettingsPageProc(page, m);
    }

    void ChooseMedium(int index) {
        host.ComboSetSelection(page, MediaList, index);
        Command(MediaList, notify::ComboSelEndOk);
    }

    void SetDistances(const std::string& x, const std::string& y) {
        host.SetItemText(page, EditX, x);
        host.SetItemText(page, EditY, y);
    }

    std::string Text(int id) { return host.GetItemText(page, id); }
    bool Checked(int id) { return host.IsItemChecked(page, id); }

    // The code of the last message shown, or 0 when none was.
    int ShownCode() {
        if (host.MessageBoxes().empty()) return 0;
        const std::string& text = host.MessageBoxes().back().text;
        auto at = text.rfind("[code = ");
        return at == std::string::npos ? -1 : std::stoi(text.substr(at + 8));
    }

    Window main{};
    Window page{};
};

// --- Page start ---------------------------------------------------------------

TEST_F(CutPageTest, StartFillsThePageAndSendsTheOrientation) {
    App().Direction = 1;
    App().Pad = PositionPad{3, 5, 1, 2};
    OpenPage();
    EXPECT_EQ(App().pageDialog, page.value);

    const auto* list = host.FindControl(page, MediaList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items, (std::vector<std::string>{"Vinyl Film", "Photo Paper", "My Card"}));
    EXPECT_EQ(list->selection, 1);

    const auto* speed = host.FindControl(page, SpeedBar);
    const auto* thickness = host.FindControl(page, ThicknessBar);
    EXPECT_EQ(speed->scrollMin, 1);
    EXPECT_EQ(speed->scrollMax, 10);
    EXPECT_EQ(speed->scrollPos, 4);
    EXPECT_EQ(thickness->scrollMax, 3);
    EXPECT_EQ(thickness->scrollPos, 1);
    EXPECT_EQ(Text(SpeedNumber), "4");
    EXPECT_EQ(Text(ThicknessNumber), "1");
    EXPECT_EQ(Text(5146), "3");

    EXPECT_EQ(Text(EditX), "180.0");
    EXPECT_EQ(Text(EditY), "150.0");
    EXPECT_EQ(Text(5117), "mm");
    EXPECT_EQ(Text(5118), "mm");

    EXPECT_FALSE(host.IsItemVisible(page, mb::IdCancel)); // stand-alone
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"FN1\x03"}));

    // Pad state reset; hot spots from 6 x 13 base units: the direction pad
    // around (391, 274) with g = 3, test cut around (420, 133).
    const PositionPad& pad = App().Pad;
    EXPECT_EQ(pad.InputMode + pad.HeldDirections + pad.TestCutButton + pad.OriginButton, 0);
    const PadRects& at = App().PadAreas;
    EXPECT_EQ(at.up, (Rect{375, 223, 407, 255}));
    EXPECT_EQ(at.down, (Rect{375, 293, 407, 325}));
    EXPECT_EQ(at.left, (Rect{340, 258, 372, 290}));
    EXPECT_EQ(at.right, (Rect{410, 258, 442, 290}));
    EXPECT_EQ(at.testCut, (Rect{404, 117, 436, 149}));
    EXPECT_EQ(at.origin, (Rect{63, 315, 95, 347}));
}

// Where the host draws icons at 64 pixels (a 200 % screen), the hot spots
// are the 64-pixel squares the icons are drawn in, around the same centres.
TEST_F(CutPageTest, HotSpotsFollowTheSizeIconsAreDrawnAt) {
    host.SetIconSize(64);
    OpenPage();
    const PadRects& at = App().PadAreas;
    EXPECT_EQ(at.up, (Rect{359, 175, 423, 239}));
    EXPECT_EQ(at.down, (Rect{359, 309, 423, 373}));
    EXPECT_EQ(at.left, (Rect{292, 242, 356, 306}));
    EXPECT_EQ(at.right, (Rect{426, 242, 490, 306}));
    EXPECT_EQ(at.testCut, (Rect{388, 101, 452, 165}));
    EXPECT_EQ(at.origin, (Rect{47, 299, 111, 363}));
}

// The names reach the list through the platform's codec (on Windows, the
// ANSI code page to UTF-8).
TEST_F(CutPageTest, MediaListShowsNamesThroughTheInstalledCodec) {
    struct Marked final : MediaNameCodec {
        std::string ToScreen(std::string_view name) const override {
            std::string shown(1, '<');
            shown.append(name);
            shown.push_back('>');
            return shown;
        }
        std::string FromScreen(std::string_view text) const override { return std::string(text); }
    } marked;
    Services services = With(host);
    services.mediaNames = &marked;
    InstallServices(services);
    OpenPage();

    const auto* list = host.FindControl(page, MediaList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->items,
              (std::vector<std::string>{"<Vinyl Film>", "<Photo Paper>", "<My Card>"}));
}

TEST_F(CutPageTest, CancelStaysInCutMode) {
    App().options.cutMode = 1;
    OpenPage();
    EXPECT_TRUE(host.IsItemVisible(page, mb::IdCancel));
}

struct OptionCase {
    const char* what;
    std::uint32_t cutMode, noTrim;
    std::uint32_t distanceGiven;
    double x, y;
    std::int32_t direction, unit;
    std::uint32_t sizeGiven;
    double size;
    ResultCode pendingBefore;
    ResultCode pendingAfter;
    std::vector<std::string> writes;
    const char* shownX; // edit 5111 afterwards
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << c.what;
}

class PageStartOptions : public CutPageTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(PageStartOptions, AreCheckedAndSent) {
    const OptionCase& c = GetParam();
    AppState& app = App();
    app.options.cutMode = c.cutMode;
    app.options.noTrim = c.noTrim;
    app.options.markDistanceGiven = c.distanceGiven;
    app.options.markDistanceX = c.x;
    app.options.markDistanceY = c.y;
    app.options.markSizeGiven = c.sizeGiven;
    app.options.markSize = c.size;
    app.options.pendingError = c.pendingBefore;
    app.Direction = c.direction;
    app.Unit = c.unit;
    OpenPage();
    EXPECT_EQ(app.options.pendingError, c.pendingAfter);
    EXPECT_EQ(cutter.writes, c.writes);
    EXPECT_EQ(Text(EditX), c.shownX);
    // The remembered distances are not touched by the options.
    EXPECT_EQ(app.MarkDistX, 180000);
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, PageStartOptions,
    ::testing::Values(
        OptionCase{"none", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, {"FN0\x03"}, "180.0"},
        OptionCase{"distances", 1, 0, 1, 120.56, 80, 0, 0, 0, 0, 0, 0, {"FN0\x03"}, "120.5"},
        OptionCase{"distances shown in inches",
                   1,
                   0,
                   1,
                   120.5,
                   80,
                   0,
                   1,
                   0,
                   0,
                   0,
                   0,
                   {"FN0\x03"},
                   "4.743"},
        OptionCase{"landscape width over 970",
                   1,
                   0,
                   1,
                   970.1,
                   80,
                   0,
                   0,
                   0,
                   0,
                   0,
                   251,
                   {"FN0\x03"},
                   "180.0"},
        OptionCase{"portrait width over 192",
                   1,
                   0,
                   1,
                   192.1,
                   80,
                   1,
                   0,
                   0,
                   0,
                   0,
                   251,
                   {"FN1\x03"},
                   "180.0"},
        OptionCase{
            "distance not a number", 1, 0, 1, NaN, 80, 0, 0, 0, 0, 0, 251, {"FN0\x03"}, "180.0"},
        OptionCase{"no marks in the job: distances ignored",
                   1,
                   1,
                   1,
                   5000,
                   80,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   {"FN0\x03"},
                   "180.0"},
        OptionCase{
            "mark size", 1, 0, 0, 0, 0, 0, 0, 1, 10.52, 0, 0, {"TB51,210\x03", "FN0\x03"}, "180.0"},
        OptionCase{"mark size at both ends",
                   1,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   1,
                   20.0,
                   0,
                   0,
                   {"TB51,400\x03", "FN0\x03"},
                   "180.0"},
        OptionCase{
            "mark size too small", 1, 0, 0, 0, 0, 0, 0, 1, 4.9, 0, 252, {"FN0\x03"}, "180.0"},
        OptionCase{
            "mark size not a number", 1, 0, 0, 0, 0, 0, 0, 1, NaN, 0, 252, {"FN0\x03"}, "180.0"},
        OptionCase{"orientation error kept",
                   1,
                   0,
                   1,
                   100,
                   80,
                   0,
                   0,
                   1,
                   5.0,
                   250,
                   250,
                   {"TB51,100\x03", "FN0\x03"},
                   "100.0"}));

TEST_F(CutPageTest, RefusedMarkSizeAtStartIsReportedAndTheStartGoesOn) {
    App().options.markSizeGiven = 1;
    App().options.markSize = 10.0;
    cutter.nextWriteResult = rc::GeneralError;
    OpenPage();
    EXPECT_EQ(App().options.pendingError, 164u);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"FN0\x03"}));
    EXPECT_FALSE(host.IsItemVisible(page, mb::IdCancel));
}

// --- Media and cutting conditions ----------------------------------------------

struct MediaCase {
    int index;
    std::int32_t adjust;
    const char* sent;
    std::int32_t speed, pressure;
};

class MediaSelection : public CutPageTest, public ::testing::WithParamInterface<MediaCase> {};

TEST_P(MediaSelection, SendsTheConditionOfTheMode) {
    const MediaCase& c = GetParam();
    App().AdjustSettings = c.adjust;
    OpenQuietPage();
    ChooseMedium(c.index);
    const MediaRecord& r = App().Media.Records[static_cast<std::size_t>(c.index)];
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{c.sent}));
    EXPECT_EQ(App().MediaIndex, c.index);
    EXPECT_EQ(App().CurrentCondition, r.ConditionNumber);
    EXPECT_EQ(App().CurrentSpeed, c.speed);
    EXPECT_EQ(App().CurrentPressure, c.pressure);
    EXPECT_EQ(App().CurrentOffset, r.CutterOffset);
    EXPECT_EQ(App().CapColour, r.Cap);
    EXPECT_EQ(Text(SpeedNumber), std::to_string(c.speed));
    EXPECT_EQ(host.GetScrollPos(page, ThicknessBar), c.pressure);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, MediaSelection,
                         ::testing::Values(
                             // fixed: the defaults, whatever the adjustment
                             MediaCase{0, 1,
                                       "FW1\x03!5\x03*0,2\x03"
                                       "FC0\x03",
                                       5, 2},
                             // modifiable: the adjustment only while adjusting
                             MediaCase{1, 0,
                                       "FW100\x03!4\x03*0,1\x03"
                                       "FC2\x03",
                                       4, 1},
                             MediaCase{1, 1,
                                       "FW100\x03!7\x03*0,3\x03"
                                       "FC2\x03",
                                       7, 3},
                             // user medium: always its own values
                             MediaCase{2, 0,
                                       "FW101\x03!8\x03*0,3\x03"
                                       "FC1\x03",
                                       8, 3}));

TEST_F(CutPageTest, FixedMediumTakesItsDefaultsAsAdjustment) {
    OpenQuietPage();
    ChooseMedium(0);
    EXPECT_EQ(App().Media.Records[0].AdjustedSpeed, 5);
    EXPECT_EQ(App().Media.Records[0].AdjustedForce, 2);
}

TEST_F(CutPageTest, RefusedMediumPutsTheListBack) {
    OpenQuietPage();
    cutter.nextWriteResult = rc::GeneralError;
    ChooseMedium(2);
    EXPECT_EQ(host.ComboGetSelection(page, MediaList), 1);
    EXPECT_EQ(App().MediaIndex, 1);
    EXPECT_EQ(App().CurrentCondition, 100);
    EXPECT_EQ(App().CurrentSpeed, 4);
    EXPECT_EQ(App().CapColour, CapRed);
    EXPECT_EQ(ShownCode(), 150);
    EXPECT_EQ(host.MessageBoxes().back().owner, main);

    // Closing the list shows the current medium again.
    host.ComboSetSelection(page, MediaList, 0);
    Command(MediaList, notify::ComboCloseUp);
    EXPECT_EQ(host.ComboGetSelection(page, MediaList), 1);
}

struct ScrollCase {
    const char* what;
    int bar, code, position;
    std::int32_t adjustedSpeed, adjustedForce;
    int shown;        // new position of the bar
    const char* sent; // nullptr: nothing
};

void PrintTo(const ScrollCase& c, std::ostream* os) {
    *os << c.what;
}

class ScrollBars : public CutPageTest, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollBars, MoveByTheirStepsAndSendOnlyNewValues) {
    const ScrollCase& c = GetParam();
    App().AdjustSettings = 1;
    App().Media.Records[1].AdjustedSpeed = c.adjustedSpeed;
    App().Media.Records[1].AdjustedForce = c.adjustedForce;
    OpenQuietPage();
    Scroll(c.bar, c.code, c.position);
    const bool speed = c.bar == SpeedBar;
    EXPECT_EQ(host.GetScrollPos(page, c.bar), c.shown) << c.what;
    EXPECT_EQ(Text(speed ? SpeedNumber : ThicknessNumber), std::to_string(c.shown)) << c.what;
    const MediaRecord& r = App().Media.Records[1];
    if (c.sent == nullptr) {
        EXPECT_TRUE(cutter.writes.empty()) << c.what;
        EXPECT_EQ(speed ? r.AdjustedSpeed : r.AdjustedForce,
                  speed ? c.adjustedSpeed : c.adjustedForce)
            << c.what;
    } else {
        EXPECT_EQ(cutter.writes, (std::vector<std::string>{c.sent})) << c.what;
        EXPECT_EQ(speed ? App().CurrentSpeed : App().CurrentPressure, c.shown) << c.what;
        EXPECT_EQ(speed ? r.AdjustedSpeed : r.AdjustedForce, c.shown) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollBars,
    ::testing::Values(
        ScrollCase{"speed line left", SpeedBar, sb::LineLeft, 0, 7, 2, 6, "!6\x03"},
        ScrollCase{"speed line left at 1", SpeedBar, sb::LineLeft, 0, 1, 2, 1, nullptr},
        ScrollCase{"speed line right at 10", SpeedBar, sb::LineRight, 0, 10, 2, 10, nullptr},
        ScrollCase{"speed page right", SpeedBar, sb::PageRight, 0, 4, 2, 9, "!9\x03"},
        ScrollCase{"speed page right stops at 10", SpeedBar, sb::PageRight, 0, 7, 2, 10, "!10\x03"},
        ScrollCase{"speed page left stops at 1", SpeedBar, sb::PageLeft, 0, 3, 2, 1, "!1\x03"},
        ScrollCase{"speed dragged", SpeedBar, sb::ThumbTrack, 9, 4, 2, 9, nullptr},
        ScrollCase{"speed released", SpeedBar, sb::ThumbPosition, 9, 4, 2, 9, "!9\x03"},
        ScrollCase{"speed released on its value", SpeedBar, sb::ThumbPosition, 4, 4, 2, 4, nullptr},
        ScrollCase{"speed end of scroll", SpeedBar, sb::EndScroll, 0, 4, 2, 4, nullptr},
        ScrollCase{"thickness page right moves by 1", ThicknessBar, sb::PageRight, 0, 4, 1, 2,
                   "*0,2\x03"},
        ScrollCase{"thickness page left moves by 1", ThicknessBar, sb::PageLeft, 0, 4, 3, 2,
                   "*0,2\x03"},
        ScrollCase{"thickness line right at 3", ThicknessBar, sb::LineRight, 0, 4, 3, 3, nullptr},
        ScrollCase{"thickness released", ThicknessBar, sb::ThumbPosition, 3, 4, 1, 3, "*0,3\x03"}));

TEST_F(CutPageTest, RefusedSpeedShowsTheOldValueAgain) {
    App().AdjustSettings = 1;
    App().CurrentSpeed = 7;
    App().CurrentPressure = 3;
    OpenQuietPage();
    cutter.nextWriteResult = rc::GeneralError;
    Scroll(SpeedBar, sb::LineRight);
    EXPECT_EQ(host.GetScrollPos(page, SpeedBar), 7);
    EXPECT_EQ(Text(SpeedNumber), "7");
    EXPECT_EQ(App().CurrentSpeed, 7);
    EXPECT_EQ(App().Media.Records[1].AdjustedSpeed, 7);
    EXPECT_EQ(ShownCode(), 152);
}

struct AdjustCase {
    std::int32_t rollAction;
    bool checkOn;
    std::vector<std::string> sent;
};

class AdjustSettings : public CutPageTest, public ::testing::WithParamInterface<AdjustCase> {};

TEST_P(AdjustSettings, SendsTheConditionAndTheRollAction) {
    const AdjustCase& c = GetParam();
    App().RollAction = c.rollAction;
    App().AdjustSettings = c.checkOn ? 0 : 1;
    OpenQuietPage();
    host.CheckItem(page, AdjustBox, !c.checkOn);
    ASSERT_TRUE(host.ClickIn(page, AdjustBox));
    EXPECT_EQ(cutter.writes, c.sent);
    EXPECT_EQ(App().AdjustSettings, c.checkOn ? 1 : 0);
    EXPECT_EQ(App().CurrentSpeed, c.checkOn ? 7 : 4);
    EXPECT_EQ(App().CurrentPressure, c.checkOn ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, AdjustSettings,
                         ::testing::Values(AdjustCase{1,
                                                      true,
                                                      {"FW100\x03!7\x03*0,3\x03"
                                                       "FC2\x03",
                                                       "FY1\x03"}},
                                           AdjustCase{1,
                                                      false,
                                                      {"FW100\x03!4\x03*0,1\x03"
                                                       "FC2\x03",
                                                       "FY0\x03"}},
                                           // Track Enhancing on: the condition alone
                                           AdjustCase{0,
                                                      true,
                                                      {"FW100\x03!7\x03*0,3\x03"
                                                       "FC2\x03"}}));

TEST_F(CutPageTest, RefusedAdjustSettingsUnchecksTheBoxAgain) {
    OpenQuietPage();
    host.CheckItem(page, AdjustBox, false);
    cutter.nextWriteResult = rc::GeneralError;
    ASSERT_TRUE(host.ClickIn(page, AdjustBox));
    EXPECT_FALSE(Checked(AdjustBox));
    EXPECT_EQ(App().AdjustSettings, 0);
    EXPECT_EQ(App().CurrentSpeed, 4);
    EXPECT_EQ(ShownCode(), 150);
}

TEST_F(CutPageTest, TrackEnhancingSendsTheRollAction) {
    OpenQuietPage();
    host.CheckItem(page, TrackBox, false);
    ASSERT_TRUE(host.ClickIn(page, TrackBox)); // checked: roll action 0
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"FY0\x03"}));
    EXPECT_EQ(App().RollAction, 0);

    cutter.nextWriteResult = rc::GeneralError;
    ASSERT_TRUE(host.ClickIn(page, TrackBox)); // unchecking refused
    EXPECT_TRUE(Checked(TrackBox));
    EXPECT_EQ(App().RollAction, 0);
    EXPECT_EQ(ShownCode(), 165);
}

TEST_F(CutPageTest, OrientationIsSentOnlyWhenItChanges) {
    OpenQuietPage();
    host.CheckItem(page, Landscape, true);
    ASSERT_TRUE(host.ClickIn(page, Landscape));
    EXPECT_TRUE(cutter.writes.empty());

    ASSERT_TRUE(host.ClickIn(page, Portrait));
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"FN1\x03"}));
    EXPECT_EQ(App().Direction, 1);
}

TEST_F(CutPageTest, RefusedOrientationChecksTheOldButtonAgain) {
    OpenQuietPage();
    host.CheckItem(page, Landscape, true);
    cutter.nextWriteResult = rc::GeneralError;
    ASSERT_TRUE(host.ClickIn(page, Portrait));
    EXPECT_TRUE(Checked(Landscape));
    EXPECT_FALSE(Checked(Portrait));
    EXPECT_EQ(App().Direction, 0);
    EXPECT_EQ(ShownCode(), 156);
}

// --- Registration marks ----------------------------------------------------------

TEST_F(CutPageTest, MarksBoxSetsMarksOnAndShowsTheStoredDistances) {
    App().MarksOn = 0;
    OpenQuietPage();
    SetDistances("12.3", "45.6");
    host.CheckItem(page, MarksBox, false);
    ASSERT_TRUE(host.ClickIn(page, MarksBox));
    EXPECT_EQ(App().MarksOn, 1);
    EXPECT_EQ(Text(EditX), "180.0");
    EXPECT_EQ(Text(EditY), "150.0");

    host.CheckItem(page, MarksBox, true);
    ASSERT_TRUE(host.ClickIn(page, MarksBox));
    EXPECT_EQ(App().MarksOn, 0);

    // The search flag toggles from its stored value.
    Command(SearchBox);
    EXPECT_EQ(App().AutoSearchMarks, 1);
    Command(SearchBox);
    EXPECT_EQ(App().AutoSearchMarks, 0);
    EXPECT_TRUE(cutter.writes.empty());
}

TEST_F(CutPageTest, UnitWithoutMarksChangesOnlyTheUnit) {
    App().MarksOn = 0;
    OpenQuietPage();
    SetDistances("12.38", "abc");
    host.CheckItem(page, UnitMm, true);
    ASSERT_TRUE(host.ClickIn(page, UnitInch));
    EXPECT_EQ(App().Unit, 1);
    EXPECT_EQ(Text(EditX), "12.38");
    EXPECT_EQ(Text(5117), "mm");
    EXPECT_TRUE(host.MessageBoxes().empty());
}

struct UnitCase {
    std::int32_t from;
    const char *x, *y;
    const char *shownX, *shownY;
};

class UnitSwitch : public CutPageTest, public ::testing::WithParamInterface<UnitCase> {};

TEST_P(UnitSwitch, ConvertsTheDistancesInTheEdits) {
    const UnitCase& c = GetParam();
    App().Unit = c.from;
    OpenQuietPage();
    SetDistances(c.x, c.y);
    const int to = c.from == 0 ? UnitInch : UnitMm;
    host.CheckItem(page, c.from == 0 ? UnitMm : UnitInch, true);
    ASSERT_TRUE(host.ClickIn(page, to));
    EXPECT_EQ(App().Unit, 1 - c.from);
    EXPECT_EQ(Text(EditX), c.shownX);
    EXPECT_EQ(Text(EditY), c.shownY);
    EXPECT_EQ(Text(5117), c.from == 0 ? "inch" : "mm");
    EXPECT_EQ(Text(5118), c.from == 0 ? "inch" : "mm");
    EXPECT_EQ(App().MarkDistX, 180000); // the edits are only the working copy
    EXPECT_TRUE(cutter.writes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitSwitch,
                         ::testing::Values(
                             // 12.38 mm is taken as 12.3: 12300 um
                             UnitCase{0, "12.38", "100", "0.484", "3.936"},
                             // 0.5 inch is 12702 um
                             UnitCase{1, "0.5", "7.557", "12.7", "192.0"},
                             UnitCase{0, "970.0", "192", "38.180", "7.557"}));

TEST_F(CutPageTest, BadDistanceKeepsTheUnitAndSelectsTheField) {
    App().Unit = 1;
    App().Direction = 1;
    OpenQuietPage();
    SetDistances("7.558", "1.0"); // portrait width over 7.557 inch
    host.CheckItem(page, UnitInch, true);
    ASSERT_TRUE(host.ClickIn(page, UnitMm));
    EXPECT_EQ(App().Unit, 1);
    EXPECT_TRUE(Checked(UnitInch));
    EXPECT_FALSE(Checked(UnitMm));
    EXPECT_EQ(Text(EditX), "7.558");
    EXPECT_EQ(ShownCode(), 203);
    EXPECT_EQ(host.GetFocusItem(page), EditX);
    const auto* edit = host.FindControl(page, EditX);
    EXPECT_EQ(edit->selStart, 0);
    EXPECT_EQ(edit->selEnd, 5);
}

// --- Registration mark reading -------------------------------------------------------

struct ReadCheckCase {
    std::int32_t direction, unit;
    const char *x, *y;
    ResultCode code;
    int focus;
};

class ReadMarksValidation : public CutPageTest,
                            public ::testing::WithParamInterface<ReadCheckCase> {};

TEST_P(ReadMarksValidation, StopsBeforeTheCutter) {
    const ReadCheckCase& c = GetParam();
    App().Direction = c.direction;
    App().Unit = c.unit;
    App().AutoSearchMarks = 1;
    OpenQuietPage();
    SetDistances(c.x, c.y);
    EXPECT_EQ(ReadRegistrationMarks(), c.code);
    EXPECT_EQ(host.GetFocusItem(page), c.focus);
    EXPECT_TRUE(cutter.writes.empty());
    EXPECT_EQ(App().MarkDistX, 180000);
    EXPECT_EQ(Text(EditX), c.x); // not reformatted
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadMarksValidation,
                         ::testing::Values(ReadCheckCase{0, 0, "abc", "10", 200, EditX},
                                           ReadCheckCase{0, 0, "10", "", 204, EditY},
                                           ReadCheckCase{1, 0, "1-", "10", 202, EditX},
                                           ReadCheckCase{1, 1, "x", "10", 203, EditX},
                                           ReadCheckCase{0, 1, "10", "-", 205, EditY},
                                           ReadCheckCase{1, 1, "1", "..", 207, EditY},
                                           ReadCheckCase{0, 0, "970.1", "10", 200, EditX},
                                           ReadCheckCase{0, 0, "10", "192.1", 204, EditY},
                                           ReadCheckCase{1, 0, "10", "970.1", 206, EditY},
                                           ReadCheckCase{1, 1, "7.6", "1", 203, EditX}));

TEST_F(CutPageTest, ManualReadAsksFirstAndCancelSendsNothing) {
    OpenQuietPage();
    host.ThenAnswer(mb::IdCancel);
    EXPECT_EQ(ReadRegistrationMarks(), rc::Ok);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_NE(host.MessageBoxes()[0].text.find("Position key"), std::string::npos);
    EXPECT_EQ(host.MessageBoxes()[0].owner, main);
    EXPECT_TRUE(cutter.writes.empty());
    EXPECT_EQ(host.InputDiscards(), 0);
}

TEST_F(CutPageTest, ManualReadSendsTheDistancesAndStoresThem) {
    OpenQuietPage();
    SetDistances("120.57", "80");
    host.ThenAnswer(mb::IdOk);
    EXPECT_EQ(ReadRegistrationMarks(), rc::Ok);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"TB99\x03TB55,1\x03TB23,2410,1600\x03"}));
    EXPECT_EQ(App().MarkDistX, 120500);
    EXPECT_EQ(App().MarkDistY, 80000);
    EXPECT_EQ(Text(EditX), "120.5");
    EXPECT_EQ(Text(EditY), "80.0");
    // Painted with those texts before the read blocked the window.
    EXPECT_EQ(host.Updated(), std::vector<Window>{page});
    EXPECT_TRUE(host.WaitCursor());
    EXPECT_EQ(host.InputDiscards(), 1);
    EXPECT_EQ(host.Foreground(), main);
}

TEST_F(CutPageTest, AutomaticSearchAsksNothing) {
    App().AutoSearchMarks = 1;
    App().Unit = 1;
    OpenQuietPage();
    SetDistances("4.7", "3");
    EXPECT_EQ(ReadRegistrationMarks(), rc::Ok);
    EXPECT_TRUE(host.MessageBoxes().empty());
    // 4.7 inch = 119407 um, 3 inch = 76217 um
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"TB99\x03TB55,1\x03TB123,2388,1524\x03"}));
    EXPECT_EQ(App().MarkDistX, 119407);
    EXPECT_EQ(App().MarkDistY, 76217);
}

TEST_F(CutPageTest, FailedReadStoresNothingButKeepsTheReformattedText) {
    struct Case {
        std::int32_t automatic;
        ResultCode code;
    };
    for (const Case c : {Case{0, 208}, Case{1, 210}}) {
        App().AutoSearchMarks = c.automatic;
        OpenQuietPage();
        cutter.cutter.Setup().markVerdict = 1;
        SetDistances("100.09", "50");
        if (c.automatic == 0) host.ThenAnswer(mb::IdOk);
        const int discards = host.InputDiscards();
        ASSERT_TRUE(host.ClickIn(page, ReadButton));
        EXPECT_EQ(ShownCode(), static_cast<int>(c.code));
        EXPECT_EQ(App().MarkDistX, 180000);
        EXPECT_EQ(Text(EditX), "100.0");
        EXPECT_EQ(host.InputDiscards(), discards + 1);
        host.EndDialog(main, 0);
    }
}

// --- Pad, buttons ----------------------------------------------------------------

// The icons, and the same buttons as assistive technology hears of them
// (names, places, enabled and pressed states).
TEST_F(CutPageTest, PadIconsAndHotSpotsFollowTheirStates) {
    OpenQuietPage();
    struct Case {
        PositionPad pad;
        std::vector<int> icons; // up, down, left, right, test cut, origin
        std::string enabled;    // the same order, 'y' or 'n'
        std::string pressed;
    };
    const Case cases[] = {
        {PositionPad{0, 0, 0, 0}, {1505, 1509, 1503, 1507, 1501, 1511}, "yyyyyy", "nnnnnn"},
        {PositionPad{1, pad::Up | pad::Right, 1, 1},
         {1506, 1509, 1503, 1508, 1502, 1512},
         "yyyyyy",
         "ynnyyy"},
        {PositionPad{0, pad::Down | pad::Left, 2, 2},
         {1505, 1510, 1504, 1507, 1516, 1513},
         "yyyynn",
         "nyynnn"},
        {PositionPad{0, pad::DirectionsDisabled, 0, 0},
         {1520, 1517, 1518, 1519, 1501, 1511},
         "nnnnyy",
         "nnnnnn"}};
    const char* names[] = {"Up", "Down", "Left", "Right", "Test Cut", "Set Origin"};
    const PadRects& at = App().PadAreas;
    const Point corners[] = {{at.up.left, at.up.top},           {at.down.left, at.down.top},
                             {at.left.left, at.left.top},       {at.right.left, at.right.top},
                             {at.testCut.left, at.testCut.top}, {at.origin.left, at.origin.top}};
    for (const Case& c : cases) {
        App().Pad = c.pad;
        auto drawn = host.Paint(page);
        ASSERT_EQ(drawn.size(), 6u);
        const auto spots = host.HotSpots(page);
        ASSERT_EQ(spots.size(), 6u);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(drawn[i].iconId, c.icons[i]) << i;
            EXPECT_EQ(drawn[i].at, corners[i]) << i;
            EXPECT_EQ(spots[i].name, names[i]);
            EXPECT_EQ((Point{spots[i].rect.left, spots[i].rect.top}), corners[i]) << i;
            EXPECT_EQ(spots[i].enabled, c.enabled[i] == 'y') << names[i];
            EXPECT_EQ(spots[i].pressed, c.pressed[i] == 'y') << names[i];
        }
    }
}

TEST_F(CutPageTest, CalibrationAsksFirstAndAboutOpensItsDialog) {
    OpenQuietPage();
    host.ThenAnswer(mb::IdOk);
    ASSERT_TRUE(host.ClickIn(page, 5119));
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].style, mb::OkCancel | mb::IconAsterisk);

    ASSERT_TRUE(host.ClickIn(page, 5147));
    EXPECT_EQ(host.DialogsShown().back(), ids::DlgAbout);
    EXPECT_TRUE(cutter.writes.empty());
}

} // namespace
} // namespace osa
