// MEM: the shell's memory service. Every block is accounted to the module tag it was asked for
// (at most 7 characters, compared exactly), so the shell can say which module still holds what.
//
// Allocate gives an uncleared block (filled with 0xCD so that code relying on cleared memory
// shows its fault), or none when the size is 0 or a fault injection says so. Free of a block this
// service never gave out (or gave out and took back) is refused and reported as a breach, never
// passed to the C heap. ReleaseTag reports every block still live under the tag as a breach but
// frees nothing: a plug-in's static objects may still point at them; everything left is freed
// when the service is destroyed.
//
// Blocks that a plug-in added to a document the shell lent it belong to the shell once the
// document is given back: Retag moves them to the host's own tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "framework/contract.h"
#include "host/journal.h"

namespace host {

constexpr const char* kHostTag = "HOST";

class HostMemory final : public MemoryService {
public:
    explicit HostMemory(Journal* journal);
    ~HostMemory();
    HostMemory(const HostMemory&) = delete;
    HostMemory& operator=(const HostMemory&) = delete;

    void* Allocate(uint32_t size, int32_t zero1, int32_t zero2, const char* tag) override;
    void Free(void* block) override;
    void ReleaseTag(const char* tag) override;

    struct TagUse {
        size_t liveBlocks = 0;
        size_t liveBytes = 0;
        size_t allocations = 0; // ever
        size_t frees = 0;       // ever
    };
    TagUse Use(const std::string& tag) const;
    // Tags that have live blocks, other than the host's own.
    std::vector<std::string> TagsWithLiveBlocks() const;
    // Live blocks under `tag` that no ReleaseTag has reported yet, described one a line; marks
    // them reported.
    std::vector<std::string> TakeUnreportedLive(const std::string& tag);
    // 1 when `block` is live (it then changes to `tag`), 0 otherwise.
    int Retag(const void* block, const char* tag);
    int IsLive(const void* block) const;

    // Fault injection: the n-th allocation under `tag` from now fails (1 = the next); 0 disables.
    void FailAllocation(const std::string& tag, size_t n);

    // Counts of Allocate / Free calls from modules other than the host since the last call; the
    // driver turns them into one journal line per step instead of one line per block.
    std::string TakeActivity();
    // The tag of the last allocation by a module other than the host ("" before any).
    const std::string& LastClientTag() const { return lastClientTag_; }

private:
    struct Block {
        size_t size;
        std::string tag;
        size_t serial;
        bool reported;
    };
    Journal* journal_;
    std::map<const void*, Block> blocks_;
    std::map<std::string, TagUse> use_;
    size_t serial_ = 0;
    std::string lastClientTag_;
    std::string failTag_;
    size_t failCountdown_ = 0;
    std::map<std::string, std::pair<size_t, size_t>> activity_; // tag -> allocs, frees
};

// A tag as the plug-ins store it: at most 7 characters, cut at the first NUL.
std::string TagText(const char* tag);

} // namespace host
