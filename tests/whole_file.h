// Whole-file reads and writes for tests on real files, on every platform.
#pragma once
#include <fstream>
#include <sstream>
#include <string>

namespace osa::test {

// The file's bytes; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

} // namespace osa::test
