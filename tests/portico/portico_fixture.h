// Shared fixture of the main-screen tests: a fake shell, and the three documents it lends (pilot
// roster, options, menu document) built by the test and saved to a scratch file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/config_document.h"
#include "core/text.h"
#include "framework/binding.h"
#include "tests/support/fake_shell.h"

namespace portico_test {

// One key of a document: an integer when `isInt`, else a text.
struct Entry {
    std::string section;
    std::string key;
    std::string text;
    int32_t number = 0;
    bool isInt = false;
};
inline Entry Int(std::string section, std::string key, int32_t value) {
    return Entry{std::move(section), std::move(key), "", value, true};
}
inline Entry Str(std::string section, std::string key, std::string value) {
    return Entry{std::move(section), std::move(key), std::move(value), 0, false};
}

// Texts as Save writes them: CRLF line ends.
inline std::string Ini(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class PorticoFixture : public ::testing::Test {
protected:
    // Documents are made and destroyed while the framework is bound to the fake, so that
    // their blocks come from (and go back to) the fake's MEM like everything else.
    void SetUp() override {
        Binding() = BindingState{};
        BindShell("MAIN", &shell);
        // ctest runs every test in its own process, in parallel: the name keeps files apart.
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        rosterPath = ::testing::TempDir() + "portico_roster_" + test->test_suite_name() + "_" +
                     test->name() + ".ini";
        std::remove(rosterPath.c_str());
        roster = MakeDocument(rosterPath);
        options = MakeDocument("");
        menuDocument = MakeDocument("");
        shell.manager.roster = roster.get();
        shell.options.options = options.get();
        shell.menu.menuDocument = menuDocument.get();
        shell.manager.pilotDirectory = "Pilots";
        bindingHeld = shell.Outstanding();
    }

    // What is held beyond the fixture's own binding (the six system services).
    std::vector<std::string> HeldBeyondBinding() const {
        std::vector<std::string> now = shell.Outstanding();
        for (const std::string& b : bindingHeld) {
            auto it = std::find(now.begin(), now.end(), b);
            if (it != now.end()) {
                now.erase(it);
            }
        }
        return now;
    }

    void TearDown() override {
        for (auto* doc : {&roster, &options, &menuDocument}) {
            if (*doc) {
                (*doc)->DestroySections();
                (*doc)->strings.Release();
                doc->reset();
            }
        }
        EXPECT_EQ(UnbindShell("MAIN"), 1);
        EXPECT_TRUE(shell.ContractProblems().empty())
            << ::testing::PrintToString(shell.ContractProblems()) << "\n"
            << shell.journal.Dump();
        std::remove(rosterPath.c_str());
    }

    static std::unique_ptr<ConfigDocument> MakeDocument(const std::string& path) {
        auto doc = std::make_unique<ConfigDocument>();
        CopyText(doc->fileName, path.c_str(), sizeof doc->fileName);
        doc->strings.Reset(32768);
        doc->emptyWord = "";
        doc->trueWord = "true";
        doc->falseWord = "false";
        return doc;
    }

    static void Fill(ConfigDocument& doc, const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            const int stored =
                e.isInt ? doc.SetInt(e.section.c_str(), e.key.c_str(), e.number)
                        : doc.SetString(e.section.c_str(), e.key.c_str(), e.text.c_str());
            ASSERT_EQ(stored, 1) << e.section << "/" << e.key;
        }
    }

    // A pilot file of the full record size holding the given names.
    static std::string PilotFile(const std::string& last, const std::string& first) {
        std::string bytes(sizeof(PilotRecord), '\0');
        bytes.replace(204, last.size(), last);
        bytes.replace(268, first.size(), first);
        return bytes;
    }

    void SetPlayer(const std::string& last, const std::string& first, const std::string& callsign,
                   const std::string& service) {
        Fill(*options, {Str("Pilot", "LastName", last), Str("Pilot", "FirstName", first),
                        Str("Pilot", "Callsign", callsign), Str("Pilot", "Service", service)});
    }

    fake::FakeShell shell;
    std::string rosterPath;
    std::vector<std::string> bindingHeld;
    std::unique_ptr<ConfigDocument> roster;
    std::unique_ptr<ConfigDocument> options;
    std::unique_ptr<ConfigDocument> menuDocument;
};

} // namespace portico_test
