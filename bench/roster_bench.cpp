// Times an entry of the main screen (the roster upkeep) over generated rosters of growing size,
// through menuhost in-process: roster_bench [pilots...]  (default 100 1000 5000).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/contract.h"
#include "host/session.h"

namespace fs = std::filesystem;

namespace {

// A copy of the sample game whose roster lists `pilots` pilots, every other one with a file and
// without an id, so that each entry has ids to hand out.
fs::path MakeGame(int pilots) {
    const fs::path root = fs::temp_directory_path() / ("menuhost-bench-" + std::to_string(pilots));
    fs::remove_all(root);
    fs::copy(MENU_SAMPLE_GAME_DIR, root, fs::copy_options::recursive);
    std::ofstream roster(root / "pilots" / "roster.ini", std::ios::binary);
    std::vector<char> record(sizeof(PilotRecord), 0);
    for (int i = 1; i <= pilots; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Pilot%03d", i);
        roster << "[" << name << "]\nFilename=" << name << ".plt\n";
        if (i % 2 == 0) {
            roster << "PilotID=" << i << "\n";
        } else {
            std::ofstream(root / "pilots" / (std::string(name) + ".plt"), std::ios::binary)
                .write(record.data(), static_cast<std::streamsize>(record.size()));
        }
    }
    return root;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {100, 1000, 5000};
    }
    std::printf("%8s %12s %12s %14s\n", "pilots", "entry ms", "MAIN allocs", "journal lines");
    for (int pilots : sizes) {
        const fs::path root = MakeGame(pilots);
        host::SessionOptions options;
        options.gameDir = root;
        options.pluginFiles["portico"] = PORTICO_PLUGIN;
        options.viewEachStep = false;
        host::Session session(options);
        std::string error;
        if (session.Open(&error) == 0) {
            std::fprintf(stderr, "roster_bench: %s\n", error.c_str());
            return 2;
        }
        const auto start = std::chrono::steady_clock::now();
        session.RunStep("load Main", "bench");
        const auto end = std::chrono::steady_clock::now();
        session.RunStep("leave", "bench");
        const double ms = std::chrono::duration<double, std::milli>(end - start).count();
        std::printf("%8d %12.2f %12zu %14zu\n", pilots, ms,
                    session.Memory().Use("MAIN").allocations, session.Log().Lines().size());
        const int status = session.Finish();
        fs::remove_all(root);
        if (status != host::kExitOk) {
            std::fprintf(stderr, "roster_bench: the contract check failed for %d pilots\n", pilots);
            return 1;
        }
    }
    return 0;
}
