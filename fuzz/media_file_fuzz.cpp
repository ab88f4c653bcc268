// A media folder's files. The input's NUL-separated fields are pairs of a
// file name and its text, put into an in-memory folder. Loading must give a
// catalogue of valid records; saving it and loading again must give the
// same catalogue (nothing lost or changed by a round trip).
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "controller/settings/media_catalogue.h"
#include "fuzz/fuzz_input.h"
#include "platform/media_name_codec.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profile_store.h"
#include "platform/services.h"

namespace {

using namespace osa;

bool SameRecords(const MediaCatalogue& a, const MediaCatalogue& b) {
    if (a.Count != b.Count) return false;
    for (int i = 0; i < a.Count; ++i) {
        const MediaRecord& x = a.Records[static_cast<std::size_t>(i)];
        const MediaRecord& y = b.Records[static_cast<std::size_t>(i)];
        if (MediaName(x) != MediaName(y) || x.ListID != y.ListID ||
            x.ConfigurationMode != y.ConfigurationMode || x.ConditionNumber != y.ConditionNumber ||
            x.DefaultSpeed != y.DefaultSpeed || x.DefaultForce != y.DefaultForce ||
            x.AdjustedSpeed != y.AdjustedSpeed || x.AdjustedForce != y.AdjustedForce ||
            x.CutterOffset != y.CutterOffset || x.Cap != y.Cap)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view dir = "/program/Media";
    MemoryFileSystem files;
    MemoryProfileStore profiles{files};
    Utf8MediaNames names;
    Services services;
    services.files = &files;
    services.profiles = &profiles;
    services.mediaNames = &names;
    const Services previous = InstallServices(services);

    files.AddDirectory(dir);
    const std::vector<std::string_view> fields = fuzz::Fields(fuzz::AsText(data, size), '\0');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::string_view name = fields[i];
        if (name.empty() || name.find('/') != std::string_view::npos) continue;
        files.AddFile(std::string(dir) + "/" + std::string(name), fields[i + 1]);
    }

    MediaCatalogue first;
    int selected = -1;
    LoadMediaCatalogue(first, selected, fields[0], dir);
    OSA_FUZZ_REQUIRE(first.Count >= 0 && first.Count <= MaxMedia);
    OSA_FUZZ_REQUIRE(selected >= 0 && (selected < first.Count || selected == 0));
    for (int i = 0; i < first.Count; ++i) {
        const MediaRecord& r = first.Records[static_cast<std::size_t>(i)];
        OSA_FUZZ_REQUIRE(std::memchr(r.Name, '\0', sizeof r.Name) != nullptr);
        OSA_FUZZ_REQUIRE(MediaName(r).size() <= static_cast<std::size_t>(MaxMediaNameBytes));
        OSA_FUZZ_REQUIRE(r.ConfigurationMode >= MediaFixed && r.ConfigurationMode <= MediaUser);
        OSA_FUZZ_REQUIRE(r.AdjustedSpeed >= 1 && r.AdjustedSpeed <= 10);
        OSA_FUZZ_REQUIRE(r.AdjustedForce >= 1 && r.AdjustedForce <= 3);
        OSA_FUZZ_REQUIRE(r.Cap >= CapPen && r.Cap <= CapRed);
        OSA_FUZZ_REQUIRE(r.ListID <= first.HighestListID);
        if (i > 0)
            OSA_FUZZ_REQUIRE(first.Records[static_cast<std::size_t>(i) - 1].ListID <= r.ListID);
        for (int j = 0; j < i; ++j)
            OSA_FUZZ_REQUIRE(MediaName(first.Records[static_cast<std::size_t>(j)]) != MediaName(r));
    }

    SaveAllMediaFiles(first, dir);
    MediaCatalogue second;
    int selectedAgain = -1;
    LoadMediaCatalogue(second, selectedAgain, fields[0], dir);
    OSA_FUZZ_REQUIRE(SameRecords(first, second) && selectedAgain == selected);

    (void)InstallServices(previous);
    return 0;
}
