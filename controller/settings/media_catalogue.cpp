// The catalogue's operations in the order of a run: the built-in table or
// the media folder at start-up, the Add Media rule during the run, the media
// files written back at close.
#include "controller/settings/media_catalogue.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "controller/res/resources.h"
#include "controller/ui/confirm_box.h"
#include "platform/services.h"

namespace osa {

namespace {

constexpr std::string_view kExtension = ".hcf";
constexpr std::string_view kProduct = "Ostrandel Controller Ver2";
constexpr std::string_view kType = "Ostrandel";
constexpr std::string_view kMissingText = "Error";
constexpr std::size_t kTextBuffer = 512; // room for a profile text value
constexpr std::size_t kBuiltInNameBuffer = 64;
constexpr std::int32_t kMissing = -1;
constexpr std::uint32_t kFirstUserListID = 100;
constexpr std::int32_t kFirstFileCondition = 100;

constexpr std::string_view kGeneric = "Generic";
constexpr std::string_view kDefaults = "Defaults";
constexpr std::string_view kModify = "Modify";
constexpr std::string_view kUser = "User";

// The cap texts by Cap value; the pen needs no blade offset.
constexpr std::string_view kCapTexts[] = {"Pen", "Blue", "Yellow", "Red"};
constexpr std::int32_t kPenOffset = 0;
constexpr std::int32_t kBladeOffset = 18;

struct BuiltIn {
    std::int32_t force;
    std::int32_t cutterOffset;
    std::int32_t cap;
};

// Rows of the built-in table; row i is named by string 2200 + i.
constexpr int kFirstBuiltInName = 2200;
constexpr BuiltIn kBuiltIn[] = {
    {3, kBladeOffset, CapYellow}, // Card without Craft Paper Backing
    {3, kBladeOffset, CapYellow}, // Card with Craft Paper Backing
    {2, kBladeOffset, CapBlue},   // Vinyl Film
    {2, kBladeOffset, CapBlue},   // Paper Labels
    {3, kBladeOffset, CapBlue},   // Film Labels
    {3, kBladeOffset, CapYellow}, // Magnetic Sheet
    {3, kBladeOffset, CapBlue},   // Metallic Labels, Gold
    {3, kBladeOffset, CapBlue},   // Metallic Labels, Silver
    {3, kBladeOffset, CapBlue},   // Glow-in-the-dark Labels
    {3, kBladeOffset, CapYellow}, // Thick Media
    {1, kBladeOffset, CapBlue},   // Thin Media
    {2, kPenOffset, CapPen},      // Pen
};
constexpr std::int32_t kBuiltInSpeed = 10;

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}
bool ValidSpeed(std::int32_t speed) {
    return InRange(speed, 1, 10);
}
bool ValidForce(std::int32_t force) {
    return InRange(force, 1, 3);
}

// The Cap value of a cap text (exact bytes), or -1. `allowPen` is false for
// user media, which always cut with a blade.
std::int32_t CapFromText(std::string_view text, bool allowPen) {
    for (std::int32_t cap = allowPen ? CapPen : CapBlue; cap <= CapRed; ++cap)
        if (text == kCapTexts[cap]) return cap;
    return -1;
}

std::int32_t OffsetOfCap(std::int32_t cap) {
    return cap == CapPen ? kPenOffset : kBladeOffset;
}

void SetName(MediaRecord& record, std::string_view name) {
    std::memset(record.Name, 0, sizeof record.Name);
    const std::size_t n = std::min(name.size(), static_cast<std::size_t>(MaxMediaNameBytes));
    std::memcpy(record.Name, name.data(), n);
}

// "<dir><separator><name>.hcf"; one separator even when `dir` ends in one.
std::string MediaFilePath(std::string_view dir, std::string_view name) {
    const char separator = Files().PathSeparator();
    std::string path(dir);
    if (path.empty() || path.back() != separator) path += separator;
    path += name;
    path += kExtension;
    return path;
}

// A name written into a path must stay a file name inside the folder.
bool StaysInFolder(std::string_view name) {
    const char separator = Files().PathSeparator();
    return name.find('/') == std::string_view::npos &&
           name.find(separator) == std::string_view::npos;
}

// The file name up to its last ".", which begins the extension.
std::string_view BaseName(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

// The one file of medium `name` in `dir`, for reading and for writing alike:
// "<name>.hcf" when it exists (where the file system ignores case, whatever
// the case of its extension); else a file of that name whose extension is
// ".hcf" in other letters (a folder copied from Windows, "Vinyl.HCF"); else
// "<name>.hcf", a new file. So a medium never has two files, and a file with
// an upper-case extension is read and written where it is.
std::string MediaFileOf(std::string_view dir, std::string_view name) {
    std::string exact = MediaFilePath(dir, name);
    if (Files().Exists(exact)) return exact;
    for (const FileSystem::Entry& entry : Files().List(dir, kExtension)) {
        if (entry.directory || entry.name.size() != name.size() + kExtension.size() ||
            BaseName(entry.name) != name)
            continue;
        std::string path = exact.substr(0, exact.size() - entry.name.size());
        return path + entry.name;
    }
    return exact;
}

std::string ReadText(const std::string& file, std::string_view section, std::string_view key) {
    return Profiles().ReadText(file, section, key, kMissingText, kTextBuffer);
}

std::int32_t ReadInt(const std::string& file, std::string_view section, std::string_view key,
                     std::int32_t defaultValue) {
    return Profiles().ReadInt(file, section, key, defaultValue);
}

// Reads one media file into `record`; false when the file breaks a rule.
bool ReadMediaFile(const std::string& file, std::string_view name, MediaRecord& record) {
    if (ReadText(file, kGeneric, "Product") != kProduct) return false;
    if (ReadText(file, kGeneric, "Type") != kType) return false;
    const auto listId = static_cast<std::uint32_t>(ReadInt(file, kGeneric, "ListID", kMissing));
    const std::int32_t mode = ReadInt(file, kGeneric, "ConfigurationMode", kMissing);
    if (mode != MediaFixed && mode != MediaModifiable && mode != MediaUser) return false;

    MediaRecord r{};
    SetName(r, name);
    r.ListID = listId;
    r.ConfigurationMode = mode;
    if (mode == MediaUser) {
        // Only the User section counts; Defaults and Modify are not read.
        const std::int32_t speed = ReadInt(file, kUser, "Speed", kMissing);
        const std::int32_t force = ReadInt(file, kUser, "Force", kMissing);
        if (!ValidSpeed(speed) || !ValidForce(force)) return false;
        const std::int32_t cap = CapFromText(ReadText(file, kUser, "Cap"), false);
        if (cap < 0) return false;
        r.AdjustedSpeed = speed;
        r.AdjustedForce = force;
        r.Cap = cap;
    } else {
        const std::int32_t speed = ReadInt(file, kDefaults, "Speed", kMissing);
        const std::int32_t force = ReadInt(file, kDefaults, "Force", kMissing);
        if (!ValidSpeed(speed) || !ValidForce(force)) return false;
        const std::int32_t cap = CapFromText(ReadText(file, kDefaults, "Cap"), true);
        if (cap < 0) return false;
        r.DefaultSpeed = speed;
        r.DefaultForce = force;
        r.AdjustedSpeed = speed;
        r.AdjustedForce = force;
        r.Cap = cap;
        if (mode == MediaModifiable) {
            // An adjustment out of range falls back to the standard value.
            const std::int32_t modSpeed = ReadInt(file, kModify, "Speed", speed);
            const std::int32_t modForce = ReadInt(file, kModify, "Force", force);
            if (ValidSpeed(modSpeed)) r.AdjustedSpeed = modSpeed;
            if (ValidForce(modForce)) r.AdjustedForce = modForce;
        }
    }
    r.CutterOffset = OffsetOfCap(r.Cap);
    record = r;
    return true;
}

void WriteText(const std::string& file, std::string_view section, std::string_view key,
               std::string_view value) {
    // A failed write leaves the old file; nothing is reported.
    (void)Profiles().WriteText(file, section, key, value);
}

void WriteInt(const std::string& file, std::string_view section, std::string_view key,
              std::int32_t value) {
    WriteText(file, section, key, std::to_string(value));
}

// Windows opens a device, not a file, for "CON.hcf", "COM1.hcf" and the
// like: the part before the first dot, without trailing spaces, names a
// device whatever the case and the extension.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    std::string upper(stem);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

} // namespace

std::string_view MediaName(const MediaRecord& record) {
    const auto* end = static_cast<const char*>(std::memchr(record.Name, '\0', sizeof record.Name));
    return {record.Name, end ? static_cast<std::size_t>(end - record.Name) : sizeof record.Name};
}

void ClearMediaCatalogue(MediaCatalogue& catalogue) {
    catalogue.Count = 0;
    catalogue.HighestListID = 0;
    catalogue.Records.fill(MediaRecord{});
}

void LoadBuiltInMedia(MediaCatalogue& catalogue) {
    ClearMediaCatalogue(catalogue);
    int i = 0;
    for (const BuiltIn& row : kBuiltIn) {
        MediaRecord& r = catalogue.Records[static_cast<std::size_t>(i)];
        const std::string_view name = res::LoadString(kFirstBuiltInName + i);
        SetName(r, name.substr(0, kBuiltInNameBuffer - 1));
        r.ListID = static_cast<std::uint32_t>(i);
        r.ConfigurationMode = MediaFixed;
        r.ConditionNumber = i + 1;
        r.DefaultSpeed = kBuiltInSpeed;
        r.DefaultForce = row.force;
        r.CutterOffset = row.cutterOffset;
        r.Cap = row.cap;
        ++i;
    }
    catalogue.Count = i;
    catalogue.HighestListID = static_cast<std::uint32_t>(i - 1);
}

void LoadMediaCatalogue(MediaCatalogue& catalogue, int& selectedIndex,
                        std::string_view selectedName, std::string_view mediaDir) {
    ClearMediaCatalogue(catalogue);
    selectedIndex = 0;
    // Without a folder the paths below would name files at the root.
    if (mediaDir.empty()) return;

    for (const FileSystem::Entry& entry : Files().List(mediaDir, kExtension)) {
        if (entry.directory) continue;
        const std::string_view name = BaseName(entry.name);
        if (name.size() > static_cast<std::size_t>(MaxMediaNameBytes)) continue;
        // "X.hcf" beside "X.HCF" is one medium, read from its one file.
        int known = 0;
        std::uint32_t unusedId = 0;
        std::int32_t unusedMode = 0;
        if (FindMediaByName(catalogue, name, known, unusedId, unusedMode)) continue;
        MediaRecord& slot = catalogue.Records[static_cast<std::size_t>(catalogue.Count)];
        if (!ReadMediaFile(MediaFileOf(mediaDir, name), name, slot)) continue;
        catalogue.HighestListID = std::max(catalogue.HighestListID, slot.ListID);
        if (++catalogue.Count == MaxMedia) break;
    }

    SortMediaByListID(catalogue);
    for (int i = 0; i < catalogue.Count; ++i) {
        MediaRecord& r = catalogue.Records[static_cast<std::size_t>(i)];
        r.ConditionNumber = kFirstFileCondition + i;
        if (MediaName(r) == selectedName) selectedIndex = i;
    }
}

void SortMediaByListID(MediaCatalogue& catalogue) {
    auto& records = catalogue.Records;
    const auto count = static_cast<std::size_t>(std::clamp(catalogue.Count, 0, MaxMedia));
    for (std::size_t i = 0; i + 1 < count; ++i) {
        std::size_t m = i;
        for (std::size_t j = i + 1; j < count; ++j)
            if (records[j].ListID < records[m].ListID) m = j; // the first minimum stays
        if (m != i) std::swap(records[i], records[m]);
    }
}

bool FindMediaByName(const MediaCatalogue& catalogue, std::string_view name, int& index,
                     std::uint32_t& listId, std::int32_t& configurationMode) {
    for (int i = 0; i < catalogue.Count && i < MaxMedia; ++i) {
        const MediaRecord& r = catalogue.Records[static_cast<std::size_t>(i)];
        if (MediaName(r) != name) continue;
        index = i;
        listId = r.ListID;
        configurationMode = r.ConfigurationMode;
        return true;
    }
    return false;
}

void SaveMediaFile(const MediaRecord& record, std::string_view mediaDir) {
    const std::int32_t mode = record.ConfigurationMode;
    if (mode != MediaModifiable && mode != MediaUser) return;
    const std::string_view name = MediaName(record);
    if (mediaDir.empty() || !StaysInFolder(name)) return;
    // A cap without a text for its mode would leave a file the next start
    // rejects; the old file is better kept as it is.
    const std::int32_t lowestCap = mode == MediaUser ? CapBlue : CapPen;
    if (!InRange(record.Cap, lowestCap, CapRed)) return;

    const std::string file = MediaFileOf(mediaDir, name);
    WriteText(file, kGeneric, "Product", kProduct);
    WriteText(file, kGeneric, "Type", kType);
    WriteInt(file, kGeneric, "ListID", static_cast<std::int32_t>(record.ListID));
    WriteInt(file, kGeneric, "ConfigurationMode", mode);
    const std::string_view capText = kCapTexts[record.Cap];
    if (mode == MediaModifiable) {
        WriteInt(file, kDefaults, "Speed", record.DefaultSpeed);
        WriteInt(file, kDefaults, "Force", record.DefaultForce);
        WriteText(file, kDefaults, "Cap", capText);
        WriteInt(file, kModify, "Speed", record.AdjustedSpeed);
        WriteInt(file, kModify, "Force", record.AdjustedForce);
    } else {
        WriteInt(file, kUser, "Speed", record.AdjustedSpeed);
        WriteInt(file, kUser, "Force", record.AdjustedForce);
        WriteText(file, kUser, "Cap", capText);
    }
}

void SaveAllMediaFiles(const MediaCatalogue& catalogue, std::string_view mediaDir) {
    for (int i = 0; i < catalogue.Count && i < MaxMedia; ++i)
        SaveMediaFile(catalogue.Records[static_cast<std::size_t>(i)], mediaDir);
}

bool IsUsableMediaName(std::string_view name) {
    if (name.size() > static_cast<std::size_t>(MaxMediaNameBytes)) return false;
    constexpr std::string_view kRefused = "\\/:*?\"<>|";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        // Control bytes cannot be part of a Windows file name.
        if (byte < 0x20 || kRefused.find(c) != std::string_view::npos) return false;
    }
    return !IsDeviceName(name);
}

ResultCode AddUserMedium(MediaCatalogue& catalogue, const NewMedium& medium,
                         std::string_view mediaDir, Window owner, MediumChange& change,
                         int& position) {
    change = MediumChange::None;
    if (!IsUsableMediaName(medium.name)) return rc::MediaNameRefused;

    int found = 0;
    std::uint32_t listId = 0;
    std::int32_t mode = 0;
    if (FindMediaByName(catalogue, medium.name, found, listId, mode)) {
        if (mode != MediaUser) return rc::MediaNameRefused;
        if (!ConfirmBox(owner, confirm::UpdateMedium)) return rc::Ok;
        // Name, ListID, mode, condition number and the defaults stay; the
        // file is rewritten when the controller closes.
        MediaRecord& r = catalogue.Records[static_cast<std::size_t>(found)];
        r.AdjustedSpeed = medium.speed;
        r.AdjustedForce = medium.force;
        r.CutterOffset = medium.cutterOffset;
        r.Cap = medium.cap;
        change = MediumChange::Updated;
        position = found;
        return rc::Ok;
    }

    if (catalogue.Count >= MaxMedia) return rc::MediaCatalogueFull;
    // A valid media file of that name that the list does not hold (one beyond
    // the first 128, or another medium's file on a file system that ignores
    // case) would be merged with the new medium's keys and lost as itself.
    // A file the loader rejected may be overwritten: it is no medium.
    MediaRecord onDisk{};
    if (!mediaDir.empty() && ReadMediaFile(MediaFileOf(mediaDir, medium.name), medium.name, onDisk))
        return rc::MediaNameRefused;

    const int at = catalogue.Count++;
    if (catalogue.HighestListID < kFirstUserListID)
        catalogue.HighestListID = kFirstUserListID;
    else if (catalogue.HighestListID + 1 != 0)
        ++catalogue.HighestListID;

    MediaRecord& r = catalogue.Records[static_cast<std::size_t>(at)];
    r = MediaRecord{};
    SetName(r, medium.name);
    r.ListID = catalogue.HighestListID;
    r.ConfigurationMode = MediaUser;
    r.ConditionNumber = kFirstFileCondition + at;
    r.AdjustedSpeed = medium.speed;
    r.AdjustedForce = medium.force;
    r.CutterOffset = medium.cutterOffset;
    r.Cap = medium.cap;
    SaveMediaFile(r, mediaDir);
    change = MediumChange::Appended;
    position = at;
    return rc::Ok;
}

} // namespace osa
