#include "host/file_service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>

namespace host {
namespace {

namespace fs = std::filesystem;

fs::path UniqueTempDir(const char* what) {
    static std::atomic<int> counter{0};
    fs::path dir = fs::temp_directory_path() /
                   ("menuhost-" + std::string(what) + "-" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                    "-" + std::to_string(counter++));
    fs::create_directories(dir);
    return dir;
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = UniqueTempDir("files");
        fs::create_directories(root / "pilots");
        std::ofstream(root / "pilots" / "Pilot001.plt", std::ios::binary) << "PILOT";
        start = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(start);
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path root;
    fs::path start;
    Journal journal;
};

TEST_F(FilesTest, WindowsStylePathsResolveOnEveryPlatform) {
    HostFiles files(&journal, root);
    const std::string absolute = (root / "pilots" / "Pilot001.plt").string();
    struct Case {
        const char* name;
        std::string path;
        int exists;
    } cases[] = {
        {"backslash", "pilots\\Pilot001.plt", 1},
        {"slash", "pilots/Pilot001.plt", 1},
        {"letter case ignored", "PILOTS\\pilot001.PLT", 1},
        {"doubled separator", "pilots\\\\Pilot001.plt", 1},
        {"absolute", absolute, 1},
        {"missing file", "pilots\\Pilot002.plt", 0},
        {"missing folder", "nowhere\\Pilot001.plt", 0},
        {"a directory is no file", "pilots", 0},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(files.FileExists(c.path.c_str(), 0), c.exists);
    }
    EXPECT_EQ(files.FileExists(nullptr, 0), 0);
}

TEST_F(FilesTest, FileAddedAfterALookupIsFoundIgnoringCase) {
    HostFiles files(&journal, root);
    EXPECT_EQ(files.FileExists("PILOTS\\pilot002.PLT", 0), 0);
    std::ofstream(root / "pilots" / "Pilot002.plt", std::ios::binary) << "P2";
    EXPECT_EQ(files.FileExists("PILOTS\\pilot002.PLT", 0), 1);
    fs::remove(root / "pilots" / "Pilot002.plt");
    EXPECT_EQ(files.FileExists("PILOTS\\pilot002.PLT", 0), 0);
}

TEST_F(FilesTest, RelativePathsTryTheGameRootThenTheCurrentDirectory) {
    HostFiles files(&journal, root);
    fs::current_path(root / "pilots");
    EXPECT_EQ(files.FileExists("Pilot001.plt", 0), 1);         // through the current directory
    EXPECT_EQ(files.FileExists("pilots\\Pilot001.plt", 0), 1); // through the game root
}

TEST_F(FilesTest, OpenReadCloseAndUnknownHandles) {
    HostFiles files(&journal, root);
    const int32_t handle = files.FileOpen("pilots\\Pilot001.plt");
    ASSERT_GT(handle, 0);
    char buffer[16] = {};
    EXPECT_EQ(files.FileRead(handle, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "PILOT");
    files.FileClose(handle);
    EXPECT_EQ(files.FileOpen("pilots\\Pilot009.plt"), -1);
    EXPECT_TRUE(journal.Breaches().empty());
    EXPECT_EQ(files.FileRead(handle, buffer, sizeof buffer), -1);
    files.FileClose(handle);
    EXPECT_EQ(journal.Breaches().size(), 2u);
}

TEST_F(FilesTest, DirectoryStackRestoresTheCurrentDirectory) {
    HostFiles files(&journal, root);
    const fs::path before = fs::current_path();
    files.PushDirectory();
    fs::current_path(root / "pilots");
    files.PushDirectory();
    fs::current_path(root);
    files.PopDirectory();
    EXPECT_TRUE(fs::equivalent(fs::current_path(), root / "pilots"));
    files.PopDirectory();
    EXPECT_TRUE(fs::equivalent(fs::current_path(), before));
    EXPECT_TRUE(journal.Breaches().empty());
    files.PopDirectory();
    ASSERT_EQ(journal.Breaches().size(), 1u);
    EXPECT_NE(journal.Breaches()[0].find("PopDirectory without"), std::string::npos);
}

TEST_F(FilesTest, CheckReportsUnpoppedDirectoriesAndOpenFilesAndRestores) {
    HostFiles files(&journal, root);
    const fs::path before = fs::current_path();
    files.PushDirectory();
    fs::current_path(root / "pilots");
    files.FileOpen("Pilot001.plt");
    files.CheckBalanced("plugin");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), before));
    ASSERT_EQ(journal.Breaches().size(), 2u);
    EXPECT_NE(journal.Breaches()[0].find("plugin left file handle 1 open"), std::string::npos);
    EXPECT_NE(journal.Breaches()[1].find("plugin pushed 1 directory and did not pop it"),
              std::string::npos);
    EXPECT_EQ(files.PushDepth(), 0u);
    EXPECT_EQ(files.OpenFiles(), 0u);
}

} // namespace
} // namespace host
