#include "host/memory_service.h"

#include <cstdlib>
#include <cstring>

namespace host {

std::string TagText(const char* tag) {
    return Bounded(tag, 7);
}

HostMemory::HostMemory(Journal* journal) : journal_(journal) {}

HostMemory::~HostMemory() {
    for (auto& entry : blocks_) {
        std::free(const_cast<void*>(entry.first));
    }
}

void* HostMemory::Allocate(uint32_t size, int32_t zero1, int32_t zero2, const char* tag) {
    const std::string name = TagText(tag);
    if (zero1 != 0 || zero2 != 0) {
        journal_->Record(Format("MEM Allocate(%u, %d, %d, %s): the two flags are always 0", size,
                                zero1, zero2, name.c_str()));
    }
    if (!failTag_.empty() && failTag_ == name && failCountdown_ > 0) {
        if (--failCountdown_ == 0) {
            failTag_.clear();
            journal_->Record(
                Format("MEM Allocate(%u) under %s -> none (injected failure)", size, name.c_str()));
            return nullptr;
        }
    }
    if (size == 0) {
        return nullptr;
    }
    void* block = std::malloc(size);
    if (block == nullptr) {
        return nullptr;
    }
    std::memset(block, 0xCD, size);
    blocks_[block] = Block{size, name, ++serial_, false};
    TagUse& u = use_[name];
    u.liveBlocks++;
    u.liveBytes += size;
    u.allocations++;
    if (name != kHostTag) {
        activity_[name].first++;
        lastClientTag_ = name;
    }
    return block;
}

void HostMemory::Free(void* block) {
    if (block == nullptr) {
        return;
    }
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
        journal_->Breach("MEM Free of a block the shell did not give out or already took back");
        return;
    }
    TagUse& u = use_[it->second.tag];
    u.liveBlocks--;
    u.liveBytes -= it->second.size;
    u.frees++;
    if (it->second.tag != kHostTag) {
        activity_[it->second.tag].second++;
    }
    blocks_.erase(it);
    std::free(block);
}

void HostMemory::ReleaseTag(const char* tag) {
    const std::string name = TagText(tag);
    if (name != kHostTag) {
        journal_->Record("MEM ReleaseTag(" + name + ")");
    }
    for (const std::string& line : TakeUnreportedLive(name)) {
        journal_->Breach("tagged memory still live at ReleaseTag(" + name + "): " + line);
    }
}

HostMemory::TagUse HostMemory::Use(const std::string& tag) const {
    auto it = use_.find(tag);
    return it == use_.end() ? TagUse{} : it->second;
}

std::vector<std::string> HostMemory::TagsWithLiveBlocks() const {
    std::vector<std::string> tags;
    for (const auto& entry : use_) {
        if (entry.first != kHostTag && entry.second.liveBlocks > 0) {
            tags.push_back(entry.first);
        }
    }
    return tags;
}

std::vector<std::string> HostMemory::TakeUnreportedLive(const std::string& tag) {
    std::vector<std::string> out;
    size_t count = 0;
    size_t bytes = 0;
    std::string sample;
    for (auto& entry : blocks_) {
        Block& b = entry.second;
        if (b.tag != tag || b.reported) {
            continue;
        }
        b.reported = true;
        count++;
        bytes += b.size;
        if (count <= 5) {
            sample += Format("%s#%zu (%zu bytes)", sample.empty() ? "" : ", ", b.serial, b.size);
        }
    }
    if (count > 0) {
        out.push_back(Format("%zu block(s), %zu bytes: %s%s", count, bytes, sample.c_str(),
                             count > 5 ? ", ..." : ""));
    }
    return out;
}

int HostMemory::Retag(const void* block, const char* tag) {
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
        return 0;
    }
    const std::string name = TagText(tag);
    Block& b = it->second;
    if (b.tag == name) {
        return 1;
    }
    TagUse& from = use_[b.tag];
    from.liveBlocks--;
    from.liveBytes -= b.size;
    TagUse& to = use_[name];
    to.liveBlocks++;
    to.liveBytes += b.size;
    b.tag = name;
    return 1;
}

int HostMemory::IsLive(const void* block) const {
    return blocks_.count(block) != 0 ? 1 : 0;
}

void HostMemory::FailAllocation(const std::string& tag, size_t n) {
    failTag_ = n == 0 ? std::string() : tag;
    failCountdown_ = n;
}

std::string HostMemory::TakeActivity() {
    std::string out;
    for (const auto& entry : activity_) {
        const TagUse u = Use(entry.first);
        out += Format("%sMEM %s: %zu allocated, %zu freed, %zu live (%zu bytes)",
                      out.empty() ? "" : "; ", entry.first.c_str(), entry.second.first,
                      entry.second.second, u.liveBlocks, u.liveBytes);
    }
    activity_.clear();
    return out;
}

} // namespace host
