// menuhost: runs a menu plug-in over a game folder, from a script or at a prompt.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "host/session.h"

namespace fs = std::filesystem;

namespace {

#ifndef MENU_SAMPLE_GAME_DIR
#define MENU_SAMPLE_GAME_DIR "sample-game"
#endif

const char* kUsage =
    "usage: menuhost [options] [SCRIPT]\n"
    "Loads the menu plug-ins the way the game does, serves them a game folder, runs the steps of\n"
    "SCRIPT (or those typed at the \"> \" prompt when there is none; \"-\" reads them from\n"
    "standard input without a prompt), shows the screen and checks the shell contract.\n"
    "\n"
    "options:\n"
    "  --data DIR      work on the game folder DIR itself (it is changed)\n"
    "  --copy-of DIR   work on a scratch copy of DIR (default: the bundled sample-game)\n"
    "  --scratch DIR   make the scratch copy under DIR (default: ./scratch)\n"
    "  --plugins DIR   look for the plug-in libraries in DIR (may be repeated; the program's\n"
    "                  own folder and its parent are searched after)\n"
    "  --plugin NAME=FILE  serve the plug-in NAME (as menuhost.ini names it) from FILE\n"
    "  --quiet         show the screen only at \"show\" steps\n"
    "  --help          this text and the list of steps\n"
    "\n"
    "exit status: 0 clean; 1 contract breach, shell error or failed expectation;\n"
    "             2 usage, game folder or script error\n";

} // namespace

int main(int argc, char** argv) {
    host::SessionOptions options;
    options.out = &std::cout;
    std::string data;
    std::string copyOf;
    std::string scratch = "scratch";
    std::string script;
    bool haveScript = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) {
                std::cerr << "menuhost: " << arg << " needs a value\n" << kUsage;
                return false;
            }
            *out = argv[++i];
            return true;
        };
        std::string dir;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << "\n" << host::Session::HelpText();
            return host::kExitOk;
        } else if (arg == "--data") {
            if (!value(&data))
                return host::kExitBadInput;
        } else if (arg == "--copy-of") {
            if (!value(&copyOf))
                return host::kExitBadInput;
        } else if (arg == "--scratch") {
            if (!value(&scratch))
                return host::kExitBadInput;
        } else if (arg == "--plugins") {
            if (!value(&dir))
                return host::kExitBadInput;
            options.pluginDirs.emplace_back(dir);
        } else if (arg == "--plugin") {
            if (!value(&dir))
                return host::kExitBadInput;
            const size_t eq = dir.find('=');
            if (eq == 0 || eq == std::string::npos || eq + 1 == dir.size()) {
                std::cerr << "menuhost: --plugin takes NAME=FILE, e.g. portico=build/portico.so\n";
                return host::kExitBadInput;
            }
            options.pluginFiles[dir.substr(0, eq)] = fs::path(dir.substr(eq + 1));
        } else if (arg == "--quiet") {
            options.viewEachStep = false;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            std::cerr << "menuhost: unknown option " << arg << "\n" << kUsage;
            return host::kExitBadInput;
        } else if (!haveScript) {
            script = arg;
            haveScript = true;
        } else {
            std::cerr << "menuhost: one script at most (" << arg << ")\n" << kUsage;
            return host::kExitBadInput;
        }
    }
    if (!data.empty() && !copyOf.empty()) {
        std::cerr << "menuhost: --data and --copy-of exclude each other\n";
        return host::kExitBadInput;
    }
    std::error_code ec;
    const fs::path self = fs::absolute(fs::path(argv[0]), ec).parent_path();
    options.pluginDirs.push_back(self);
    options.pluginDirs.push_back(self.parent_path());

    if (!data.empty()) {
        options.gameDir = fs::absolute(data, ec);
    } else {
        std::string error;
        const fs::path from = copyOf.empty() ? fs::path(MENU_SAMPLE_GAME_DIR) : fs::path(copyOf);
        options.gameDir = host::MakeScratchCopy(from, fs::absolute(scratch, ec), &error);
        if (options.gameDir.empty()) {
            std::cerr << "menuhost: " << error << "\n";
            return host::kExitBadInput;
        }
        std::cout << "menuhost: working on a scratch copy of " << from.string() << " in "
                  << options.gameDir.string() << "\n";
    }

    std::ifstream file;
    if (haveScript && script != "-") {
        file.open(script);
        if (!file) {
            std::cerr << "menuhost: cannot read the script " << script << "\n";
            return host::kExitBadInput;
        }
    }

    host::Session session(options);
    std::string error;
    if (session.Open(&error) == 0) {
        std::cerr << "menuhost: " << error << "\n";
        return host::kExitBadInput;
    }
    int status = host::kExitOk;
    if (!haveScript) {
        std::cout << "menuhost on " << options.gameDir.string()
                  << "; type help for the steps, quit to end\n";
        status = session.RunStream(std::cin, "prompt", true);
    } else if (script == "-") {
        status = session.RunStream(std::cin, "stdin", false);
    } else {
        status = session.RunStream(file, fs::path(script).filename().string(), false);
    }
    const int finished = session.Finish();
    if (status == host::kExitBadInput || finished == host::kExitBadInput) {
        return host::kExitBadInput;
    }
    if (data.empty()) {
        std::cout << "menuhost: the scratch folder is " << options.gameDir.string() << "\n";
    }
    return status != host::kExitOk ? status : finished;
}
