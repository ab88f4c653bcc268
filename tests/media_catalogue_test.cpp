#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/resources.h"
#include "controller/settings/media_catalogue.h"
#include "controller/ui/confirm_box.h"
#include "tests/test_support.h"

namespace osa {
namespace {

std::string Generic(const std::string& listId, const std::string& mode,
                    const std::string& product = "Ostrandel Controller Ver2",
                    const std::string& type = "Ostrandel") {
    std::string text = "[Generic]\r\n";
    if (!product.empty()) text += "Product=" + product + "\r\n";
    if (!type.empty()) text += "Type=" + type + "\r\n";
    if (!listId.empty()) text += "ListID=" + listId + "\r\n";
    if (!mode.empty()) text += "ConfigurationMode=" + mode + "\r\n";
    return text;
}
std::string Section(const std::string& name, const std::string& speed, const std::string& force,
                    const std::string& cap = {}) {
    std::string text = "[" + name + "]\r\n";
    if (!speed.empty()) text += "Speed=" + speed + "\r\n";
    if (!force.empty()) text += "Force=" + force + "\r\n";
    if (!cap.empty()) text += "Cap=" + cap + "\r\n";
    return text;
}
std::string Fixed(int listId, int speed, int force, const std::string& cap) {
    return Generic(std::to_string(listId), "0") +
           Section("Defaults", std::to_string(speed), std::to_string(force), cap);
}
std::string Modifiable(int listId, int speed, int force, const std::string& cap) {
    return Generic(std::to_string(listId), "1") +
           Section("Defaults", std::to_string(speed), std::to_string(force), cap);
}
std::string User(int listId, int speed, int force, const std::string& cap) {
    return Generic(std::to_string(listId), "2") +
           Section("User", std::to_string(speed), std::to_string(force), cap);
}

// The fields of a record that a test states, in MediaRecord order.
struct Expect {
    std::string name;
    std::uint32_t listId;
    int mode, condition, defaultSpeed, defaultForce, speed, force, offset, cap;
};

void ExpectRecord(const MediaRecord& r, const Expect& e) {
    EXPECT_EQ(MediaName(r), e.name);
    EXPECT_EQ(r.ListID, e.listId) << e.name;
    EXPECT_EQ(r.ConfigurationMode, e.mode) << e.name;
    EXPECT_EQ(r.ConditionNumber, e.condition) << e.name;
    EXPECT_EQ(r.DefaultSpeed, e.defaultSpeed) << e.name;
    EXPECT_EQ(r.DefaultForce, e.defaultForce) << e.name;
    EXPECT_EQ(r.AdjustedSpeed, e.speed) << e.name;
    EXPECT_EQ(r.AdjustedForce, e.force) << e.name;
    EXPECT_EQ(r.CutterOffset, e.offset) << e.name;
    EXPECT_EQ(r.Cap, e.cap) << e.name;
}

bool IsFree(const MediaRecord& r) {
    return MediaName(r).empty() && r.ListID == 0 && r.ConfigurationMode == -1 &&
           r.ConditionNumber == -1 && r.DefaultSpeed == -1 && r.DefaultForce == -1 &&
           r.AdjustedSpeed == -1 && r.AdjustedForce == -1 && r.CutterOffset == -1 && r.Cap == -1;
}

std::vector<std::string> Names(const MediaCatalogue& c) {
    std::vector<std::string> names;
    for (int i = 0; i < c.Count; ++i)
        names.emplace_back(MediaName(c.Records[static_cast<std::size_t>(i)]));
    return names;
}

class MediaCatalogueTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        UseFolder("/opt/osactl/Media");
    }

    // Starts over in an empty media folder.
    void UseFolder(const std::string& folder) {
        dir = folder;
        files.AddDirectory(dir);
    }
    std::string PathOf(const std::string& name) const { return dir + "/" + name + ".hcf"; }
    void AddFile(const std::string& name, const std::string& text) {
        files.AddFile(PathOf(name), text);
    }
    std::optional<std::string> Text(const std::string& name) const {
        return files.FileContents(PathOf(name));
    }
    std::string Read(const std::string& name, const char* section, const char* key) {
        return profiles.ReadText(PathOf(name), section, key, "(none)", 512);
    }
    int Load(std::string_view selected = {}) {
        int index = -1;
        LoadMediaCatalogue(catalogue, index, selected, dir);
        return index;
    }

    std::string dir;
    MediaCatalogue catalogue{};
};

// --- Loading -------------------------------------------------------------

TEST_F(MediaCatalogueTest, EachFileRuleAcceptsOrRejectsTheFile) {
    const std::string gen0 = Generic("4", "0");
    const std::string gen1 = Generic("4", "1");
    const std::string gen2 = Generic("4", "2");
    const std::string defaults = Section("Defaults", "7", "2", "Blue");
    const std::string product = "Ostrandel Controller Ver2";
    // A file that loads gives this record at position 1 (ListID 4, after "Good").
    struct Loaded {
        int mode, defaultSpeed, defaultForce, speed, force, offset, cap;
    };
    struct Row {
        const char* what;
        std::string text;
        std::optional<Loaded> loaded;
    };
    const Row rows[] = {
        {"Type differs in case", Generic("4", "0", product, "OSTRANDEL") + defaults, {}},
        {"Type missing", Generic("4", "0", product, "") + defaults, {}},
        {"Product missing", Generic("4", "0", "") + defaults, {}},
        {"Product differs in case", Generic("4", "0", "ostrandel controller ver2") + defaults, {}},
        {"Product with a trailing word", Generic("4", "0", product + " X") + defaults, {}},
        {"mode missing", Generic("4", "") + defaults, {}},
        {"mode 3", Generic("4", "3") + defaults, {}},
        {"mode -1", Generic("4", "-1") + defaults, {}},
        {"speed 0", gen0 + Section("Defaults", "0", "2", "Blue"), {}},
        {"speed 11", gen1 + Section("Defaults", "11", "2", "Blue"), {}},
        {"speed missing", gen0 + Section("Defaults", "", "2", "Blue"), {}},
        {"force 0", gen0 + Section("Defaults", "7", "0", "Blue"), {}},
        {"force 4", gen1 + Section("Defaults", "7", "4", "Blue"), {}},
        {"cap in small letters", gen0 + Section("Defaults", "7", "2", "blue"), {}},
        {"cap unknown", gen0 + Section("Defaults", "7", "2", "Green"), {}},
        {"cap missing", gen1 + Section("Defaults", "7", "2"), {}},
        {"mode 0 without Defaults", gen0 + Section("User", "7", "2", "Blue"), {}},
        {"mode 2 pen", gen2 + Section("User", "7", "2", "Pen"), {}},
        {"mode 2 speed 11", gen2 + Section("User", "11", "2", "Red"), {}},
        {"mode 2 force 0", gen2 + Section("User", "7", "0", "Red"), {}},
        {"mode 2 reads User only", gen2 + defaults, {}},
        {"mode 0, largest values", gen0 + Section("Defaults", "10", "3", "Red"),
         Loaded{0, 10, 3, 10, 3, 18, CapRed}},
        {"mode 0, smallest values", gen0 + Section("Defaults", "1", "1", "Yellow"),
         Loaded{0, 1, 1, 1, 1, 18, CapYellow}},
        {"mode 0 pen", gen0 + Section("Defaults", "4", "2", "Pen"),
         Loaded{0, 4, 2, 4, 2, 0, CapPen}},
        {"mode 0 ignores Modify", gen0 + defaults + Section("Modify", "3", "1"),
         Loaded{0, 7, 2, 7, 2, 18, CapBlue}},
        {"mode 1 Modify in range", gen1 + defaults + Section("Modify", "1", "3"),
         Loaded{1, 7, 2, 1, 3, 18, CapBlue}},
        {"mode 1 Modify speed 11", gen1 + defaults + Section("Modify", "11", "3"),
         Loaded{1, 7, 2, 7, 3, 18, CapBlue}},
        {"mode 1 Modify speed 0, force 4", gen1 + defaults + Section("Modify", "0", "4"),
         Loaded{1, 7, 2, 7, 2, 18, CapBlue}},
        {"mode 1 without Modify", gen1 + defaults, Loaded{1, 7, 2, 7, 2, 18, CapBlue}},
        {"mode 1 pen", gen1 + Section("Defaults", "3", "1", "Pen"),
         Loaded{1, 3, 1, 3, 1, 0, CapPen}},
        {"mode 2 without Defaults", gen2 + Section("User", "3", "1", "Yellow"),
         Loaded{2, -1, -1, 3, 1, 18, CapYellow}},
        {"mode 2 ignores Defaults and Modify",
         gen2 + Section("Defaults", "9", "9", "Pen") + Section("User", "10", "3", "Red") +
             Section("Modify", "1", "1"),
         Loaded{2, -1, -1, 10, 3, 18, CapRed}},
        {"names in any case",
         "[GENERIC]\r\nproduct=Ostrandel Controller Ver2\r\nTYPE=Ostrandel\r\n"
         "configurationmode=1\r\nlistid=4\r\n[defaults]\r\nSPEED=7\r\nforce=2\r\n"
         "cap=Blue\r\n[modify]\r\nSpeed=9\r\n",
         Loaded{1, 7, 2, 9, 2, 18, CapBlue}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        UseFolder("/rules/" + std::string(row.what));
        AddFile("Good", Fixed(1, 5, 1, "Yellow"));
        AddFile("Tried", row.text);
        Load();
        ExpectRecord(catalogue.Records[0], {"Good", 1, 0, 100, 5, 1, 5, 1, 18, CapYellow});
        if (!row.loaded) {
            EXPECT_EQ(catalogue.Count, 1);
            EXPECT_EQ(catalogue.HighestListID, 1u);
            EXPECT_TRUE(IsFree(catalogue.Records[1]));
            continue;
        }
        const Loaded& l = *row.loaded;
        EXPECT_EQ(catalogue.Count, 2);
        EXPECT_EQ(catalogue.HighestListID, 4u);
        ExpectRecord(catalogue.Records[1], {"Tried", 4, l.mode, 101, l.defaultSpeed, l.defaultForce,
                                            l.speed, l.force, l.offset, l.cap});
    }
}

// On a file system that keeps letter case, a file with an upper-case
// extension is a medium read and written where it is, and a name with two
// such files is one medium, from "<name>.hcf".
TEST_F(MediaCatalogueTest, AnExtensionInCapitalsIsTheSameMediumsOneFile) {
    files.AddFile(dir + "/Copied.HCF", User(120, 4, 2, "Red"));
    files.AddFile(dir + "/Twice.hcf", User(121, 5, 2, "Blue"));
    files.AddFile(dir + "/Twice.HCF", User(122, 9, 3, "Yellow"));
    Load();
    ASSERT_EQ(Names(catalogue), (std::vector<std::string>{"Copied", "Twice"}));
    EXPECT_EQ(catalogue.Records[0].AdjustedSpeed, 4);
    EXPECT_EQ(catalogue.Records[1].AdjustedSpeed, 5); // from Twice.hcf

    catalogue.Records[0].AdjustedSpeed = 6;
    catalogue.Records[1].AdjustedSpeed = 7;
    SaveAllMediaFiles(catalogue, dir);
    EXPECT_FALSE(files.FileContents(dir + "/Copied.hcf").has_value()); // no second file
    EXPECT_NE(files.FileContents(dir + "/Copied.HCF").value_or("").find("Speed=6"),
              std::string::npos);
    EXPECT_NE(Text("Twice").value_or("").find("Speed=7"), std::string::npos);
    EXPECT_NE(files.FileContents(dir + "/Twice.HCF").value_or("").find("Speed=9"),
              std::string::npos); // left as it was
}

TEST_F(MediaCatalogueTest, SortsBySelectionSortOnUnsignedListIDs) {
    // Directory order A B C D E F G. B has no ListID (-1, the largest
    // unsigned value), G has -5. Selection sort swaps A away from the front
    // and leaves D before A, where a stable sort would keep A first.
    AddFile("A", Fixed(5, 5, 1, "Blue"));
    AddFile("B", Generic("", "0") + Section("Defaults", "5", "1", "Blue"));
    AddFile("C", Fixed(2, 5, 1, "Blue"));
    AddFile("D", Fixed(5, 5, 1, "Blue"));
    AddFile("E", User(2, 5, 1, "Blue"));
    AddFile("F", Modifiable(0, 5, 1, "Blue"));
    AddFile("G", Fixed(-5, 5, 1, "Blue"));
    Load();
    EXPECT_EQ(Names(catalogue), (std::vector<std::string>{"F", "C", "E", "D", "A", "G", "B"}));
    EXPECT_EQ(catalogue.HighestListID, 0xFFFFFFFFu);
    for (int i = 0; i < catalogue.Count; ++i)
        EXPECT_EQ(catalogue.Records[static_cast<std::size_t>(i)].ConditionNumber, 100 + i);
    EXPECT_EQ(catalogue.Records[5].ListID, 0xFFFFFFFBu);
}

TEST_F(MediaCatalogueTest, SortOnAGivenCatalogue) {
    // Equal keys: the first minimum met stays the candidate.
    struct Row {
        std::vector<std::uint32_t> keys;
        std::vector<int> order; // original positions, sorted
    };
    const Row rows[] = {
        {{}, {}},
        {{7}, {0}},
        {{3, 1, 3, 1}, {1, 3, 2, 0}},
        {{2, 2, 2}, {0, 1, 2}},
        {{9, 0x80000000u, 1, 0xFFFFFFFFu, 0}, {4, 2, 0, 1, 3}},
        {{1, 0, 1, 0, 1}, {1, 3, 2, 0, 4}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.keys));
        ClearMediaCatalogue(catalogue);
        catalogue.Count = static_cast<int>(row.keys.size());
        for (std::size_t i = 0; i < row.keys.size(); ++i) {
            catalogue.Records[i].ListID = row.keys[i];
            catalogue.Records[i].ConditionNumber = static_cast<int>(i); // tag the record
        }
        SortMediaByListID(catalogue);
        std::vector<int> order;
        for (std::size_t i = 0; i < row.keys.size(); ++i)
            order.push_back(catalogue.Records[i].ConditionNumber);
        EXPECT_EQ(order, row.order);
        EXPECT_TRUE(IsFree(catalogue.Records[row.keys.size()]));
    }
}

TEST_F(MediaCatalogueTest, NamesUpTo64BytesAndNoDirectories) {
    const std::string name64(64, 'n');
    const std::string name65(65, 'm');
    AddFile(name65, Fixed(1, 5, 1, "Blue"));
    AddFile(name64, Fixed(2, 5, 1, "Blue"));
    files.AddDirectory(PathOf("Folder"));
    AddFile("Notes", "Media notes, not a profile file\r\n");
    AddFile("", Fixed(3, 5, 1, "Blue")); // ".hcf": the medium with the empty name
    AddFile("Two.dots", Fixed(4, 5, 1, "Blue"));
    Load();
    EXPECT_EQ(Names(catalogue), (std::vector<std::string>{name64, "", "Two.dots"}));
}

TEST_F(MediaCatalogueTest, StopsAt128AcceptedFiles) {
    // Rejected files do not count; the 129th valid one is not read at all.
    AddFile("Bad", Generic("1", "7"));
    for (int i = 0; i < 129; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "M%03d", i);
        AddFile(name, Fixed(1000 - i, 5, 1, "Blue"));
    }
    Load();
    ASSERT_EQ(catalogue.Count, MaxMedia);
    std::vector<std::string> names = Names(catalogue);
    EXPECT_EQ(names.front(), "M127");
    EXPECT_EQ(names.back(), "M000");
    EXPECT_EQ(std::find(names.begin(), names.end(), "M128"), names.end());
    EXPECT_EQ(catalogue.HighestListID, 1000u);
    EXPECT_EQ(catalogue.Records[127].ConditionNumber, 227);
}

TEST_F(MediaCatalogueTest, SelectedNameMatchesBytesWithCase) {
    struct Row {
        std::vector<std::string> files; // in directory order; ListID = position
        std::string selected;
        int index;
    };
    const Row rows[] = {
        {{"Vinyl", "Paper", "Film"}, "Film", 2},
        {{"Vinyl", "Paper", "Film"}, "film", 0},
        {{"Vinyl", "Paper", "Film"}, "Film ", 0},
        {{"Vinyl", "Paper", "Film"}, "", 0},
        {{"Vinyl", "", "Film"}, "", 1},
        {{}, "Film", 0},
        {{"\xe3\x82\xab\xe3\x83\xbc\xe3\x83\x89", "Paper"},
         "\xe3\x82\xab\xe3\x83\xbc\xe3\x83\x89",
         0},
        {{"Paper", "\xe3\x82\xab\xe3\x83\xbc\xe3\x83\x89"},
         "\xe3\x82\xab\xe3\x83\xbc\xe3\x83\x89",
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selected);
        UseFolder("/select/" + std::to_string(&row - rows));
        for (std::size_t i = 0; i < row.files.size(); ++i)
            AddFile(row.files[i], Fixed(static_cast<int>(i), 5, 1, "Blue"));
        EXPECT_EQ(Load(row.selected), row.index);
        EXPECT_EQ(catalogue.Count, static_cast<int>(row.files.size()));
    }
}

TEST_F(MediaCatalogueTest, LoadingClearsWhatWasThere) {
    LoadBuiltInMedia(catalogue);
    AddFile("Only", User(7, 5, 1, "Red"));
    EXPECT_EQ(Load("Thin Media"), 0);
    EXPECT_EQ(catalogue.Count, 1);
    EXPECT_EQ(catalogue.HighestListID, 7u);
    for (std::size_t i = 1; i < MaxMedia; ++i)
        EXPECT_TRUE(IsFree(catalogue.Records[i])) << i;
}

TEST_F(MediaCatalogueTest, NoFolderGivesAnEmptyCatalogue) {
    AddFile("Vinyl", Fixed(1, 5, 1, "Blue"));
    int index = -1;
    LoadMediaCatalogue(catalogue, index, "Vinyl", "/elsewhere");
    EXPECT_EQ(catalogue.Count, 0);
    EXPECT_EQ(index, 0);
    LoadMediaCatalogue(catalogue, index, "Vinyl", "");
    EXPECT_EQ(catalogue.Count, 0);
}

// --- Built-in table and lookup --------------------------------------------

TEST_F(MediaCatalogueTest, BuiltInTable) {
    const Expect rows[] = {
        {"Card without Craft Paper Backing", 0, 0, 1, 10, 3, -1, -1, 18, CapYellow},
        {"Card with Craft Paper Backing", 1, 0, 2, 10, 3, -1, -1, 18, CapYellow},
        {"Vinyl Film", 2, 0, 3, 10, 2, -1, -1, 18, CapBlue},
        {"Paper Labels", 3, 0, 4, 10, 2, -1, -1, 18, CapBlue},
        {"Film Labels", 4, 0, 5, 10, 3, -1, -1, 18, CapBlue},
        {"Magnetic Sheet", 5, 0, 6, 10, 3, -1, -1, 18, CapYellow},
        {"Metallic Labels, Gold", 6, 0, 7, 10, 3, -1, -1, 18, CapBlue},
        {"Metallic Labels, Silver", 7, 0, 8, 10, 3, -1, -1, 18, CapBlue},
        {"Glow-in-the-dark Labels", 8, 0, 9, 10, 3, -1, -1, 18, CapBlue},
        {"Thick Media", 9, 0, 10, 10, 3, -1, -1, 18, CapYellow},
        {"Thin Media", 10, 0, 11, 10, 1, -1, -1, 18, CapBlue},
        {"Pen", 11, 0, 12, 10, 2, -1, -1, 0, CapPen},
    };
    catalogue.Count = 40; // whatever was there goes
    catalogue.Records[20].ListID = 9;
    LoadBuiltInMedia(catalogue);
    ASSERT_EQ(catalogue.Count, 12);
    EXPECT_EQ(catalogue.HighestListID, 11u);
    for (std::size_t i = 0; i < 12; ++i)
        ExpectRecord(catalogue.Records[i], rows[i]);
    for (std::size_t i = 12; i < MaxMedia; ++i)
        EXPECT_TRUE(IsFree(catalogue.Records[i])) << i;
    EXPECT_TRUE(profiles.Writes().empty());
}

TEST_F(MediaCatalogueTest, FindMediaByName) {
    AddFile("Vinyl", Fixed(3, 5, 1, "Blue"));
    AddFile("Paper", Modifiable(1, 5, 1, "Blue"));
    AddFile("Mine", User(200, 5, 1, "Red"));
    Load();
    ASSERT_EQ(Names(catalogue), (std::vector<std::string>{"Paper", "Vinyl", "Mine"}));
    // A stale record beyond Count is not looked at.
    std::strcpy(catalogue.Records[3].Name, "Ghost");
    struct Row {
        std::string name;
        bool found;
        int index;
        std::uint32_t listId;
        int mode;
    };
    const Row rows[] = {
        {"Vinyl", true, 1, 3, 0},  {"Paper", true, 0, 1, 1},  {"Mine", true, 2, 200, 2},
        {"vinyl", false, 0, 0, 0}, {"Mine ", false, 0, 0, 0}, {"", false, 0, 0, 0},
        {"Ghost", false, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int index = -7;
        std::uint32_t listId = 77;
        std::int32_t mode = -7;
        EXPECT_EQ(FindMediaByName(catalogue, row.name, index, listId, mode), row.found);
        EXPECT_EQ(index, row.found ? row.index : -7);
        EXPECT_EQ(listId, row.found ? row.listId : 77u);
        EXPECT_EQ(mode, row.found ? row.mode : -7);
    }
}

// --- Adding a user medium -------------------------------------------------

NewMedium Medium(std::string_view name, int speed = 4, int force = 2, int cap = CapYellow) {
    return NewMedium{name, speed, force, 18, cap};
}

class AddMediumTest : public MediaCatalogueTest {
  protected:
    void SetUp() override {
        MediaCatalogueTest::SetUp();
        AddFile("Vinyl", Fixed(3, 6, 2, "Blue"));
        AddFile("Paper", Modifiable(7, 5, 1, "Blue"));
        AddFile("Mine", User(50, 9, 3, "Red") + "[Notes]\n"
                                                "Made=by hand\n");
        Load();
        ASSERT_EQ(Names(catalogue), (std::vector<std::string>{"Vinyl", "Paper", "Mine"}));
        profiles.ClearWrites();
    }

    ResultCode Add(const NewMedium& medium) {
        change = MediumChange::None;
        position = -1;
        return AddUserMedium(catalogue, medium, dir, Window{0x55}, change, position);
    }

    MediumChange change = MediumChange::None;
    int position = -1;
};

TEST_F(AddMediumTest, NewMediaGoAtTheEndAndAreWrittenAtOnce) {
    ASSERT_EQ(Add(Medium("Zeta", 4, 2, CapYellow)), rc::Ok);
    EXPECT_EQ(change, MediumChange::Appended);
    EXPECT_EQ(position, 3);
    EXPECT_EQ(catalogue.Count, 4);
    EXPECT_EQ(catalogue.HighestListID, 100u); // all ListIDs were below 100
    ExpectRecord(catalogue.Records[3], {"Zeta", 100, 2, 103, -1, -1, 4, 2, 18, CapYellow});

    // The file, key by key in this order.
    std::vector<std::string> written;
    for (const auto& w : profiles.Writes()) {
        EXPECT_EQ(w.file, PathOf("Zeta"));
        EXPECT_TRUE(w.ok);
        written.push_back(w.section + "/" + w.key + "=" + w.value);
    }
    EXPECT_EQ(written, (std::vector<std::string>{"Generic/Product=Ostrandel Controller Ver2",
                                                 "Generic/Type=Ostrandel", "Generic/ListID=100",
                                                 "Generic/ConfigurationMode=2", "User/Speed=4",
                                                 "User/Force=2", "User/Cap=Yellow"}));

    ASSERT_EQ(Add(Medium("Alpha", 10, 1, CapBlue)), rc::Ok);
    EXPECT_EQ(position, 4);
    ExpectRecord(catalogue.Records[4], {"Alpha", 101, 2, 104, -1, -1, 10, 1, 18, CapBlue});
    EXPECT_TRUE(host.MessageBoxes().empty());

    // The next start finds both, sorted by ListID.
    EXPECT_EQ(Load("Alpha"), 4);
    EXPECT_EQ(Names(catalogue),
              (std::vector<std::string>{"Vinyl", "Paper", "Mine", "Zeta", "Alpha"}));
    ExpectRecord(catalogue.Records[3], {"Zeta", 100, 2, 103, -1, -1, 4, 2, 18, CapYellow});
}

TEST_F(AddMediumTest, ListIDOfANewMedium) {
    struct Row {
        std::uint32_t highest;
        std::uint32_t listId;
        const char* written;
    };
    const Row rows[] = {
        {0, 100, "100"},
        {99, 100, "100"},
        {100, 101, "101"},
        {150, 151, "151"},
        {0x7FFFFFFFu, 0x80000000u, "-2147483648"},
        {0xFFFFFFFEu, 0xFFFFFFFFu, "-1"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "-1"}, // the increment would wrap to 0
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.highest);
        const std::string name = "New" + std::to_string(row.highest);
        catalogue.HighestListID = row.highest;
        ASSERT_EQ(Add(Medium(name)), rc::Ok);
        EXPECT_EQ(catalogue.HighestListID, row.listId);
        EXPECT_EQ(catalogue.Records[static_cast<std::size_t>(position)].ListID, row.listId);
        EXPECT_EQ(Read(name, "Generic", "ListID"), row.written);
    }
    // After the last ones the catalogue holds two media with ListID -1; the
    // next start still loads both.
    Load();
    EXPECT_EQ(catalogue.Count, 3 + 7);
    EXPECT_EQ(catalogue.HighestListID, 0xFFFFFFFFu);
}

TEST_F(AddMediumTest, AnExistingUserMediumIsUpdatedOnlyAfterOK) {
    const MediaCatalogue before = catalogue;
    const std::string fileBefore = *Text("Mine");

    host.ThenAnswer(mb::IdCancel);
    EXPECT_EQ(Add(Medium("Mine", 2, 1, CapBlue)), rc::Ok);
    EXPECT_EQ(change, MediumChange::None);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    const auto& box = host.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Specified media is already existing.\nUpdate?");
    EXPECT_EQ(box.caption, "Check");
    EXPECT_EQ(box.style, mb::OkCancel | mb::IconQuestion);
    EXPECT_EQ(box.owner, Window{0x55});
    EXPECT_EQ(std::memcmp(&before, &catalogue, sizeof before), 0);

    host.ThenAnswer(mb::IdOk);
    EXPECT_EQ(Add(Medium("Mine", 2, 1, CapBlue)), rc::Ok);
    EXPECT_EQ(change, MediumChange::Updated);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(catalogue.Count, 3);
    EXPECT_EQ(catalogue.HighestListID, 50u);
    ExpectRecord(catalogue.Records[2], {"Mine", 50, 2, 102, -1, -1, 2, 1, 18, CapBlue});
    // Written at close, not now.
    EXPECT_TRUE(profiles.Writes().empty());
    EXPECT_EQ(*Text("Mine"), fileBefore);

    SaveAllMediaFiles(catalogue, dir);
    Load();
    ExpectRecord(catalogue.Records[2], {"Mine", 50, 2, 102, -1, -1, 2, 1, 18, CapBlue});
    EXPECT_EQ(Read("Mine", "Notes", "Made"), "by hand");
}

TEST_F(AddMediumTest, RefusedNames) {
    const std::string name64(64, 'x');
    const std::string name65(65, 'x');
    const std::string refused[] = {
        "Vinyl", // fixed
        "Paper", // modifiable
        "a/b",
        "..\\x",
        "../../etc/passwd",
        "C:x",
        "x*",
        "what?",
        "say \"hi\"",
        "<",
        ">",
        "a|b",
        std::string("a\0b", 3),
        "tab\there",
        name65,
        "\x83\x5c", // a double-byte character whose second byte is a backslash
        "CON",
        "con",
        "Com1",
        "LPT9.txt",
        "NUL ",
        "aux.more",
        "PRN",
    };
    const MediaCatalogue before = catalogue;
    for (const std::string& name : refused) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Add(Medium(name)), rc::MediaNameRefused);
        EXPECT_EQ(change, MediumChange::None);
    }
    EXPECT_EQ(std::memcmp(&before, &catalogue, sizeof before), 0);
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_TRUE(profiles.Writes().empty());
    EXPECT_EQ(files.Log(), std::vector<std::string>{});

    // Names that stay inside the folder are fine, odd as some of them look.
    const std::string accepted[] = {
        "", "..", ".", "vinyl", "CONSOLE", "COM10", name64, "\xe3\x82\xab\xe3\x83\xbc\xe3\x83\x89"};
    for (const std::string& name : accepted) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Add(Medium(name)), rc::Ok);
        EXPECT_EQ(change, MediumChange::Appended);
        EXPECT_TRUE(Text(name).has_value());
    }
    for (const auto& w : profiles.Writes()) {
        EXPECT_TRUE(w.file.starts_with(dir + "/")) << w.file;
        EXPECT_EQ(w.file.find('/', dir.size() + 1), std::string::npos) << w.file;
    }
    EXPECT_TRUE(files.FileContents(dir + "/...hcf").has_value());
    EXPECT_TRUE(files.FileContents(dir + "/.hcf").has_value());
    Load();
    EXPECT_EQ(catalogue.Count, 3 + 8);
}

TEST_F(AddMediumTest, AValidFileTheListDoesNotHoldIsNotOverwritten) {
    // Installed while the controller ran (or, on Windows, the same file
    // under another letter case, or beyond the first 128).
    AddFile("Later", Fixed(5, 3, 3, "Red"));
    const std::string later = *Text("Later");
    EXPECT_EQ(Add(Medium("Later")), rc::MediaNameRefused);
    EXPECT_EQ(*Text("Later"), later);
    EXPECT_EQ(catalogue.Count, 3);

    // A file the loader rejected is no medium; the new one takes its place
    // and leaves the keys it does not know.
    AddFile("Broken", Generic("1", "9") + "[Extra]\nKeep=me\n");
    EXPECT_EQ(Add(Medium("Broken", 3, 3, CapRed)), rc::Ok);
    EXPECT_EQ(change, MediumChange::Appended);
    Load();
    EXPECT_EQ(Names(catalogue),
              (std::vector<std::string>{"Vinyl", "Later", "Paper", "Mine", "Broken"}));
    ExpectRecord(catalogue.Records[4], {"Broken", 100, 2, 104, -1, -1, 3, 3, 18, CapRed});
    EXPECT_EQ(Read("Broken", "Extra", "Keep"), "me");
}

TEST_F(AddMediumTest, AFullCatalogueStillUpdates) {
    for (int i = 3; i < MaxMedia; ++i) {
        MediaRecord& r = catalogue.Records[static_cast<std::size_t>(i)];
        std::snprintf(r.Name, sizeof r.Name, "Filler %d", i);
        r.ConfigurationMode = MediaUser;
    }
    catalogue.Count = MaxMedia;
    EXPECT_EQ(Add(Medium("One more")), rc::MediaCatalogueFull);
    EXPECT_EQ(change, MediumChange::None);
    EXPECT_EQ(catalogue.Count, MaxMedia);
    EXPECT_FALSE(Text("One more").has_value());
    EXPECT_EQ(Add(Medium("Paper")), rc::MediaNameRefused);

    host.ThenAnswer(mb::IdOk);
    EXPECT_EQ(Add(Medium("Filler 127", 8, 3, CapRed)), rc::Ok);
    EXPECT_EQ(change, MediumChange::Updated);
    EXPECT_EQ(position, 127);
    EXPECT_EQ(catalogue.Records[127].AdjustedSpeed, 8);
}

TEST_F(AddMediumTest, AFailedWriteKeepsTheMediumForThisRun) {
    files.SetWritable(dir, false);
    EXPECT_EQ(Add(Medium("Zeta")), rc::Ok);
    EXPECT_EQ(change, MediumChange::Appended);
    EXPECT_EQ(catalogue.Count, 4);
    EXPECT_FALSE(Text("Zeta").has_value());
    EXPECT_TRUE(host.MessageBoxes().empty());
    ASSERT_FALSE(profiles.Writes().empty());
    EXPECT_FALSE(profiles.Writes().front().ok);
}

// --- Writing media files -----------------------------------------------------

TEST_F(MediaCatalogueTest, SaveAndLoadGiveTheSameRecords) {
    AddFile("Fixed", Fixed(2, 6, 2, "Pen") + "[Modify]\nSpeed=3\n");
    AddFile("Modifiable", Generic("1", "1") + "Comment=shipped\n" +
                              Section("Defaults", "8", "3", "Yellow") + "[Vendor]\nSku=77\n");
    AddFile("Unnumbered", Generic("", "1") + Section("Defaults", "2", "1", "Pen"));
    AddFile("Own", User(120, 5, 2, "Blue") + Section("Defaults", "9", "9", "Green"));
    Load();
    ASSERT_EQ(Names(catalogue),
              (std::vector<std::string>{"Modifiable", "Fixed", "Own", "Unnumbered"}));
    // The user's adjustments during the run.
    catalogue.Records[0].AdjustedSpeed = 4;
    catalogue.Records[0].AdjustedForce = 1;
    catalogue.Records[1].AdjustedSpeed = 9; // fixed: kept in the settings file only
    catalogue.Records[2].AdjustedSpeed = 10;
    catalogue.Records[2].Cap = CapRed;
    const std::string fixedBefore = *Text("Fixed");
    profiles.ClearWrites();

    SaveAllMediaFiles(catalogue, dir);
    const MediaCatalogue saved = catalogue;
    std::vector<std::string> order;
    for (const auto& w : profiles.Writes())
        if (order.empty() || order.back() != w.file) order.push_back(w.file);
    EXPECT_EQ(order, (std::vector<std::string>{PathOf("Modifiable"), PathOf("Own"),
                                               PathOf("Unnumbered")}));
    EXPECT_EQ(*Text("Fixed"), fixedBefore);

    Load();
    for (std::size_t i = 0; i < 4; ++i) {
        const MediaRecord& a = saved.Records[i];
        SCOPED_TRACE(a.Name);
        if (a.ConfigurationMode == MediaFixed) continue; // its adjustment lives elsewhere
        ExpectRecord(catalogue.Records[i],
                     {a.Name, a.ListID, a.ConfigurationMode, a.ConditionNumber, a.DefaultSpeed,
                      a.DefaultForce, a.AdjustedSpeed, a.AdjustedForce, a.CutterOffset, a.Cap});
    }
    EXPECT_EQ(catalogue.Records[3].ListID, 0xFFFFFFFFu);
    EXPECT_EQ(Read("Unnumbered", "Generic", "ListID"), "-1");
    // Keys the controller does not write stay.
    EXPECT_EQ(Read("Modifiable", "Generic", "Comment"), "shipped");
    EXPECT_EQ(Read("Modifiable", "Vendor", "Sku"), "77");
    EXPECT_EQ(Read("Own", "Defaults", "Cap"), "Green");
    EXPECT_EQ(Read("Modifiable", "Modify", "Speed"), "4");
    EXPECT_EQ(Read("Modifiable", "Modify", "Force"), "1");
    EXPECT_EQ(Read("Own", "User", "Cap"), "Red");
}

TEST_F(MediaCatalogueTest, RecordsThatAreNotWritten) {
    auto record = [](const char* name, int mode, int cap) {
        MediaRecord r{};
        std::snprintf(r.Name, sizeof r.Name, "%s", name);
        r.ConfigurationMode = mode;
        r.DefaultSpeed = r.AdjustedSpeed = 5;
        r.DefaultForce = r.AdjustedForce = 2;
        r.CutterOffset = 18;
        r.Cap = cap;
        return r;
    };
    struct Row {
        const char* what;
        MediaRecord record;
        std::string dir;
    };
    const Row rows[] = {
        {"fixed", record("Fixed", MediaFixed, CapBlue), dir},
        {"mode -1 (a free slot)", MediaRecord{}, dir},
        {"mode 3", record("Three", 3, CapBlue), dir},
        {"name with a separator", record("../Escape", MediaUser, CapBlue), dir},
        {"name with a separator at the end", record("Sub/", MediaModifiable, CapBlue), dir},
        {"no media folder", record("Rootless", MediaUser, CapBlue), ""},
        {"user medium with the pen", record("Pen", MediaUser, CapPen), dir},
        {"user medium without a cap", record("NoCap", MediaUser, -1), dir},
        {"modifiable medium with cap 4", record("Four", MediaModifiable, 4), dir},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SaveMediaFile(row.record, row.dir);
    }
    EXPECT_TRUE(profiles.Writes().empty());
    EXPECT_TRUE(files.Log().empty());

    SaveMediaFile(record("Pen", MediaModifiable, CapPen), dir);
    EXPECT_EQ(Read("Pen", "Defaults", "Cap"), "Pen");
}

TEST_F(MediaCatalogueTest, InterruptedWritesNeverLoseAMedium) {
    // Each write of the close can fail on its own; whichever does, the next
    // start still finds every medium, with each value either old or new.
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        UseFolder("/fail/" + std::to_string(n));
        AddFile("Paper", Modifiable(1, 5, 1, "Blue"));
        AddFile("Mine", User(100, 9, 3, "Red"));
        Load();
        catalogue.Records[0].AdjustedSpeed = 7;
        catalogue.Records[1].AdjustedForce = 2;
        profiles.ClearWrites();
        profiles.FailWrite(n);
        SaveAllMediaFiles(catalogue, dir);
        const bool fired = std::any_of(profiles.Writes().begin(), profiles.Writes().end(),
                                       [](const auto& w) { return !w.ok; });
        profiles.FailWrite(0);
        Load();
        ASSERT_EQ(Names(catalogue), (std::vector<std::string>{"Paper", "Mine"}));
        EXPECT_TRUE(catalogue.Records[0].AdjustedSpeed == 5 ||
                    catalogue.Records[0].AdjustedSpeed == 7);
        EXPECT_TRUE(catalogue.Records[1].AdjustedForce == 3 ||
                    catalogue.Records[1].AdjustedForce == 2);
        if (!fired) {
            EXPECT_EQ(catalogue.Records[0].AdjustedSpeed, 7);
            EXPECT_EQ(catalogue.Records[1].AdjustedForce, 2);
            break;
        }
    }
    EXPECT_TRUE(host.MessageBoxes().empty());
}

// A platform whose separator is the backslash, over the in-memory folders.
class BackslashPlatform final : public FileSystem, public ProfileStore {
  public:
    BackslashPlatform(MemoryFileSystem& files, MemoryProfileStore& profiles)
        : files_(files), profiles_(profiles) {}
    static std::string Native(std::string_view path) {
        std::string p(path);
        std::replace(p.begin(), p.end(), '\\', '/');
        return p;
    }
    char PathSeparator() const override { return '\\'; }
    std::string ExecutablePath() override { return {}; }
    std::string UserDataDirectory() override { return {}; }
    bool IsDirectoryWritable(std::string_view d) override {
        return files_.IsDirectoryWritable(Native(d));
    }
    bool MakeDirectory(std::string_view d) override { return files_.MakeDirectory(Native(d)); }
    bool Exists(std::string_view p) override { return files_.Exists(Native(p)); }
    std::vector<Entry> List(std::string_view d, std::string_view suffix) override {
        return files_.List(Native(d), suffix);
    }
    bool CopyFileIfMissing(std::string_view, std::string_view) override { return false; }
    std::string ReadText(std::string_view f, std::string_view s, std::string_view k,
                         std::string_view d, std::size_t n) override {
        return profiles_.ReadText(Native(f), s, k, d, n);
    }
    std::int32_t ReadInt(std::string_view f, std::string_view s, std::string_view k,
                         std::int32_t d) override {
        return profiles_.ReadInt(Native(f), s, k, d);
    }
    bool WriteText(std::string_view f, std::string_view s, std::string_view k,
                   std::string_view v) override {
        return profiles_.WriteText(Native(f), s, k, v);
    }

  private:
    MemoryFileSystem& files_;
    MemoryProfileStore& profiles_;
};

TEST_F(MediaCatalogueTest, PathsUseThePlatformSeparator) {
    BackslashPlatform platform(files, profiles);
    Services services = InstallServices({});
    Services backslash = services;
    backslash.files = &platform;
    backslash.profiles = &platform;
    InstallServices(backslash);

    AddFile("Vinyl", Modifiable(1, 5, 1, "Blue"));
    int index = -1;
    const std::string windowsDir = "\\opt\\osactl\\Media";
    LoadMediaCatalogue(catalogue, index, "Vinyl", windowsDir);
    EXPECT_EQ(Names(catalogue), std::vector<std::string>{"Vinyl"});
    profiles.ClearWrites();
    SaveAllMediaFiles(catalogue, windowsDir + "\\"); // one separator, even so
    ASSERT_FALSE(profiles.Writes().empty());
    EXPECT_EQ(profiles.Writes().front().file, PathOf("Vinyl"));

    // A backslash is a separator here; the slash is refused everywhere.
    MediaRecord escape = catalogue.Records[0];
    profiles.ClearWrites();
    for (const char* name : {"..\\Escape", "..\\..\\Escape", "../Escape"}) {
        std::snprintf(escape.Name, sizeof escape.Name, "%s", name);
        SaveMediaFile(escape, windowsDir);
    }
    EXPECT_TRUE(profiles.Writes().empty());
    InstallServices(services);
}

// --- The media files shipped with the program --------------------------------

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(MediaCatalogueTest, ShippedMediaFilesAreTheBuiltInMediaMadeModifiable) {
    const std::filesystem::path source(OSA_MEDIA_SOURCE_DIR);
    int shipped = 0;
    for (const auto& entry : std::filesystem::directory_iterator(source)) {
        if (entry.path().extension() != ".hcf") continue;
        const std::string text = ReadWholeFile(entry.path());
        SCOPED_TRACE(entry.path().filename().string());
        // CRLF throughout, as the Windows profile functions write them.
        for (std::size_t at = text.find('\n'); at != std::string::npos;
             at = text.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "line end at " << at;
        files.AddFile(dir + "/" + entry.path().filename().string(), text);
        ++shipped;
    }
    EXPECT_EQ(shipped, 12);

    MediaCatalogue builtIn{};
    LoadBuiltInMedia(builtIn);
    EXPECT_EQ(Load("Vinyl Film"), 2);
    ASSERT_EQ(catalogue.Count, 12);
    EXPECT_EQ(catalogue.HighestListID, 11u);
    for (std::size_t i = 0; i < 12; ++i) {
        const MediaRecord& b = builtIn.Records[i];
        ExpectRecord(catalogue.Records[i],
                     {b.Name, b.ListID, MediaModifiable, 100 + static_cast<int>(i), b.DefaultSpeed,
                      b.DefaultForce, b.DefaultSpeed, b.DefaultForce, b.CutterOffset, b.Cap});
    }
}

} // namespace
} // namespace osa
