// A scratch copy of the bundled sample game for one test, removed afterwards, and a session
// over it that serves the plug-ins the test names.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "host/ini/ini_loader.h"
#include "host/session.h"

namespace host {

class GameFolder {
public:
    GameFolder() {
        static std::atomic<int> counter{0};
        root_ = std::filesystem::temp_directory_path() /
                ("menuhost-e2e-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                 std::to_string(counter++));
        std::filesystem::copy(MENU_SAMPLE_GAME_DIR, root_,
                              std::filesystem::copy_options::recursive);
    }
    ~GameFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Path(const std::string& relative) const { return root_ / relative; }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::ofstream out(Path(relative), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(Path(relative), std::ios::binary);
        std::ostringstream data;
        data << in.rdbuf();
        return data.str();
    }
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(Path(relative));
    }
    // The text of a key in a file on disk; "<absent>" when the file, section or key is missing.
    std::string Value(const std::string& relative, const char* section, const char* key) const {
        IniFile file;
        if (!ParseIniFile(Path(relative).string().c_str(), &file).ok) {
            return "<absent>";
        }
        const IniSection* s = file.Find(section);
        const IniEntry* e = s != nullptr ? s->Find(key) : nullptr;
        return e != nullptr ? e->text : "<absent>";
    }

private:
    std::filesystem::path root_;
};

// A session over the folder serving exactly the plug-ins named (library name -> file).
inline std::unique_ptr<Session> OpenSession(const GameFolder& folder,
                                            std::map<std::string, std::filesystem::path> plugins,
                                            std::ostream* out = nullptr) {
    SessionOptions options;
    options.gameDir = folder.Root();
    options.pluginFiles = std::move(plugins);
    options.out = out;
    options.viewEachStep = false;
    auto session = std::make_unique<Session>(options);
    std::string error;
    EXPECT_EQ(session->Open(&error), 1) << error;
    return session;
}

// A session over the folder; Main is served by `mainPlugin`, no other plug-in is found.
inline std::unique_ptr<Session> OpenSession(const GameFolder& folder, const char* mainPlugin,
                                            std::ostream* out = nullptr) {
    return OpenSession(folder, {{"portico", mainPlugin}}, out);
}

inline bool Mentions(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace host
