#include "platform/win32/win32_file_system.h"

#include "platform/ascii.h"

#include <string>

#include "platform/win32/win32_api.h"

#include <shlobj.h>

namespace osa::win32 {

namespace {

void LogFailure(const char* call, std::string_view path, DWORD error) {
    std::string line = "osactl: ";
    line += call;
    line += " ";
    line += path;
    line += ": error " + std::to_string(error) + "\n";
    OutputDebugStringA(line.c_str());
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string WithoutTrailingSeparator(std::string_view path) {
    std::string p(path);
    // Keep "C:\" and "\" whole: without it they would name something else.
    while (p.size() > 1 && IsSeparator(p.back()) && !(p.size() == 3 && p[1] == ':'))
        p.pop_back();
    return p;
}

std::string Child(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && !IsSeparator(out.back())) out.push_back('\\');
    out.append(name);
    return out;
}

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectories(const std::string& dir, int depth) {
    if (dir.empty() || depth > 256) return false;
    if (CreateDirectoryA(dir.c_str(), nullptr)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return IsDirectory(dir);
    if (error == ERROR_PATH_NOT_FOUND) {
        const std::size_t cut = dir.find_last_of("\\/");
        if (cut != std::string::npos && cut > 0) {
            const std::string parent = WithoutTrailingSeparator(dir.substr(0, cut + 1));
            if (parent != dir && MakeDirectories(parent, depth + 1)) {
                if (CreateDirectoryA(dir.c_str(), nullptr)) return true;
                error = GetLastError();
                if (error == ERROR_ALREADY_EXISTS) return IsDirectory(dir);
            }
        }
    }
    LogFailure("CreateDirectoryA", dir, error);
    return false;
}

// Owns a directory search handle.
class FindHandle {
  public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

} // namespace

std::string Win32FileSystem::ExecutablePath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            LogFailure("GetModuleFileNameA", "", GetLastError());
            return {};
        }
        if (n < buffer.size()) { // fits, with its NUL
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() >= 32768) return {}; // cut: no usable path
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32FileSystem::UserDataDirectory() {
    char path[MAX_PATH] = {};
    const HRESULT hr = SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    if (FAILED(hr) || path[0] == '\0') {
        LogFailure("SHGetFolderPathA", "CSIDL_APPDATA", static_cast<DWORD>(hr));
        return {};
    }
    return Child(path, "OSACTL");
}

bool Win32FileSystem::IsDirectoryWritable(std::string_view dir) {
    const std::string d = WithoutTrailingSeparator(dir);
    if (d.empty() || !IsDirectory(d)) return false;
    char scratch[MAX_PATH] = {};
    // Fails for a folder path longer than MAX_PATH - 14: such a folder is
    // taken as not writable, and the user's folder is used instead.
    if (GetTempFileNameA(d.c_str(), "osa", 0, scratch) == 0) return false;
    // Wine returns a name even when the file could not be created (a
    // read-only folder): writable only if the file is really there.
    if (GetFileAttributesA(scratch) == INVALID_FILE_ATTRIBUTES) return false;
    DeleteFileA(scratch);
    return true;
}

bool Win32FileSystem::MakeDirectory(std::string_view dir) {
    return MakeDirectories(WithoutTrailingSeparator(dir), 0);
}

bool Win32FileSystem::Exists(std::string_view path) {
    return !path.empty() &&
           GetFileAttributesA(std::string(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<FileSystem::Entry> Win32FileSystem::List(std::string_view dir,
                                                     std::string_view suffix) {
    std::vector<Entry> out;
    if (dir.empty()) return out;
    WIN32_FIND_DATAA data{};
    const FindHandle find(FindFirstFileA(Child(dir, "*").c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE) return out;
    do {
        const std::string_view name(data.cFileName);
        if (name == "." || name == ".." || !ascii::EndsWithNoCase(name, suffix)) continue;
        out.push_back(
            Entry{std::string(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find.Get(), &data));
    return out;
}

bool Win32FileSystem::CopyFileIfMissing(std::string_view from, std::string_view to) {
    const std::string target(to);
    if (target.empty()) return false;
    if (const DWORD attributes = GetFileAttributesA(target.c_str());
        attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!CopyFileA(std::string(from).c_str(), target.c_str(), TRUE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS) return true; // made meanwhile: never replaced
        LogFailure("CopyFileA", target, error);
        return false;
    }
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(target.c_str(),
                           attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    return true;
}

} // namespace osa::win32
