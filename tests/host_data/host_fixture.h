// Test fixture of the host's data tests: binds the framework of the test program, as menuhost
// does, to a small shell whose MEM counts live blocks per tag, and gives each test a scratch
// directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "framework/binding.h"
#include "framework/contract.h"

class CountingMemory final : public MemoryService {
public:
    void* Allocate(uint32_t size, int32_t, int32_t, const char* tag) override {
        void* block = std::malloc(size == 0 ? 1 : size);
        if (block != nullptr) {
            blocks[block] = tag != nullptr ? tag : "";
        }
        return block;
    }
    void Free(void* block) override {
        if (blocks.erase(block) != 0) {
            std::free(block);
        } else if (block != nullptr) {
            ++badFrees;
        }
    }
    void ReleaseTag(const char* tag) override {
        for (auto it = blocks.begin(); it != blocks.end();) {
            if (it->second == tag) {
                std::free(it->first);
                it = blocks.erase(it);
            } else {
                ++it;
            }
        }
    }
    int Live(const std::string& tag) const {
        int n = 0;
        for (const auto& [block, owner] : blocks) {
            n += owner == tag ? 1 : 0;
        }
        return n;
    }
    std::string TagOf(const void* block) const {
        const auto it = blocks.find(const_cast<void*>(block));
        return it != blocks.end() ? it->second : std::string();
    }

    std::map<void*, std::string> blocks;
    int badFrees = 0;
};

class MemoryOnlyShell final : public AppShell {
public:
    int32_t AcquireService(const char* id, void* holder) override {
        void** slot = static_cast<void**>(holder);
        *slot = std::string(id) == "MEM" ? static_cast<void*>(static_cast<MemoryService*>(&memory))
                                         : nullptr;
        return *slot != nullptr ? 1 : 0;
    }
    int32_t ReleaseService(const char*, void* holder) override {
        *static_cast<void**>(holder) = nullptr;
        return 1;
    }
    CountingMemory memory;
};

class HostDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        BindShell("HOST", &shell);
        baseline = shell.memory.Live("HOST");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        dir = std::filesystem::temp_directory_path() / ("h4data_" + name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        UnbindShell("HOST");
        EXPECT_EQ(shell.memory.badFrees, 0);
        std::filesystem::remove_all(dir);
    }

    // Blocks the code under test still holds under the host's tag.
    int LiveHostBlocks() const { return shell.memory.Live("HOST") - baseline; }

    std::string Write(const std::string& relative, const std::string& bytes) const {
        const std::filesystem::path path = dir / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        return path.string();
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    MemoryOnlyShell shell;
    int baseline = 0;
    std::filesystem::path dir;
};
