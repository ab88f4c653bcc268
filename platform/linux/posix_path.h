// Splitting '/'-separated paths, shared by the Linux file services.
#pragma once
#include <string>

namespace osa::posix {

// The folder part of `path`: "." when it has none, "/" for the root.
inline std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The last component of `path`.
inline std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace osa::posix
