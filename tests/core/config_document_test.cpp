#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/config_document.h"
#include "core/text.h"
#include "counting_memory.h"
#include "framework/trace.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_dir.h"

namespace {

const char kEmpty[] = "";
const char kTrue[] = "Yes";
const char kFalse[] = "No";

// Builds a document the way an owner's loader does (through the helpers documented in the
// header), from INI lines "[Section]" and "key=text".
void Load(ConfigDocument& doc, const std::string& text, int32_t poolSize = 4096,
          int addMissing = 0) {
    doc.strings.Reset(poolSize);
    ASSERT_NE(doc.strings.start, nullptr);
    ConfigSection* section = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            ASSERT_EQ(doc.strings.AddString(line.substr(1, line.size() - 2).c_str()), 1);
            section = new ConfigSection(doc.strings.Current());
            ASSERT_NE(section, nullptr);
            ASSERT_EQ(doc.sections.Append(reinterpret_cast<intptr_t>(section)), 1);
            continue;
        }
        ASSERT_NE(section, nullptr) << "key before any section: " << line;
        const size_t equals = line.find('=');
        ASSERT_EQ(doc.strings.AddString(line.substr(0, equals).c_str()), 1);
        char* name = doc.strings.Current();
        ASSERT_EQ(doc.strings.AddString(line.substr(equals + 1).c_str()), 1);
        char* value = doc.strings.Current();
        ASSERT_EQ(section->AddValue(new ConfigValue(name, value)), 1) << line;
    }
    std::strcpy(doc.fileName, "unsaved.ini");
    doc.addMissing = addMissing;
    doc.emptyWord = kEmpty;
    doc.trueWord = kTrue;
    doc.falseWord = kFalse;
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::vector<std::string> SectionNames(ConfigDocument& doc) {
    std::vector<std::string> out;
    for (doc.sections.Rewind(); doc.sections.cursor != nullptr; doc.sections.Advance()) {
        out.emplace_back(reinterpret_cast<ConfigSection*>(doc.sections.CurrentValue())->name);
    }
    return out;
}

std::vector<std::string> KeyNames(ConfigDocument& doc, const char* section) {
    std::vector<std::string> out;
    if (doc.sections.FindName(section) == 0) {
        return out;
    }
    CursorList& values = reinterpret_cast<ConfigSection*>(doc.sections.CurrentValue())->values;
    for (values.Rewind(); values.cursor != nullptr; values.Advance()) {
        out.emplace_back(reinterpret_cast<ConfigValue*>(values.CurrentValue())->name);
    }
    return out;
}

struct TraceLog {
    TraceLog() {
        SetTraceSink(
            [](const char* message, void* context) {
                static_cast<TraceLog*>(context)->messages.emplace_back(message);
            },
            this);
    }
    ~TraceLog() { SetTraceSink(nullptr, nullptr); }
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;
    std::vector<std::string> messages;
};

// Documents saved in a scratch directory that is also the current directory.
class ConfigDocumentTest : public CountingMemoryTest {
protected:
    void SetUp() override {
        CountingMemoryTest::SetUp();
        std::filesystem::current_path(dir_.path());
    }
    std::string Saved(ConfigDocument& doc, const char* name) {
        EXPECT_EQ(doc.Save(name), 1);
        return dir_.ReadFile(name);
    }
    TempDir dir_;
};

// ---- values ----------------------------------------------------------------------------------

TEST_F(ConfigDocumentTest, TextConstructorConvertsThenTrims) {
    struct Case {
        const char* name;
        const char* trimmedName;
        const char* text;
        int32_t intValue;
        float floatValue;
        const char* stored; // none for no text
    } cases[] = {
        {" Key\t", "Key", " 12abc ", 12, 12.0f, "12abc"},
        {"k", "k", "abc", 0, 0.0f, "abc"},
        {"k", "k", "-3.5e2x", -3, -350.0f, "-3.5e2x"},
        {"k", "k", "+7", 7, 7.0f, "+7"},
        {"k", "k", ".5", 0, 0.5f, ".5"},
        {"k", "k", "0x1A", 0, 0.0f, "0x1A"},
        {"k", "k", "inf", 0, 0.0f, "inf"},
        {"k", "k", "99999999999", INT32_MAX, 99999999999.0f, "99999999999"},
        {"k", "k", "-99999999999", INT32_MIN, -99999999999.0f, "-99999999999"},
        {"k", "k", "1e999", 1, FLT_MAX, "1e999"},
        {"k", "k", "", 0, 0.0f, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string name = c.name;
        std::string text = c.text;
        ConfigValue value(name.data(), text.data());
        EXPECT_STREQ(value.name, c.trimmedName);
        EXPECT_EQ(value.type, 0);
        EXPECT_EQ(value.intValue, c.intValue);
        EXPECT_FLOAT_EQ(value.floatValue, c.floatValue);
        if (c.stored == nullptr) {
            EXPECT_EQ(value.text, nullptr);
        } else {
            EXPECT_STREQ(value.text, c.stored);
        }
    }
    std::string name = "n";
    ConfigValue number(name.data(), 42);
    EXPECT_EQ(number.type, 1);
    EXPECT_EQ(number.text, nullptr);
    EXPECT_FLOAT_EQ(number.floatValue, 42.0f);
    ConfigValue word(name.data(), kTrue); // a word is never trimmed, so never written
    EXPECT_EQ(word.text, kTrue);
}

// ---- reading ---------------------------------------------------------------------------------

TEST_F(ConfigDocumentTest, GetIntSwitchesTheSavedForm) {
    ConfigDocument doc;
    Load(doc, "[S]\nyear=1944th\nmap=Channel\nkept=text\n");
    EXPECT_EQ(doc.GetInt("S", "year", 5), 1944);
    EXPECT_EQ(doc.GetInt("s", "MAP", 5), 0);
    EXPECT_EQ(doc.GetInt("S", "missing", 5), 5);
    EXPECT_FALSE(doc.HasKey("S", "missing")); // addMissing off
    EXPECT_EQ(Saved(doc, "out.ini"), Crlf("[S]\nyear=1944\nmap=0\nkept=text\n\n"));
}

TEST_F(ConfigDocumentTest, GetBoolTable) {
    struct Case {
        const char* name;
        const char* text; // none: key missing
        int addMissing;
        int defaultValue;
        int result;
        const char* savedLine;
    } cases[] = {
        {"true word other case", "yES", 0, 0, 1, "flag=yES"},
        {"false word", "no", 1, 1, 0, "flag=no"},
        {"digit one, addMissing", "1", 1, 0, 1, "flag=Yes"},
        {"digit one", "1", 0, 0, 1, "flag=1"},
        {"unknown text becomes a number", "maybe", 0, 1, 0, "flag=0"},
        {"missing, addMissing stores false word", nullptr, 1, 0, 0, "flag=No"},
        {"missing, addMissing stores true word", nullptr, 1, 7, 7, "flag=Yes"},
        {"missing, nothing stored", nullptr, 0, 1, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConfigDocument doc;
        Load(doc, c.text != nullptr ? std::string("[S]\nflag=") + c.text + "\n" : "[S]\n", 4096,
             c.addMissing);
        EXPECT_EQ(doc.GetBool("S", "flag", c.defaultValue), c.result);
        const std::string expected =
            c.savedLine != nullptr ? "[S]\n" + std::string(c.savedLine) + "\n\n" : "[S]\n\n";
        EXPECT_EQ(Saved(doc, "bool.ini"), Crlf(expected));
    }
}

TEST_F(ConfigDocumentTest, GetStringCaseModesAndDefaults) {
    ConfigDocument doc;
    Load(doc, "[S]\nmap=Channel Map\nblank=\n");
    char buffer[260];
    doc.GetString("S", "map", "x", buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "CHANNEL MAP");
    doc.GetString("S", "map", "x", buffer, sizeof buffer, 2);
    EXPECT_STREQ(buffer, "channel map");
    doc.GetString("S", "map", "x", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "Channel Map");
    doc.GetString("S", "blank", "x", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "");
    doc.GetString("S", "missing", "Default", buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "Default"); // no case mapping on a default
    EXPECT_FALSE(doc.HasKey("S", "missing"));
    char small[5];
    doc.GetString("S", "map", "x", small, sizeof small, 0);
    EXPECT_STREQ(small, "Chan");
    doc.GetString("S", "map", "x", nullptr, 10, 0); // no buffer: nothing happens

    doc.addMissing = 1;
    doc.GetString("S", "added", "Default", buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "Default");
    doc.GetString("S", "added", "other", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "Default");
}

// ---- writing ---------------------------------------------------------------------------------

TEST_F(ConfigDocumentTest, SettersChangeFormsAndAppendInOrder) {
    ConfigDocument doc;
    Load(doc, "[Alpha]\nName=Smith\nYear=1944\n[Beta]\nx=1\n");
    EXPECT_EQ(doc.SetInt("alpha", "name", 7), 1); // existing: integer form, old text kept
    char buffer[260];
    doc.GetString("ALPHA", "NAME", "", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "Smith");
    EXPECT_EQ(doc.SetInt("Alpha", "Count", 3), 1); // new key, end of its section
    doc.GetString("Alpha", "Count", "z", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, ""); // no text: saved empty
    EXPECT_EQ(doc.SetString("Beta", "x", ""), 1);
    EXPECT_EQ(doc.SetString("Gamma", "Text", "  padded  "), 1); // new: trimmed
    EXPECT_EQ(doc.SetString("Beta", "y", "  kept  "), 1);
    EXPECT_EQ(doc.SetString("Beta", "y", "  kept  "), 1); // existing: untrimmed
    EXPECT_EQ(doc.SetBool("Gamma", "On", 1), 1);
    EXPECT_EQ(doc.SetBool("Beta", "x", 0), 1);
    EXPECT_EQ(doc.SetString("Gamma", "Empty", nullptr), 1);

    EXPECT_EQ(SectionNames(doc), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(KeyNames(doc, "Alpha"), (std::vector<std::string>{"Name", "Year", "Count"}));
    EXPECT_EQ(Saved(doc, "set.ini"), Crlf("[Alpha]\nName=Smith\nYear=1944\nCount=\n\n"
                                          "[Beta]\nx=No\ny=  kept  \n\n"
                                          "[Gamma]\nText=padded\nOn=Yes\nEmpty=\n\n"));
}

TEST_F(ConfigDocumentTest, EmptyTextStoresTheSharedEmptyWord) {
    ConfigDocument doc;
    Load(doc, "[S]\nk=v\n");
    ASSERT_EQ(doc.SetString("S", "k", ""), 1);
    ConfigValue* value = doc.Find("S", "k");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text, kEmpty);
    EXPECT_EQ(Saved(doc, "e.ini"), Crlf("[S]\nk=\n\n"));
}

TEST_F(ConfigDocumentTest, LineBreaksInsideTextsCannotAddLines) {
    ConfigDocument doc;
    Load(doc, "[S]\nk=v\n");
    ASSERT_EQ(doc.SetString("S", "k", "a\r\n[Injected]\nx=1"), 1);
    ASSERT_EQ(doc.SetString("S", "name\nkey", "t"), 1);
    EXPECT_EQ(Saved(doc, "lines.ini"), Crlf("[S]\nk=a  [Injected] x=1\nname key=t\n\n"));
    char buffer[64];
    doc.GetString("S", "k", "", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "a\r\n[Injected]\nx=1"); // only the file form changes
}

TEST_F(ConfigDocumentTest, FloatTypeWritesSixDecimals) {
    ConfigDocument doc;
    Load(doc, "[S]\nf=1.5\nbig=1e999\n");
    doc.Find("S", "f")->type = 2; // an owner may load values as floats
    doc.Find("S", "big")->type = 2;
    EXPECT_EQ(Saved(doc, "f.ini"),
              Crlf("[S]\nf=1.500000\nbig=340282346638528859811704183484516925440.000000\n\n"));
}

TEST_F(ConfigDocumentTest, CountNumberedSectionsStopsAtTheFirstGap) {
    ConfigDocument doc;
    Load(doc, "[Pilot001]\n[pilot002]\n[Pilot004]\n[Pilot]\n");
    EXPECT_EQ(doc.CountNumberedSections("Pilot%03d"), 2);
    EXPECT_EQ(doc.CountNumberedSections("Other%d"), 0);
    TraceLog log;
    EXPECT_EQ(doc.CountNumberedSections("Pilot%s"), 0); // not an integer conversion
    EXPECT_EQ(doc.CountNumberedSections("Pilot"), 0);   // no conversion: never loops
    EXPECT_EQ(doc.CountNumberedSections(nullptr), 0);
    EXPECT_EQ(log.messages.size(), 3u);
}

TEST_F(ConfigDocumentTest, LookupsResumeAtTheCursor) {
    ConfigDocument doc;
    Load(doc, "[A]\na=1\nb=2\nc=3\n[B]\nd=4\n");
    EXPECT_EQ(doc.GetInt("A", "b", 0), 2);
    EXPECT_EQ(doc.sections.cursorIndex, 0);
    auto* section = reinterpret_cast<ConfigSection*>(doc.sections.CurrentValue());
    EXPECT_EQ(section->values.cursorIndex, 1);
    EXPECT_EQ(doc.GetInt("A", "c", 0), 3);
    EXPECT_EQ(section->values.cursorIndex, 2);
    EXPECT_EQ(doc.HasSection("b"), 1);
    EXPECT_EQ(doc.sections.cursorIndex, 1);
    EXPECT_EQ(doc.HasKey("B", "a"), 0);
    EXPECT_EQ(doc.HasSection(""), 0);
}

// ---- failures --------------------------------------------------------------------------------

TEST_F(ConfigDocumentTest, FullPoolRefusesAndTracesAndLeavesListsUnchanged) {
    struct Case {
        const char* name;
        int (*set)(ConfigDocument&);
        const char* message;
    } cases[] = {
        {"SetInt key", [](ConfigDocument& d) { return d.SetInt("S", "LongKeyName", 1); },
         "Unable to append string LongKeyName to the buffer!"},
        {"SetString text", [](ConfigDocument& d) { return d.SetString("S", "k", "LongText"); },
         "Unable to append string LongText to the buffer!"},
        {"SetString key", [](ConfigDocument& d) { return d.SetString("S", "LongKeyName", ""); },
         "Unable to append string key name LongKeyName to the buffer!"},
        {"SetBool key", [](ConfigDocument& d) { return d.SetBool("S", "LongKeyName", 1); },
         "Unable to append string key name LongKeyName to the buffer!"},
        {"new section", [](ConfigDocument& d) { return d.SetInt("NewSection", "k", 1); },
         "Unable to append string NewSection to the buffer!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ConfigDocument doc;
        Load(doc, "[S]\nold=1\n", 16); // 10 bytes used, 6 free
        TraceLog log;
        EXPECT_EQ(c.set(doc), 0);
        EXPECT_EQ(SectionNames(doc), std::vector<std::string>{"S"});
        EXPECT_EQ(KeyNames(doc, "S"), std::vector<std::string>{"old"});
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.messages[0], c.message);
    }
}

TEST_F(ConfigDocumentTest, EveryFailedAllocationLeavesTheDocumentAsItWas) {
    using Change = int (*)(ConfigDocument&);
    const Change changes[] = {
        [](ConfigDocument& d) { return d.SetInt("New", "k", 1); },
        [](ConfigDocument& d) { return d.SetString("S", "k2", "text"); },
        [](ConfigDocument& d) { return d.SetBool("New", "b", 1); },
    };
    for (Change change : changes) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(n);
            ConfigDocument doc;
            Load(doc, "[S]\nk=1\n");
            memory.failAt = memory.attempts + n;
            const int result = change(doc);
            memory.failAt = 0;
            if (result == 1) {
                EXPECT_EQ(Saved(doc, "ok.ini").empty(), false);
                break;
            }
            EXPECT_EQ(SectionNames(doc), std::vector<std::string>{"S"});
            EXPECT_EQ(KeyNames(doc, "S"), std::vector<std::string>{"k"});
            ASSERT_LT(n, 10) << "the change never succeeds";
        }
    }
}

TEST_F(ConfigDocumentTest, RefusedValuesAreReleased) {
    ConfigDocument doc;
    Load(doc, "[S]\nk=1\n");
    std::string name = "K";
    EXPECT_EQ(doc.AddValue("S", new ConfigValue(name.data(), 2)), 0); // duplicate key
    EXPECT_EQ(doc.AddValue("S", nullptr), 0);
    EXPECT_EQ(doc.GetInt("S", "k", 0), 1);
    // The books are checked when the test ends: a dropped record would show as a leak.
}

// ---- saving ----------------------------------------------------------------------------------

TEST_F(ConfigDocumentTest, RoundTripKeepsEveryByte) {
    const std::string original = "[SingleMission]\nMissionYear=1944\nMissionMap=Channel\n\n"
                                 "[Pilot]\nCallsign=Red One\nEmpty=\n\n[Last]\n\n";
    ConfigDocument doc;
    Load(doc, original);
    EXPECT_EQ(Saved(doc, "round.ini"), Crlf(original));

    ConfigDocument again;
    Load(again, dir_.ReadFile("round.ini"));
    EXPECT_EQ(again.GetInt("SingleMission", "MissionYear", 0), 1944);
    again.SetInt("SingleMission", "MissionYear", 1918);
    again.SetString("Pilot", "Callsign", "Blue Two");
    EXPECT_EQ(Saved(again, "round.ini"),
              Crlf("[SingleMission]\nMissionYear=1918\nMissionMap=Channel\n\n"
                   "[Pilot]\nCallsign=Blue Two\nEmpty=\n\n[Last]\n\n"));
}

TEST_F(ConfigDocumentTest, NewNameGetsDirectoryAndExtension) {
    ConfigDocument doc;
    Load(doc, "[S]\nk=v\n");
    ASSERT_EQ(doc.Save("options"), 1);
    EXPECT_STREQ(doc.fileName, ".\\options.INI");
    EXPECT_EQ(dir_.ReadFile("options.INI"), Crlf("[S]\nk=v\n\n"));
    doc.SetString("S", "k", "w");
    ASSERT_EQ(doc.Save(nullptr), 1); // the stored name again
    EXPECT_EQ(dir_.ReadFile("options.INI"), Crlf("[S]\nk=w\n\n"));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "options.INI.tmp"));

    EXPECT_EQ(doc.Save(""), 0); // an empty name leaves no file name
    EXPECT_STREQ(doc.fileName, "");
}

TEST_F(ConfigDocumentTest, FailedSavesKeepTheOldFileAndLeaveNoTemporary) {
    dir_.WriteFile("kept.ini", "old contents");
    dir_.MakeDir("folder.ini");
    struct Case {
        const char* name;
        const char* fileName;
    } cases[] = {
        {"directory does not exist", "missing\\x.ini"},
        {"target is a directory", "folder.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConfigDocument doc;
        Load(doc, "[S]\nk=v\n");
        EXPECT_EQ(doc.Save(c.fileName), 0);
        EXPECT_FALSE(std::filesystem::exists(dir_.path() / (std::string(c.fileName) + ".tmp")));
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "folder.ini"));
    EXPECT_EQ(dir_.ReadFile("kept.ini"), "old contents");
}

struct SaveJob {
    ConfigDocument* doc;
};

int SaveInChild(void* context) {
    return static_cast<SaveJob*>(context)->doc->Save(nullptr);
}

TEST_F(ConfigDocumentTest, WriteFailureReturnsZeroAndKeepsTheOldFile) {
    if (FileSizeLimitSupported() == 0) {
        GTEST_SKIP() << "file size limits need fork and setrlimit; not available on Windows";
    }
    dir_.WriteFile("full.ini", "old contents");
    ConfigDocument doc;
    Load(doc, "[SingleMission]\nMissionYear=1944\nMissionMap=Channel\n");
    std::strcpy(doc.fileName, "full.ini");
    SaveJob job{&doc};
    EXPECT_EQ(RunWithFileSizeLimit(20, SaveInChild, &job), 0); // the disk fills part-way
    EXPECT_EQ(dir_.ReadFile("full.ini"), "old contents");
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "full.ini.tmp"));
    EXPECT_EQ(RunWithFileSizeLimit(4096, SaveInChild, &job), 1); // room enough
    EXPECT_EQ(dir_.ReadFile("full.ini"),
              Crlf("[SingleMission]\nMissionYear=1944\nMissionMap=Channel\n\n"));
}

} // namespace
