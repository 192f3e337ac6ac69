#include "host/file_service.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <system_error>

namespace host {

namespace fs = std::filesystem;

std::vector<std::string> SplitPluginPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) {
        parts.push_back(part);
    }
    return parts;
}

namespace {

bool IsAbsolutePluginPath(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') {
        return true; // drive letter
    }
    return !path.empty() && (path[0] == '/' || path[0] == '\\');
}

std::string Folded(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// The entry of `dir` whose name equals `part` ignoring case, or "". Listings are kept per
// directory and read again only when the directory changed, so that looking up many files
// that do not exist does not rescan a large folder each time.
std::string FindNameIgnoringCase(const fs::path& dir, const std::string& part) {
    struct Listing {
        fs::file_time_type stamp;
        std::map<std::string, std::string> names; // folded -> as on disk
    };
    static std::map<std::string, Listing> listings;
    std::error_code ec;
    const fs::file_time_type stamp = fs::last_write_time(dir, ec);
    if (ec) {
        return std::string();
    }
    Listing& listing = listings[dir.string()];
    if (listing.names.empty() || listing.stamp != stamp) {
        listing.names.clear();
        listing.stamp = stamp;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            listing.names.emplace(Folded(name), name);
        }
    }
    auto it = listing.names.find(Folded(part));
    return it == listing.names.end() ? std::string() : it->second;
}

} // namespace

fs::path FindIgnoringCase(const fs::path& base, const std::vector<std::string>& parts) {
    std::error_code ec;
    fs::path current = base;
    for (const std::string& part : parts) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            current = current.parent_path();
            continue;
        }
        fs::path exact = current / part;
        if (fs::exists(exact, ec)) {
            current = exact;
            continue;
        }
        const std::string name = FindNameIgnoringCase(current, part);
        if (name.empty()) {
            return fs::path();
        }
        current /= name;
    }
    return current;
}

HostFiles::HostFiles(Journal* journal, fs::path root) : journal_(journal), root_(std::move(root)) {}

HostFiles::~HostFiles() {
    for (auto& entry : open_) {
        std::fclose(entry.second);
    }
}

fs::path HostFiles::Resolve(const char* path) const {
    const std::string text = Bounded(path);
    if (text.empty()) {
        return fs::path();
    }
    const std::vector<std::string> parts = SplitPluginPath(text);
    if (IsAbsolutePluginPath(text)) {
#if defined(_WIN32)
        std::error_code ec;
        fs::path p(text);
        return fs::exists(p, ec) ? p : fs::path();
#else
        return FindIgnoringCase(fs::path("/"), parts);
#endif
    }
    fs::path found = FindIgnoringCase(root_, parts);
    if (!found.empty()) {
        return found;
    }
    std::error_code ec;
    return FindIgnoringCase(fs::current_path(ec), parts);
}

fs::path HostFiles::ResolveForWrite(const std::string& path) const {
    std::vector<std::string> parts = SplitPluginPath(path);
    if (parts.empty()) {
        return fs::path();
    }
    const std::string last = parts.back();
    parts.pop_back();
    fs::path parent = IsAbsolutePluginPath(path) ? FindIgnoringCase(fs::path("/"), parts)
                                                 : FindIgnoringCase(root_, parts);
    if (parent.empty()) {
        return fs::path();
    }
    fs::path existing = FindIgnoringCase(parent, {last});
    return existing.empty() ? parent / last : existing;
}

void HostFiles::FileClose(int32_t handle) {
    auto it = open_.find(handle);
    if (it == open_.end()) {
        journal_->Breach(Format("FMG FileClose(%d): no file is open under that handle", handle));
        return;
    }
    journal_->Record(Format("FMG FileClose(%d)", handle));
    std::fclose(it->second);
    open_.erase(it);
    openNames_.erase(handle);
}

int32_t HostFiles::FileOpen(const char* path) {
    const fs::path file = Resolve(path);
    std::error_code ec;
    std::FILE* f = nullptr;
    if (!file.empty() && fs::is_regular_file(file, ec)) {
        f = std::fopen(file.string().c_str(), "rb");
    }
    if (f == nullptr) {
        journal_->Record("FMG FileOpen(" + Quote(path) + ") -> -1 (no such file)");
        return -1;
    }
    const int32_t handle = nextHandle_++;
    open_[handle] = f;
    openNames_[handle] = Bounded(path);
    journal_->Record("FMG FileOpen(" + Quote(path) + ") -> " + std::to_string(handle));
    return handle;
}

int32_t HostFiles::FileRead(int32_t handle, void* buffer, int32_t count) {
    auto it = open_.find(handle);
    if (it == open_.end()) {
        journal_->Breach(Format("FMG FileRead(%d): no file is open under that handle", handle));
        return -1;
    }
    if (buffer == nullptr || count < 0) {
        journal_->Breach(Format("FMG FileRead(%d, %s, %d): no buffer or a negative count", handle,
                                buffer == nullptr ? "none" : "buffer", count));
        return -1;
    }
    const size_t n = std::fread(buffer, 1, static_cast<size_t>(count), it->second);
    journal_->Record(Format("FMG FileRead(%d, %d) -> %zu bytes", handle, count, n));
    return static_cast<int32_t>(n);
}

int32_t HostFiles::FileExists(const char* path, int32_t flag) {
    const fs::path file = Resolve(path);
    std::error_code ec;
    const int32_t result = !file.empty() && fs::is_regular_file(file, ec) ? 1 : 0;
    journal_->Record(Format("FMG FileExists(%s, %d) -> %d", Quote(path).c_str(), flag, result));
    return result;
}

void HostFiles::PushDirectory() {
    std::error_code ec;
    stack_.push_back(fs::current_path(ec));
    journal_->Record(Format("FMG PushDirectory (depth %zu)", stack_.size()));
}

void HostFiles::PopDirectory() {
    if (stack_.empty()) {
        journal_->Breach("FMG PopDirectory without a pushed directory");
        return;
    }
    std::error_code ec;
    fs::current_path(stack_.back(), ec);
    stack_.pop_back();
    journal_->Record(Format("FMG PopDirectory (depth %zu)", stack_.size()));
}

void HostFiles::CheckBalanced(const std::string& who) {
    for (auto& entry : open_) {
        journal_->Breach(Format("%s left file handle %d open (%s)", who.c_str(), entry.first,
                                openNames_[entry.first].c_str()));
        std::fclose(entry.second);
    }
    open_.clear();
    openNames_.clear();
    if (!stack_.empty()) {
        journal_->Breach(Format("%s pushed %zu director%s and did not pop %s", who.c_str(),
                                stack_.size(), stack_.size() == 1 ? "y" : "ies",
                                stack_.size() == 1 ? "it" : "them"));
        std::error_code ec;
        fs::current_path(stack_.front(), ec);
        stack_.clear();
    }
}

} // namespace host
