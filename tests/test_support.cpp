#include "tests/test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace osa::test {

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
