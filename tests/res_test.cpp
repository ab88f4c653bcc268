// Checks of the resource data that every window host builds from: the string
// table and the dialog templates.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "platform/window_host.h"

namespace osa::res {
namespace {

// --- String table -----------------------------------------------------------

struct TextCase {
    int id;
    std::string_view text;
};

TEST(StringTable, KnownTexts) {
    const TextCase cases[] = {
        {0, "Normal"},
        {50, "General Error"},
        {51, "Ostrandel Controller is already active.\nPlease shut the controller down and "
             "perform the operation once again."},
        // "same text as 54"
        {56, "The USB port is currently in use.\nPlease wait ten seconds, and then try again."},
        {60, "The USB port is currently in use.\nPlease wait ten seconds, and then try again."},
        // "same text as 57"
        {62, "Cannot communicate with Ostrandel.\nCheck that the USB cable is connected "
             "correctly, press Ostrandel's standby switch, and then confirm that the LED is lit."},
        {104, "Ostrandel communication error.\nPress the standby switch twice."},
        {166, "Ostrandel communication error.\nPress the standby switch twice."},
        // "as 200 with ... as second line"
        {201, "The value specified for the horizontal distance between the registration marks "
              "exceeds the specifiable range.\nPlease specify a distance in the range 0 to 38.180 "
              "inches."},
        {206, "The value specified for the vertical distance between the registration marks "
              "exceeds the specifiable range.\nPlease specify a distance in the range 0 to 970.0 "
              "mm."},
        {209, "The media feed direction value exceeds the specifiable range.\nPlease specify a "
              "value in the range -2.00 to +2.00%."},
        {210, "Auto registration mark reading is failed.\nReload the media, and click \"Cut...\" "
              "button again.\nIf it does not work correctly, unset the \"Search Registration "
              "Mark\" check box, and move the blade position to Green."},
        {254, "Specified media type name cannot be used.\nPlease specify other name."},
        {ids::StrCaption, "Ostrandel Controller"},
        {ids::StrCheck, "Check"},
        {ids::StrVersionPrefix, "Ostrandel Ver."},
        {ids::StrVersionLine, "Ostrandel Advanced Controller Version 2.01"},
        {ids::StrDemoV1, "1.00 Demo Mode"},
        {ids::StrDemoV2, "2.01 Demo Mode"},
        {2104, "Please read the instruction manual when you use the adjustment function.\nIf "
               "incorrect adjustment is used, the cutting position or cutting size may change."},
        {2200, "Card without Craft Paper Backing"},
        {2211, "Pen"},
        {2305, "Step6:Start cutting"},
        {2313, "Load the media on Ostrandel.\n\nCheck the media orientation according to "
               "displayed figure.\nIf \"Feed this side first.\" is printed on the media, follow "
               "the message."},
        {2402, "mm"},
        {2403, "inch"},
        {2409, "Blade adjustment cap : Mount the Red cap on the blade holder."},
        {2411, "Blade adjustment cap : Mount the Blue cap on the blade holder."},
        {2501, "3"},
        {2504, "Close"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(HasString(c.id));
        EXPECT_EQ(LoadString(c.id), c.text);
    }
}

// The eight distance messages: first line by direction, second line by the
// limit of the range check (orientation and unit).
TEST(StringTable, DistanceMessagesMatchTheirRangeCheck) {
    const std::string horizontal = "The value specified for the horizontal distance between the "
                                   "registration marks exceeds the specifiable range.\n";
    const std::string vertical = "The value specified for the vertical distance between the "
                                 "registration marks exceeds the specifiable range.\n";
    struct Case {
        int code;
        const std::string& first;
        std::string_view limit;
    };
    const Case cases[] = {
        {200, horizontal, "970.0 mm."}, {201, horizontal, "38.180 inches."},
        {202, horizontal, "192.0 mm."}, {203, horizontal, "7.557 inches."},
        {204, vertical, "192.0 mm."},   {205, vertical, "7.557 inches."},
        {206, vertical, "970.0 mm."},   {207, vertical, "38.180 inches."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(LoadString(c.code),
                  c.first + "Please specify a distance in the range 0 to " + std::string(c.limit));
    }
}

// Every result code in use has its message, and the codes that share a text
// share it exactly.
TEST(StringTable, EveryResultCodeHasItsMessage) {
    std::vector<int> codes = {0};
    for (int c = 50; c <= 62; ++c)
        codes.push_back(c);
    for (int c = 100; c <= 104; ++c)
        codes.push_back(c);
    for (int c = 150; c <= 166; ++c)
        codes.push_back(c);
    for (int c = 200; c <= 211; ++c)
        codes.push_back(c);
    for (int c = 250; c <= 254; ++c)
        codes.push_back(c);
    for (int c : codes)
        EXPECT_TRUE(HasString(c)) << c;

    const std::map<int, std::vector<int>> sharing = {
        {54, {55, 56, 58, 59, 60}},
        {57, {62}},
        {100, {101, 102, 103, 104, 150, 151, 152, 153, 154, 155, 156,
               157, 158, 159, 160, 161, 162, 163, 164, 165, 166}},
    };
    for (const auto& [source, copies] : sharing)
        for (int c : copies)
            EXPECT_EQ(LoadString(c), LoadString(source)) << c;
    EXPECT_NE(LoadString(54), LoadString(57));
    EXPECT_EQ(LoadString(2101), LoadString(2102));
}

TEST(StringTable, MissingNumbersLoadEmpty) {
    // Neighbours of every range, so a range that runs one too far shows.
    const int missing[] = {-1,   1,    49,   63,   99,   105,  149,  167,  199,  212,  249,   255,
                           1999, 2004, 2054, 2099, 2106, 2199, 2212, 2306, 2318, 2505, 100000};
    for (int id : missing) {
        EXPECT_FALSE(HasString(id)) << id;
        EXPECT_TRUE(LoadString(id).empty()) << id;
    }
}

TEST(StringTable, SortedUniqueAndWellFormed) {
    const auto all = AllStrings();
    ASSERT_FALSE(all.empty());
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(all[i - 1].id, all[i].id) << "after " << all[i - 1].id;
    for (const StringEntry& e : all) {
        SCOPED_TRACE(e.id);
        EXPECT_FALSE(e.text.empty());
        // Loaded into 512-byte buffers (511 characters and the NUL).
        EXPECT_LT(e.text.size(), 512u);
        // A line break written as the two characters \ and n, or a carriage
        // return, would show as such in a message box.
        EXPECT_EQ(e.text.find('\\'), std::string_view::npos);
        EXPECT_EQ(e.text.find('\r'), std::string_view::npos);
        EXPECT_EQ(LoadString(e.id).data(), e.text.data());
    }
}

TEST(StringTable, NamesFitTheirBuffers) {
    // Built-in media names are read into 64-byte buffers, like the name of a
    // new medium; each also passes the character check of a medium name.
    std::vector<int> names = {2406};
    for (int id = 2200; id <= 2211; ++id)
        names.push_back(id);
    for (int id : names) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(HasString(id));
        EXPECT_LT(LoadString(id).size(), 64u);
        EXPECT_EQ(LoadString(id).find_first_of("\\/:*?\"<>|"), std::string_view::npos);
    }
}

// --- Dialog templates -------------------------------------------------------

TEST(DialogTemplates, AllTemplatesAreFoundByNumber) {
    const int expected[] = {ids::DlgMain,        ids::DlgCutSettings, ids::DlgCalibration,
                            ids::DlgAbout,       ids::DlgAddMedia,    ids::DlgCommError,
                            ids::DlgMediaLoading};
    const auto all = AllDialogTemplates();
    ASSERT_EQ(all.size(), std::size(expected));
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].id, expected[i]);
        EXPECT_EQ(FindDialogTemplate(expected[i]), &all[i]);
        EXPECT_FALSE(all[i].controls.empty());
    }
    EXPECT_EQ(FindDialogTemplate(16), nullptr);
    EXPECT_EQ(FindDialogTemplate(0), nullptr);
}

TEST(DialogTemplates, ControlIdsAreUniqueWithinATemplate) {
    for (const DialogTemplate& d : AllDialogTemplates()) {
        std::set<int> seen;
        for (const ControlTemplate& c : d.controls) {
            if (c.id == NoId) continue;
            EXPECT_TRUE(seen.insert(c.id).second) << "template " << d.id << " id " << c.id;
            EXPECT_EQ(FindControl(d, c.id), &c);
        }
        EXPECT_EQ(FindControl(d, NoId), nullptr) << d.id;
        EXPECT_EQ(FindControl(d, 4999), nullptr) << d.id;
    }
}

TEST(DialogTemplates, PicturesNameListedArtwork) {
    const auto bitmaps = AllBitmapIds();
    const auto icons = AllIconIds();
    const std::set<int> bitmapSet(bitmaps.begin(), bitmaps.end());
    const std::set<int> iconSet(icons.begin(), icons.end());
    EXPECT_EQ(bitmapSet.size(), bitmaps.size()) << "a bitmap number is listed twice";
    EXPECT_EQ(iconSet.size(), icons.size()) << "an icon number is listed twice";
    for (int b : bitmaps)
        EXPECT_TRUE(b >= 1000 && b <= 1016) << b;
    for (int i : icons)
        EXPECT_TRUE(i >= 1500 && i <= 1522) << i;

    for (const DialogTemplate& d : AllDialogTemplates()) {
        for (const ControlTemplate& c : d.controls) {
            SCOPED_TRACE(testing::Message() << "template " << d.id << " id " << c.id);
            if (c.cls == ControlClass::Picture)
                EXPECT_TRUE(bitmapSet.count(c.resource));
            else if (c.cls == ControlClass::Icon)
                EXPECT_TRUE(iconSet.count(c.resource));
            else
                EXPECT_EQ(c.resource, 0);
        }
    }
    // Pictures drawn by code rather than by a template: the window icon, the
    // pad buttons in their three looks.
    const int drawn[] = {ids::IconProgram,
                         1501,
                         1502,
                         1503,
                         1504,
                         1505,
                         1506,
                         1507,
                         1508,
                         1509,
                         1510,
                         1511,
                         1512,
                         1513,
                         1516,
                         1517,
                         1518,
                         1519,
                         1520};
    for (int i : drawn)
        EXPECT_TRUE(iconSet.count(i)) << i;
}

// A drop-down list's rectangle holds its open list, which may hang below the
// dialog; only the closed box has to fit.
constexpr int ClosedDropDownHeight = 14;

TEST(DialogTemplates, ControlsLieInsideTheirDialog) {
    for (const DialogTemplate& d : AllDialogTemplates()) {
        EXPECT_GT(d.rect.cx, 0) << d.id;
        EXPECT_GT(d.rect.cy, 0) << d.id;
        for (const ControlTemplate& c : d.controls) {
            SCOPED_TRACE(testing::Message() << "template " << d.id << " id " << c.id);
            const DluRect& r = c.rect;
            EXPECT_GT(r.cx, 0);
            EXPECT_GT(r.cy, 0);
            const int height =
                c.cls == ControlClass::DropDownList ? std::min(r.cy, ClosedDropDownHeight) : r.cy;
            EXPECT_GE(r.x, 0);
            EXPECT_GE(r.y, 0);
            EXPECT_LE(r.x + r.cx, d.rect.cx);
            EXPECT_LE(r.y + height, d.rect.cy);
        }
    }
}

const DialogTemplate& Template(int id) {
    const DialogTemplate* d = FindDialogTemplate(id);
    EXPECT_NE(d, nullptr) << id;
    static const DialogTemplate none{};
    return d ? *d : none;
}

DluRect RectOf(int dialog, int control) {
    const ControlTemplate* c = FindControl(Template(dialog), control);
    EXPECT_NE(c, nullptr) << dialog << "/" << control;
    return c ? c->rect : DluRect{};
}

bool SameRect(const DluRect& a, const DluRect& b) {
    return a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}

// The main window: the page fills the black frame, and hiding the guide cuts
// off exactly the panel frame, which must reach the window's bottom edge.
TEST(DialogTemplates, MainWindowFramesThePageAndTheGuide) {
    const DialogTemplate& main = Template(ids::DlgMain);
    const DialogTemplate& page = Template(ids::DlgCutSettings);
    EXPECT_TRUE(page.style & DsChild);
    EXPECT_FALSE(page.style & DsPopup);
    const auto frame =
        std::find_if(main.controls.begin(), main.controls.end(), [](const ControlTemplate& c) {
            return c.cls == ControlClass::BlackFrame && c.id == NoId;
        });
    ASSERT_NE(frame, main.controls.end());
    EXPECT_TRUE(SameRect(frame->rect, page.rect));

    const DluRect guide = RectOf(ids::DlgMain, 5011);
    EXPECT_EQ(guide.x, 0);
    EXPECT_EQ(guide.cx, main.rect.cx);
    EXPECT_EQ(guide.y + guide.cy, main.rect.cy);
    EXPECT_TRUE(FindControl(main, 5011)->style & CsHidden);
    for (int id : {5182, 5184, 5100, 5101, 5167}) {
        const DluRect r = RectOf(ids::DlgMain, id);
        EXPECT_GE(r.y, guide.y) << id << " lies outside the guide panel";
    }
    for (int id : {5190, 5132})
        EXPECT_LT(RectOf(ids::DlgMain, id).y, guide.y) << id;
}

// Auto radio buttons uncheck the others of their group: Landscape/Portrait
// and mm/inch must be two separate groups.
TEST(DialogTemplates, PageRadioButtonsFormTwoGroups) {
    std::map<int, int> groupOf;
    int group = 0;
    for (const ControlTemplate& c : Template(ids::DlgCutSettings).controls) {
        if (c.style & CsGroup) ++group;
        if (c.cls == ControlClass::AutoRadioButton) groupOf[c.id] = group;
    }
    ASSERT_EQ(groupOf.size(), 4u);
    EXPECT_EQ(groupOf[5127], groupOf[5128]);
    EXPECT_EQ(groupOf[5115], groupOf[5116]);
    EXPECT_NE(groupOf[5127], groupOf[5115]);
}

// The page and the dialogs show the same figures under the same numbers; the
// code that picks one relies on the pairing.
TEST(DialogTemplates, SharedFiguresAgree) {
    struct Figure {
        int dialog;
        int control;
        int bitmap;
    };
    const Figure figures[] = {
        // Loading figures on the page and in the Media loading dialog.
        {ids::DlgCutSettings, 5129, 1000},
        {ids::DlgMediaLoading, 5129, 1000},
        {ids::DlgCutSettings, 5138, 1001},
        {ids::DlgMediaLoading, 5138, 1001},
        {ids::DlgCutSettings, 5139, 1003},
        {ids::DlgMediaLoading, 5139, 1003},
        {ids::DlgCutSettings, 5140, 1005},
        {ids::DlgMediaLoading, 5140, 1005},
        // Coloured cap figures on the page and in Add Media (red, blue,
        // yellow, pen); the grey ones on the page.
        {ids::DlgCutSettings, 5148, 1011},
        {ids::DlgAddMedia, 5162, 1011},
        {ids::DlgCutSettings, 5149, 1009},
        {ids::DlgAddMedia, 5160, 1009},
        {ids::DlgCutSettings, 5150, 1013},
        {ids::DlgAddMedia, 5161, 1013},
        {ids::DlgCutSettings, 5180, 1007},
        {ids::DlgAddMedia, 5151, 1007},
        {ids::DlgCutSettings, 5152, 1010},
        {ids::DlgCutSettings, 5154, 1008},
        {ids::DlgCutSettings, 5155, 1012},
        {ids::DlgCutSettings, 5181, 1014},
        // The communication-error drawing and the Calibration figure.
        {ids::DlgCommError, NoId, ids::BitmapCommError},
        {ids::DlgCalibration, NoId, 1006},
    };
    for (const Figure& f : figures) {
        SCOPED_TRACE(testing::Message() << f.dialog << "/" << f.control);
        const auto& controls = Template(f.dialog).controls;
        const auto it = std::find_if(controls.begin(), controls.end(), [&](const auto& c) {
            return c.id == f.control && c.cls == ControlClass::Picture && c.resource == f.bitmap;
        });
        EXPECT_NE(it, controls.end());
    }
    // Figures of one kind share one place, so only the one shown is seen.
    for (int dialog : {ids::DlgCutSettings, ids::DlgMediaLoading})
        for (int id : {5138, 5139, 5140})
            EXPECT_TRUE(SameRect(RectOf(dialog, id), RectOf(dialog, 5129))) << dialog << "/" << id;
    for (int id : {5149, 5150, 5180, 5152, 5154, 5155, 5181}) {
        EXPECT_TRUE(SameRect(RectOf(ids::DlgCutSettings, id), RectOf(ids::DlgCutSettings, 5148)));
        EXPECT_TRUE(FindControl(Template(ids::DlgCutSettings), id)->style & CsHidden) << id;
    }
}

// Controls that the dialog procedures address, with the class they drive.
TEST(DialogTemplates, AddressedControlsHaveTheirClass) {
    struct Case {
        int dialog;
        int control;
        ControlClass cls;
    };
    using enum ControlClass;
    const Case cases[] = {
        {ids::DlgMain, 5190, PushButton},
        {ids::DlgMain, 5182, PushButton},
        {ids::DlgMain, 5184, PushButton},
        {ids::DlgCutSettings, 5103, DropDownList},
        {ids::DlgCutSettings, 5104, AutoCheckBox},
        {ids::DlgCutSettings, 5141, AutoCheckBox},
        {ids::DlgCutSettings, 5107, HScrollBar},
        {ids::DlgCutSettings, 5106, HScrollBar},
        {ids::DlgCutSettings, 5111, Edit},
        {ids::DlgCutSettings, 5113, Edit},
        {ids::DlgCutSettings, 5178, Icon},
        {ids::DlgCutSettings, 5179, Icon},
        {ids::DlgCutSettings, mb::IdOk, PushButton},
        {ids::DlgCutSettings, mb::IdCancel, PushButton},
        {ids::DlgCalibration, mb::IdOk, DefPushButton},
        {ids::DlgCalibration, 5130, VScrollBar},
        {ids::DlgCalibration, 5131, HScrollBar},
        {ids::DlgCalibration, 5105, Edit},
        {ids::DlgCalibration, 5142, AutoCheckBox},
        {ids::DlgAbout, 5147, Static},
        {ids::DlgAddMedia, 5168, DropDownList},
        {ids::DlgAddMedia, 5169, Edit},
        {ids::DlgAddMedia, 5170, HScrollBar},
        {ids::DlgAddMedia, 5171, HScrollBar},
        {ids::DlgAddMedia, 1187, Static},
        {ids::DlgCommError, ids::CommErrorText, Static},
        {ids::DlgCommError, mb::IdOk, PushButton},
        {ids::DlgMediaLoading, 5166, Static},
    };
    for (const Case& c : cases) {
        const ControlTemplate* control = FindControl(Template(c.dialog), c.control);
        ASSERT_NE(control, nullptr) << c.dialog << "/" << c.control;
        EXPECT_EQ(control->cls, c.cls) << c.dialog << "/" << c.control;
    }
    // Both "Use Keyboard" boxes are drawn as buttons.
    EXPECT_TRUE(FindControl(Template(ids::DlgCutSettings), 5141)->style & CsPushLike);
    EXPECT_TRUE(FindControl(Template(ids::DlgCalibration), 5142)->style & CsPushLike);
}

TEST(DialogTemplates, CaptionsAndFrames) {
    // Calibration has no system menu, so no close button; the others do.
    EXPECT_FALSE(Template(ids::DlgCalibration).style & DsSysMenu);
    for (int id :
         {ids::DlgMain, ids::DlgAbout, ids::DlgAddMedia, ids::DlgCommError, ids::DlgMediaLoading})
        EXPECT_TRUE(Template(id).style & DsSysMenu) << id;
    for (const DialogTemplate& d : AllDialogTemplates()) {
        if (d.id == ids::DlgCutSettings) {
            EXPECT_TRUE(d.caption.empty());
            EXPECT_FALSE(d.style & DsCaption);
            continue;
        }
        EXPECT_TRUE(d.style & DsPopup) << d.id;
        EXPECT_TRUE(d.style & DsCaption) << d.id;
        EXPECT_TRUE(d.style & DsModalFrame) << d.id;
        EXPECT_FALSE(d.caption.empty()) << d.id;
    }
    // Captions that the procedures set again from the string table agree
    // with their template, so nothing changes when they do.
    EXPECT_EQ(Template(ids::DlgMain).caption, LoadString(ids::StrCaption));
    EXPECT_EQ(Template(ids::DlgCommError).caption, LoadString(ids::StrCaption));
    EXPECT_EQ(Template(ids::DlgCalibration).caption, LoadString(ids::StrCalibration));
    EXPECT_EQ(Template(ids::DlgAddMedia).caption, LoadString(ids::StrAddMedia));
}

} // namespace
} // namespace osa::res
