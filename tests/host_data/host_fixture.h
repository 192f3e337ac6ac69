// Test fixture of the host's data tests: binds the framework of the test program under the host's
// tag, as menuhost does, to the recording fake shell (its MEM counts live blocks per tag and can
// refuse the N-th allocation), and gives each test a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/binding.h"
#include "framework/contract.h"
#include "tests/support/fake_shell.h"

class HostDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        BindShell("HOST", &shell);
        baseline = shell.memory.LiveBlocks("HOST");
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
        shell.memory.failAt = 0;
        UnbindShell("HOST");
        EXPECT_TRUE(shell.Misuse().empty()) << shell.Misuse().front();
        std::filesystem::remove_all(dir);
    }

    // Blocks the code under test still holds under the host's tag.
    int LiveHostBlocks() const { return shell.memory.LiveBlocks("HOST") - baseline; }

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

    fake::FakeShell shell;
    int baseline = 0;
    std::filesystem::path dir;
};
