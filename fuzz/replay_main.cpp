// Runs a fuzz target's entry once per file of the corpus folders (or files)
// named on the command line, as libFuzzer does when given files; used where
// the build has no libFuzzer, so that the corpora are replayed as tests.
// Fails when a folder holds no input, so that a lost corpus is noticed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace {

bool ReadWhole(const std::filesystem::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...\n", argv[0]);
        return 2;
    }
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        const std::filesystem::path arg(argv[i]);
        std::vector<std::filesystem::path> inputs;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
            if (ec || inputs.empty()) {
                std::fprintf(stderr, "%s: no inputs in this folder\n", argv[i]);
                return 1;
            }
            std::sort(inputs.begin(), inputs.end());
        } else {
            inputs.push_back(arg);
        }
        for (const auto& path : inputs) {
            std::string bytes;
            if (!ReadWhole(path, bytes)) {
                std::fprintf(stderr, "%s: cannot read\n", path.string().c_str());
                return 1;
            }
            // Named first, so that the output of a failing test shows its input.
            std::fprintf(stderr, "%s\n", path.string().c_str());
            std::vector<std::uint8_t> copy(bytes.begin(), bytes.end()); // exact size for ASan
            LLVMFuzzerTestOneInput(copy.data(), copy.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return 0;
}
