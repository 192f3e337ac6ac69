// FMG: files and directories of the game folder.
//
// Paths from a plug-in are Windows-style ("pilots\Pilot001.plt") and are accepted on every OS:
// "\" and "/" both separate, letter case is ignored as on Windows (on POSIX each component is
// matched ignoring case when the exact name is absent). A relative path is taken against the game
// folder root first and the process's current directory second; an absolute path as it is.
//
// Handles are small integers from 1 up; an unknown handle is a breach, never a crash. Files left
// open and directories pushed but not popped are reported by the checker when the screen ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "framework/contract.h"
#include "host/journal.h"

namespace host {

class HostFiles final : public FileService {
public:
    HostFiles(Journal* journal, std::filesystem::path root);
    ~HostFiles();
    HostFiles(const HostFiles&) = delete;
    HostFiles& operator=(const HostFiles&) = delete;

    void FileClose(int32_t handle) override;
    int32_t FileOpen(const char* path) override;
    int32_t FileRead(int32_t handle, void* buffer, int32_t count) override;
    int32_t FileExists(const char* path, int32_t flag) override;
    void PushDirectory() override;
    void PopDirectory() override;

    // The existing file or directory a plug-in path names, or empty when there is none.
    std::filesystem::path Resolve(const char* path) const;
    // Where a plug-in path would be created (the existing parent resolved, the last part as
    // given); for the host's own expectations and views.
    std::filesystem::path ResolveForWrite(const std::string& path) const;

    size_t PushDepth() const { return stack_.size(); }
    size_t OpenFiles() const { return open_.size(); }
    // Closes what is still open and pops what is still pushed, reporting each as a breach under
    // `who`; the working directory is restored.
    void CheckBalanced(const std::string& who);

    const std::filesystem::path& Root() const { return root_; }

private:
    Journal* journal_;
    std::filesystem::path root_;
    std::map<int32_t, std::FILE*> open_;
    std::map<int32_t, std::string> openNames_;
    int32_t nextHandle_ = 1;
    std::vector<std::filesystem::path> stack_;
};

// "a\\b/c" -> parts {"a","b","c"}; empty parts dropped.
std::vector<std::string> SplitPluginPath(const std::string& path);
// Finds `relative` under `base` component by component, ignoring letter case where the exact name
// is absent. Empty when a component is missing.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& base,
                                       const std::vector<std::string>& parts);

} // namespace host
