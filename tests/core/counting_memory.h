// A MemoryService that counts: every block handed out and given back, so that leaks, double
// frees and frees of foreign blocks show as numbers, and the N-th allocation can be made to fail.
// CountingMemoryTest binds it as the framework's MEM for the length of one test and checks, at
// the end, that everything allocated was given back exactly once.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "framework/binding.h"

class CountingMemory final : public MemoryService {
public:
    CountingMemory() = default;
    ~CountingMemory() {
        for (void* block : live_) {
            std::free(block);
        }
    }
    CountingMemory(const CountingMemory&) = delete;
    CountingMemory& operator=(const CountingMemory&) = delete;

    void* Allocate(uint32_t size, int32_t, int32_t, const char* tag) override {
        ++attempts;
        if (failAt != 0 && attempts == failAt) {
            return nullptr;
        }
        if (tag == nullptr || std::strcmp(tag, "TEST") != 0) {
            ++badTags;
        }
        void* block = std::malloc(size != 0 ? size : 1);
        if (block != nullptr) {
            // Garbage, not zeros: code that relies on cleared memory shows up.
            std::memset(block, 0xA5, size);
            live_.insert(block);
            ++allocations;
        }
        return block;
    }
    void Free(void* block) override {
        if (live_.erase(block) == 0) {
            ++badFrees; // double free, or a block this service never gave out
            return;
        }
        ++frees;
        std::free(block);
    }
    void ReleaseTag(const char*) override {}

    size_t Live() const { return live_.size(); }

    int attempts = 0;
    int failAt = 0; // 0: never fail; N: the N-th allocation attempt returns none
    int allocations = 0;
    int frees = 0;
    int badFrees = 0;
    int badTags = 0;

private:
    std::set<void*> live_;
};

// Binds a CountingMemory as MEM around each test; TearDown checks the books.
class CountingMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        BindingState& binding = Binding();
        saved_ = binding.MEM;
        std::memcpy(savedTag_, binding.ModuleTag, sizeof savedTag_);
        binding.MEM = &memory;
        std::memcpy(binding.ModuleTag, "TEST", 5);
    }
    void TearDown() override {
        CheckBooks();
        BindingState& binding = Binding();
        binding.MEM = saved_;
        std::memcpy(binding.ModuleTag, savedTag_, sizeof savedTag_);
    }
    // Containers under test live in the test body, so they are gone before the books are read.
    void CheckBooks() {
        EXPECT_EQ(memory.Live(), 0u) << "blocks leaked";
        EXPECT_EQ(memory.badFrees, 0) << "double or foreign frees";
        EXPECT_EQ(memory.badTags, 0) << "blocks allocated under another module tag";
        EXPECT_EQ(memory.allocations, memory.frees);
    }

    CountingMemory memory;

private:
    MemoryService* saved_ = nullptr;
    char savedTag_[8] = {};
};
