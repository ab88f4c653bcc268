#include "tests/test_support.h"

#include "controller/res/resource_ids.h"
#include "controller/ui/cut_page.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace osa::test {

std::intptr_t MainStandIn(Window dialog, const DialogMessage& message) {
    if (message.msg == Msg::InitDialog) App().mainDialog = dialog.value;
    return 0;
}

void PageTest::SetUp() {
    CoreTest::SetUp();
    main = host.CreateDialog(ids::DlgMain, Window{}, MainStandIn, 0);
    page = host.CreateDialog(ids::DlgCutSettings, main, CutSettingsPageProc, 0);
    ASSERT_TRUE(page);
    cutter.writes.clear();
}

std::string MoveFrame(char bits) {
    return std::string("\x1b\x00", 2) + bits;
}

void InstallProgramFolder(MemoryFileSystem& files, const std::string& folder) {
    files.executablePath = folder + "/osactl";
    files.AddDirectory(folder + "/Media");
    for (const auto& entry : std::filesystem::directory_iterator(OSA_MEDIA_SOURCE_DIR)) {
        if (entry.path().extension() != ".hcf") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files.AddFile(folder + "/Media/" + entry.path().filename().string(),
                      std::string(std::istreambuf_iterator<char>(in), {}));
    }
}

} // namespace osa::test
