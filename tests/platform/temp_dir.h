// A scratch directory for one test, removed with everything in it afterwards; the current
// directory is restored as well, so tests that change it cannot disturb the next one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
public:
    TempDir() {
        saved_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "menu-test-";
        name += info != nullptr ? info->name() : "test";
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
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
