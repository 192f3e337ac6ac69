// A scratch directory for one test, removed with everything in it afterwards; the current
// directory is restored as well, so tests that change it cannot disturb the next one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class TempDir {
public:
    TempDir() {
        saved_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "menu-test-";
        if (info != nullptr) {
            name += std::string(info->test_suite_name()) + "-" + info->name();
        }
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        // Builds of several configurations (and several people) test side by side: a random
        // suffix keeps their scratch directories apart.
        std::random_device random;
        for (;;) {
            const auto suffix = (static_cast<unsigned long long>(random()) << 32) ^ random();
            path_ = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(suffix));
            if (std::filesystem::create_directory(path_)) {
                break;
            }
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string Str() const { return path_.string(); }

    void WriteFile(const std::string& relative, const std::string& bytes) const {
        std::ofstream out(path_ / relative, std::ios::binary);
        out << bytes;
    }
    std::string ReadFile(const std::string& relative) const {
        std::ifstream in(path_ / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void MakeDir(const std::string& relative) const {
        std::filesystem::create_directories(path_ / relative);
    }

private:
    std::filesystem::path saved_;
    std::filesystem::path path_;
};
