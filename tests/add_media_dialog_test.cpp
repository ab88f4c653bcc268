// The Add Media dialog, opened from the page of a program folder that holds
// the shipped media, with the media files it writes and what the cutter got.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/media_catalogue.h"
#include "controller/ui/add_media_dialog.h"
#include "controller/ui/cut_page.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr int YellowCap = 5161, BlueCap = 5160, RedCap = 5162, Pen = 5151;
constexpr int Name = 5169, CapList = 5168, SpeedNumber = 5172, SpeedBar = 5170,
              ThicknessNumber = 5174, ThicknessBar = 5171, ThicknessTop = 1187;
const char* const Folder = "/opt/osa";
const char* const MediaDir = "/opt/osa/Media";

using Action = MemoryWindowHost::UserAction;

class AddMediaTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        test::InstallProgramFolder(files, Folder);
        AppState& app = App();
        app.FirmwareV2 = 1;
        std::snprintf(app.mediaDir, sizeof app.mediaDir, "%s", MediaDir);
        LoadMediaCatalogue(app.Media, app.MediaIndex, "Vinyl Film", MediaDir);
        ASSERT_GT(app.Media.Count, 0);
        main = host.CreateDialog(ids::DlgMain, Window{}, test::MainStandIn, 0);
        page = host.CreateDialog(ids::DlgCutSettings, main, CutSettingsPageProc, 0);
        ASSERT_TRUE(page);
    }

    // The user's `steps` in the dialog opened with "Add Media"; what the
    // cutter got meanwhile.
    std::vector<std::string> Open(const std::vector<Action>& steps) {
        for (const Action& step : steps)
            host.Then(step);
        cutter.writes.clear();
        EXPECT_TRUE(host.ClickIn(page, ctl::AddMedia));
        return cutter.writes;
    }
    static std::vector<int> VisibleCaps(MemoryWindowHost& h, Window d) {
        std::vector<int> shown;
        for (int id : {YellowCap, BlueCap, RedCap, Pen})
            if (h.IsItemVisible(d, id)) shown.push_back(id);
        return shown;
    }
    int IndexOf(const char* name) const {
        const MediaCatalogue& m = App().Media;
        for (int i = 0; i < m.Count; ++i)
            if (MediaName(m.Records[static_cast<std::size_t>(i)]) == name) return i;
        return -1;
    }
    std::string MediaFile(const std::string& name) {
        return files.FileContents(std::string(MediaDir) + "/" + name + ".hcf").value_or("");
    }

    Window main{}, page{};
};

TEST_F(AddMediaTest, StartsFromTheCurrentMedium) {
    struct Case {
        const char* current;
        int cap; // the cap the form starts with
    };
    const Case cases[] = {
        {"Vinyl Film", CapBlue},
        {"Pen", CapBlue}, // a pen medium starts with Blue
        {"Thick Media", CapYellow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        AppState& app = App();
        app.MediaIndex = IndexOf(c.current);
        ASSERT_GE(app.MediaIndex, 0);
        const MediaRecord& current = app.Media.Records[static_cast<std::size_t>(app.MediaIndex)];
        const int cap = c.cap;
        std::string caption, name, speed, thickness, top;
        int selected = -1, speedPos = -1, thicknessPos = -1, limit = -1;
        std::vector<std::string> caps;
        std::vector<int> pictures;
        Open({test::OnActive([&](MemoryWindowHost& h, Window d) {
                  caption = h.GetCaption(d);
                  name = h.GetItemText(d, Name);
                  limit = h.FindControl(d, Name)->textLimit;
                  speed = h.GetItemText(d, SpeedNumber);
                  thickness = h.GetItemText(d, ThicknessNumber);
                  top = h.GetItemText(d, ThicknessTop);
                  speedPos = h.GetScrollPos(d, SpeedBar);
                  thicknessPos = h.GetScrollPos(d, ThicknessBar);
                  caps = h.FindControl(d, CapList)->items;
                  selected = h.ComboGetSelection(d, CapList);
                  pictures = VisibleCaps(h, d);
              }),
              [](MemoryWindowHost& h) { EXPECT_TRUE(h.Click(mb::IdCancel)); }});
        EXPECT_EQ(caption, res::LoadString(2002));
        EXPECT_EQ(name, res::LoadString(2406));
        EXPECT_EQ(limit, 64);
        EXPECT_EQ(speed, std::to_string(current.AdjustedSpeed));
        EXPECT_EQ(thickness, std::to_string(current.AdjustedForce));
        EXPECT_EQ(speedPos, current.AdjustedSpeed);
        EXPECT_EQ(thicknessPos, current.AdjustedForce);
        EXPECT_EQ(top, "3");
        EXPECT_EQ(caps, (std::vector<std::string>{"Blue", "Yellow", "Red"}));
        EXPECT_EQ(selected, cap - 1);
        const int expected[] = {0, BlueCap, YellowCap, RedCap};
        EXPECT_EQ(pictures, std::vector<int>{expected[cap]});
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(AddMediaTest, BarsAndCapListChangeOnlyTheForm) {
    struct Case {
        const char* what;
        std::int32_t speed, force, cap; // the form before
        Action step;
        std::int32_t speedAfter, forceAfter, capAfter;
    };
    const Case cases[] = {
        {"speed page right from 7", 7, 2, 1,
         [](MemoryWindowHost& h) { EXPECT_TRUE(h.ScrollClick(SpeedBar, sb::PageRight)); }, 10, 2,
         1},
        {"speed line left at 1", 1, 2, 1,
         [](MemoryWindowHost& h) { EXPECT_TRUE(h.ScrollClick(SpeedBar, sb::LineLeft)); }, 1, 2, 1},
        {"thickness page left from 2", 7, 2, 1,
         [](MemoryWindowHost& h) { EXPECT_TRUE(h.ScrollClick(ThicknessBar, sb::PageLeft)); }, 7, 1,
         1},
        {"thickness thumb to 3", 7, 1, 1,
         [](MemoryWindowHost& h) {
             EXPECT_TRUE(h.DragThumb(ThicknessBar, {2, 3}));
         },
         7, 3, 1},
        {"Red chosen from the list", 7, 2, 1,
         [](MemoryWindowHost& h) { EXPECT_TRUE(h.ChooseFromList(CapList, 2)); }, 7, 2, 3},
        {"the list opened and dismissed", 7, 2, 2,
         [](MemoryWindowHost& h) { EXPECT_TRUE(h.ChooseFromList(CapList, -1)); }, 7, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string speed, thickness;
        int selected = -1;
        std::vector<int> pictures;
        const auto sent = Open({test::OnActive([&](MemoryWindowHost& h, Window d) {
                                    NewMediaForm& form = App().NewMedia;
                                    form.speed = c.speed;
                                    form.force = c.force;
                                    form.cap = c.cap;
                                    ShowNewMediaValues(d, c.speed, c.force);
                                    h.ComboSetSelection(d, CapList, c.cap - 1);
                                    ShowNewMediaCap(d, c.cap);
                                }),
                                c.step, test::OnActive([&](MemoryWindowHost& h, Window d) {
                                    speed = h.GetItemText(d, SpeedNumber);
                                    thickness = h.GetItemText(d, ThicknessNumber);
                                    selected = h.ComboGetSelection(d, CapList);
                                    pictures = VisibleCaps(h, d);
                                }),
                                [](MemoryWindowHost& h) { EXPECT_TRUE(h.PressEscape()); }});
        EXPECT_TRUE(sent.empty());
        const NewMediaForm& form = App().NewMedia;
        EXPECT_EQ(form.speed, c.speedAfter);
        EXPECT_EQ(form.force, c.forceAfter);
        EXPECT_EQ(form.cap, c.capAfter);
        EXPECT_EQ(speed, std::to_string(c.speedAfter));
        EXPECT_EQ(thickness, std::to_string(c.forceAfter));
        EXPECT_EQ(selected, c.capAfter - 1);
        const int expected[] = {0, BlueCap, YellowCap, RedCap};
        EXPECT_EQ(pictures, std::vector<int>{expected[c.capAfter]});
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(AddMediaTest, ANewMediumIsWrittenListedAndMadeCurrent) {
    const int before = App().Media.Count;
    const auto sent = Open({[](MemoryWindowHost& h) {
        EXPECT_TRUE(h.Type(Name, "Shiny Foil"));
        EXPECT_TRUE(h.ScrollClick(SpeedBar, sb::LineRight));
        EXPECT_TRUE(h.ChooseFromList(CapList, 1)); // Yellow
        EXPECT_TRUE(h.Click(mb::IdOk));
    }});
    const AppState& app = App();
    ASSERT_EQ(app.Media.Count, before + 1);
    const MediaRecord& added = app.Media.Records[static_cast<std::size_t>(before)];
    EXPECT_EQ(MediaName(added), "Shiny Foil");
    EXPECT_EQ(added.ConfigurationMode, MediaUser);
    EXPECT_EQ(added.CutterOffset, 18);
    EXPECT_EQ(added.Cap, CapYellow);
    // On the page: listed at its end, selected and current, its condition sent.
    const auto* list = host.FindControl(page, ctl::MediaList);
    ASSERT_EQ(list->items.size(), static_cast<std::size_t>(before + 1));
    EXPECT_EQ(list->items.back(), "Shiny Foil");
    EXPECT_EQ(list->selection, before);
    EXPECT_EQ(app.MediaIndex, before);
    const std::string condition = "FW" + std::to_string(added.ConditionNumber) + "\x03!" +
                                  std::to_string(added.AdjustedSpeed) + "\x03*0," +
                                  std::to_string(added.AdjustedForce) + "\x03" + "FC18\x03";
    EXPECT_EQ(sent, std::vector<std::string>{condition});
    // Its file, at once.
    const std::string file = MediaFile("Shiny Foil");
    EXPECT_NE(file.find("ConfigurationMode=2"), std::string::npos) << file;
    EXPECT_NE(file.find("Cap=Yellow"), std::string::npos) << file;
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(AddMediaTest, AnExistingUserMediumIsUpdatedAfterTheQuestionOnly) {
    // A user medium first.
    Open({[](MemoryWindowHost& h) {
        EXPECT_TRUE(h.Type(Name, "Mine"));
        EXPECT_TRUE(h.Click(mb::IdOk));
    }});
    const int at = IndexOf("Mine");
    ASSERT_GE(at, 0);
    const MediaRecord before = App().Media.Records[static_cast<std::size_t>(at)];
    App().MediaIndex = 0;
    const int listed = static_cast<int>(host.FindControl(page, ctl::MediaList)->items.size());

    for (const int answer : {mb::IdCancel, mb::IdOk}) {
        SCOPED_TRACE(answer == mb::IdOk ? "OK" : "Cancel");
        bool stillOpen = false;
        std::vector<Action> steps = {
            [](MemoryWindowHost& h) {
                EXPECT_TRUE(h.Type(Name, "Mine"));
                EXPECT_TRUE(h.ChooseFromList(CapList, 2)); // Red
                EXPECT_TRUE(h.Click(mb::IdOk));
            },
            [answer](MemoryWindowHost& h) { EXPECT_TRUE(h.Answer(answer)); }};
        if (answer == mb::IdCancel)
            steps.push_back([&](MemoryWindowHost& h) {
                stillOpen = h.Active().value == App().addMediaDialog;
                EXPECT_TRUE(h.Click(mb::IdCancel));
            });
        Open(steps);
        const MediaRecord& now = App().Media.Records[static_cast<std::size_t>(at)];
        EXPECT_EQ(IndexOf("Mine"), at);
        EXPECT_EQ(now.ListID, before.ListID);
        EXPECT_EQ(now.ConditionNumber, before.ConditionNumber);
        EXPECT_EQ(now.Cap, answer == mb::IdOk ? CapRed : before.Cap);
        EXPECT_EQ(App().MediaIndex, answer == mb::IdOk ? at : 0);
        EXPECT_EQ(static_cast<int>(host.FindControl(page, ctl::MediaList)->items.size()), listed);
        if (answer == mb::IdCancel) {
            EXPECT_TRUE(stillOpen);
        }
    }
    EXPECT_EQ(BoxesShowing(2105), 2u);
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(AddMediaTest, RefusedNamesAndAFullListKeepTheDialogOpen) {
    struct Case {
        const char* what;
        std::string name;
        int fill; // media added beforehand so that the list is full
        int message;
    };
    const Case cases[] = {
        {"a slash", "Cut/Paste", 0, 254},
        {"a shipped medium's name", "Vinyl Film", 0, 254},
        {"a full list", "One Too Many", 128, 253},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MediaCatalogue& media = App().Media;
        for (int i = media.Count; i < c.fill; ++i)
            std::snprintf(media.Records[static_cast<std::size_t>(media.Count++)].Name, 68,
                          "Filler %d", i);
        const int count = media.Count;
        const std::size_t shown = BoxesShowing(c.message);
        Window owner{}, dialog{};
        bool stillOpen = false;
        Open({[&](MemoryWindowHost& h) {
                  dialog = h.Active();
                  EXPECT_TRUE(h.Type(Name, c.name));
                  EXPECT_TRUE(h.Click(mb::IdOk));
              },
              [&](MemoryWindowHost& h) {
                  owner = h.MessageBoxes().back().owner;
                  EXPECT_TRUE(h.Answer(mb::IdOk));
              },
              [&](MemoryWindowHost& h) {
                  stillOpen = h.Active() == dialog;
                  EXPECT_TRUE(h.Click(mb::IdCancel));
              }});
        EXPECT_EQ(BoxesShowing(c.message) - shown, 1u);
        EXPECT_EQ(owner, dialog);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(media.Count, count);
    }
    EXPECT_EQ(host.Starved(), 0);
}

// A name longer than 64 bytes keeps its whole characters only.
TEST_F(AddMediaTest, ALongNameIsCutBetweenCharacters) {
    std::string name = "Folie"; // then two-byte characters across the 64th byte
    while (name.size() < 70)
        name += "\xC3\xA4"; // ä
    Open({[&](MemoryWindowHost& h) {
        EXPECT_TRUE(h.Type(Name, name));
        EXPECT_TRUE(h.Click(mb::IdOk));
    }});
    const MediaRecord& added = App().Media.Records[static_cast<std::size_t>(App().Media.Count - 1)];
    const std::string_view stored = MediaName(added);
    EXPECT_EQ(stored.size(), 63u); // 5 + 29 two-byte characters
    EXPECT_EQ(stored, std::string_view(name).substr(0, 63));
}

TEST_F(AddMediaTest, CancelChangesNothing) {
    const int count = App().Media.Count;
    for (const Action& leave :
         std::vector<Action>{[](MemoryWindowHost& h) { EXPECT_TRUE(h.Click(mb::IdCancel)); },
                             [](MemoryWindowHost& h) { EXPECT_TRUE(h.PressEscape()); },
                             [](MemoryWindowHost& h) { EXPECT_TRUE(h.CloseBox()); }}) {
        const auto sent =
            Open({[](MemoryWindowHost& h) { EXPECT_TRUE(h.Type(Name, "Unsaved")); }, leave});
        EXPECT_TRUE(sent.empty());
        EXPECT_EQ(App().Media.Count, count);
        EXPECT_EQ(App().addMediaDialog, 0u);
    }
    EXPECT_EQ(MediaFile("Unsaved"), "");
    EXPECT_EQ(host.Starved(), 0);
}

} // namespace
} // namespace osa
