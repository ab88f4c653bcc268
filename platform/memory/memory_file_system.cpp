#include "platform/memory/memory_file_system.h"

#include "platform/ascii.h"

namespace osa {

namespace {

std::string Normalise(std::string_view path) {
    std::string p(path);
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

std::string_view NameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string MemoryParentOf(std::string_view path) {
    const std::string p = Normalise(path);
    const std::size_t slash = p.rfind('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

MemoryFileSystem::MemoryFileSystem() {
    nodes_.push_back(Node{"/", true, true, {}});
}

MemoryFileSystem::Node* MemoryFileSystem::Find(std::string_view path) {
    const std::string p = Normalise(path);
    for (Node& node : nodes_)
        if (node.path == p) return &node;
    return nullptr;
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(std::string_view path) const {
    const std::string p = Normalise(path);
    for (const Node& node : nodes_)
        if (node.path == p) return &node;
    return nullptr;
}

void MemoryFileSystem::AddDirectory(std::string_view path, bool writable) {
    const std::string p = Normalise(path);
    if (p.empty() || p.front() != '/') return;
    if (Node* node = Find(p)) {
        if (node->directory) node->writable = writable;
        return;
    }
    const std::string parent = MemoryParentOf(p);
    if (!IsDirectory(parent)) AddDirectory(parent, true);
    nodes_.push_back(Node{p, true, writable, {}});
}

void MemoryFileSystem::AddFile(std::string_view path, std::string_view contents) {
    const std::string p = Normalise(path);
    if (p.empty() || p.front() != '/' || p == "/") return;
    if (Node* node = Find(p)) {
        if (!node->directory) node->contents = std::string(contents);
        return;
    }
    const std::string parent = MemoryParentOf(p);
    if (!IsDirectory(parent)) AddDirectory(parent, true);
    nodes_.push_back(Node{p, false, true, std::string(contents)});
}

void MemoryFileSystem::SetWritable(std::string_view dir, bool writable) {
    if (Node* node = Find(dir); node != nullptr && node->directory) node->writable = writable;
}

bool MemoryFileSystem::RemoveFile(std::string_view path) {
    const std::string p = Normalise(path);
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->path == p && !it->directory) {
            nodes_.erase(it);
            return true;
        }
    }
    return false;
}

std::optional<std::string> MemoryFileSystem::FileContents(std::string_view path) const {
    const Node* node = Find(path);
    if (node == nullptr || node->directory) return std::nullopt;
    return node->contents;
}

bool MemoryFileSystem::IsDirectory(std::string_view path) const {
    const Node* node = Find(path);
    return node != nullptr && node->directory;
}

bool MemoryFileSystem::ParentWritable(std::string_view path) const {
    const Node* parent = Find(MemoryParentOf(path));
    return parent != nullptr && parent->directory && parent->writable;
}

void MemoryFileSystem::FailChange(int n, bool persistent) {
    failAt_ = n > 0 ? changes_ + n : 0;
    failPersistent_ = persistent;
}

bool MemoryFileSystem::ChangeAllowed(const std::string& what) {
    ++changes_;
    const bool fail =
        failAt_ != 0 && (changes_ == failAt_ || (failPersistent_ && changes_ > failAt_));
    log_.push_back(fail ? what + " (failed)" : what);
    return !fail;
}

bool MemoryFileSystem::WriteFile(std::string_view path, std::string_view contents) {
    const std::string p = Normalise(path);
    if (!ChangeAllowed("write " + p)) return false;
    if (p.empty() || p.front() != '/' || !ParentWritable(p)) return false;
    if (Node* node = Find(p)) {
        if (node->directory) return false;
        node->contents = std::string(contents);
        return true;
    }
    nodes_.push_back(Node{p, false, true, std::string(contents)});
    return true;
}

bool MemoryFileSystem::IsDirectoryWritable(std::string_view dir) {
    const Node* node = Find(dir);
    return node != nullptr && node->directory && node->writable;
}

bool MemoryFileSystem::MakeDirectory(std::string_view dir) {
    const std::string p = Normalise(dir);
    if (const Node* node = Find(p)) return node->directory;
    if (p.empty() || p.front() != '/') return false;
    if (!ChangeAllowed("mkdir " + p)) return false;
    // Missing parent folders are made on the way, each in a writable parent.
    std::vector<std::string> missing{p};
    for (std::string parent = MemoryParentOf(p); Find(parent) == nullptr;
         parent = MemoryParentOf(parent))
        missing.push_back(parent);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!ParentWritable(*it)) return false;
        nodes_.push_back(Node{*it, true, true, {}});
    }
    return true;
}

bool MemoryFileSystem::Exists(std::string_view path) {
    return Find(path) != nullptr;
}

std::vector<FileSystem::Entry> MemoryFileSystem::List(std::string_view dir,
                                                      std::string_view suffix) {
    std::vector<Entry> out;
    const std::string d = Normalise(dir);
    if (!IsDirectory(d)) return out;
    for (const Node& node : nodes_) {
        if (node.path == "/" || MemoryParentOf(node.path) != d) continue;
        const std::string_view name = NameOf(node.path);
        if (ascii::EndsWithNoCase(name, suffix))
            out.push_back(Entry{std::string(name), node.directory});
    }
    return out;
}

bool MemoryFileSystem::CopyFileIfMissing(std::string_view from, std::string_view to) {
    if (Exists(to)) return !IsDirectory(to);
    const std::optional<std::string> source = FileContents(from);
    const std::string p = Normalise(to);
    if (!ChangeAllowed("copy " + Normalise(from) + " -> " + p)) return false;
    if (!source || p.empty() || p.front() != '/' || !ParentWritable(p)) return false;
    nodes_.push_back(Node{p, false, true, *source});
    return true;
}

} // namespace osa
