#include "host/ini/ini_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host_fixture.h"

namespace {

const std::string kCanonical = "[Pilot]\r\n"
                               "LastName=Hale\r\n"
                               "FirstName=\r\n"
                               "Motto=fly; fight # twice\r\n"
                               "\r\n"
                               "[SingleMission]\r\n"
                               "MissionYear=1972\r\n"
                               "LoadMission=TRUE\r\n"
                               "\r\n";

struct RoundTripCase {
    const char* label;
    std::string input;
};

class IniRoundTrip : public HostDataTest {};

// Loading and saving gives the canonical text whatever the comments, blanks and line ends.
TEST_F(IniRoundTrip, SaveWritesCanonicalBytes) {
    const RoundTripCase cases[] = {
        {"canonical", kCanonical},
        {"lf, comments, blanks, bom, no final line end", "\xEF\xBB\xBF; pilot data\n"
                                                         "# written by hand\n"
                                                         "\n"
                                                         "[ Pilot ]   ; the pilot\n"
                                                         "  LastName =  Hale  \n"
                                                         "FirstName=\n"
                                                         "\t; inside a section\n"
                                                         "Motto = fly; fight # twice\n"
                                                         "[SingleMission]\n"
                                                         "MissionYear\t=\t1972\n"
                                                         "LoadMission=TRUE"},
        {"mixed line ends", "[Pilot]\r\nLastName=Hale\nFirstName=\r\nMotto=fly; fight # twice\n"
                            "\r\n[SingleMission]\nMissionYear=1972\r\nLoadMission=TRUE\r\n"},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = Write("doc.ini", c.input);
        ConfigDocument doc;
        const IniResult result = LoadIniDocument(path.c_str(), 1, &doc);
        ASSERT_EQ(result.ok, 1) << result.message;
        EXPECT_STREQ(doc.fileName, path.c_str());
        ASSERT_EQ(doc.Save(nullptr), 1);
        EXPECT_EQ(Read(path), kCanonical);
        DestroyIniDocument(&doc);
        EXPECT_EQ(LiveHostBlocks(), 0);
    }
}

class IniDocumentShape : public HostDataTest {};

TEST_F(IniDocumentShape, ValuesAreMadeByTheTextConstructor) {
    const std::string text = "[Values]\n"
                             "Digits=1972abc\n"
                             "Ratio=  2.5  \n"
                             "Negative= -40 \n"
                             "Word=hello\n"
                             "Empty=\n";
    ConfigDocument doc;
    ASSERT_EQ(LoadIniDocumentFromText("values.ini", text.data(), text.size(), 0, &doc).ok, 1);
    struct Expect {
        const char* key;
        const char* text; // none for no text
        int32_t intValue;
        float floatValue;
    };
    const Expect expected[] = {{"Digits", "1972abc", 1972, 1972.0f},
                               {"Ratio", "2.5", 2, 2.5f},
                               {"Negative", "-40", -40, -40.0f},
                               {"Word", "hello", 0, 0.0f},
                               {"Empty", nullptr, 0, 0.0f}};
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.key);
        ConfigValue* value = doc.Find("values", e.key);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, 0);
        EXPECT_STREQ(value->name, e.key);
        if (e.text == nullptr) {
            EXPECT_EQ(value->text, nullptr);
        } else {
            EXPECT_STREQ(value->text, e.text);
        }
        EXPECT_EQ(value->intValue, e.intValue);
        EXPECT_FLOAT_EQ(value->floatValue, e.floatValue);
        // Names and texts live in the document's pool.
        EXPECT_GE(value->name, doc.strings.start);
        EXPECT_LT(value->name, doc.strings.start + doc.strings.capacity);
    }
    EXPECT_EQ(doc.addMissing, 0);
    EXPECT_STREQ(doc.emptyWord, "");
    EXPECT_STREQ(doc.trueWord, kIniTrueWord);
    EXPECT_STREQ(doc.falseWord, kIniFalseWord);
    DestroyIniDocument(&doc);
}

TEST_F(IniDocumentShape, NamesAreUniqueIgnoringCaseAndFoundIgnoringCase) {
    // Names that differ by more than case are distinct; lookups ignore case.
    const std::string text = "[Pilot001]\nLastName=A\nLastNames=B\n[Pilot002]\nlastname=C\n";
    ConfigDocument doc;
    ASSERT_EQ(LoadIniDocumentFromText("roster.ini", text.data(), text.size(), 0, &doc).ok, 1);
    EXPECT_EQ(doc.sections.count, 2);
    EXPECT_EQ(doc.CountNumberedSections("Pilot%03d"), 2);
    char buffer[32];
    doc.GetString("PILOT001", "LASTNAMES", "", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "B");
    doc.GetString("pilot002", "LastName", "", buffer, sizeof buffer, 0);
    EXPECT_STREQ(buffer, "C");
    DestroyIniDocument(&doc);
}

TEST_F(IniDocumentShape, PoolKeepsRoomForAdditions) {
    const std::string text = "[S]\nK=1\n";
    ConfigDocument doc;
    ASSERT_EQ(LoadIniDocumentFromText("a.ini", text.data(), text.size(), 1, &doc).ok, 1);
    // About 57 KiB of new keys and texts fit in the default headroom.
    const std::string value(49, 'v');
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(doc.SetString("S", ("Key" + std::to_string(i)).c_str(), value.c_str()), 1) << i;
    }
    DestroyIniDocument(&doc);

    // A small headroom is honoured: a text longer than it is refused and nothing is added.
    ASSERT_EQ(LoadIniDocumentFromText("a.ini", text.data(), text.size(), 1, &doc, 8).ok, 1);
    EXPECT_EQ(doc.SetString("S", "New", "a text longer than eight bytes"), 0);
    EXPECT_EQ(doc.HasKey("S", "New"), 0);
    EXPECT_EQ(doc.SetString("S", "K", "tiny"), 1);
    DestroyIniDocument(&doc);
    EXPECT_EQ(LiveHostBlocks(), 0);
}

struct ErrorCase {
    const char* label;
    std::string text;
    int line;
    const char* fragment;
};

class IniErrors : public HostDataTest {};

TEST_F(IniErrors, EveryErrorNamesFileLineAndLeavesNoDocument) {
    const ErrorCase cases[] = {
        {"unterminated header", "[S]\nA=1\n[Pilot\nB=2\n", 3, "no closing \"]\""},
        {"text after header", "[S] extra\n", 1, "after the section header"},
        {"empty section name", "[  ]\n", 1, "empty section name"},
        {"key outside a section", "; note\nA=1\n[S]\n", 2, "outside a section"},
        {"line without equals", "[S]\nA=1\njunk\n", 3, "expected Key=Value"},
        {"key without name", "[S]\n = 1\n", 2, "without a name"},
        {"duplicate key ignoring case", "[S]\nKey=1\nOther=2\nKEY=3\n", 4,
         "duplicate key KEY in section [S] (first at line 2"},
        {"duplicate section ignoring case", "[Pilot]\nA=1\n[Other]\n[PILOT]\n", 4,
         "duplicate section [PILOT] (first at line 1"},
        {"over-long line", "[S]\nK=" + std::string(kIniMaxLineLength - 1, 'x') + "\n", 2,
         "longer than 4096 bytes"},
        {"NUL byte", std::string("[S]\nK=a\0b\n", 10), 2, "NUL byte at column 4"},
        {"control byte", "[S]\nK=a\x1b[0m\n", 2, "control byte 0x1B at column 4"},
        {"delete byte", "[S]\nK=\x7f\n", 2, "control byte 0x7F"},
        {"lone carriage return", "[S]\rK=1\n", 1, "carriage return without line feed"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = Write("bad.ini", c.text);
        ConfigDocument doc;
        const IniResult result = LoadIniDocument(path.c_str(), 1, &doc);
        EXPECT_EQ(result.ok, 0);
        EXPECT_EQ(result.notFound, 0);
        EXPECT_EQ(result.line, c.line);
        EXPECT_NE(result.message.find(path + ":" + std::to_string(c.line) + ": "),
                  std::string::npos)
            << result.message;
        EXPECT_NE(result.message.find(c.fragment), std::string::npos) << result.message;
        // Flagged as unreadable: empty, no file name, so it can never be saved over the file.
        EXPECT_EQ(doc.sections.count, 0);
        EXPECT_STREQ(doc.fileName, "");
        EXPECT_EQ(doc.Save(nullptr), 0);
        EXPECT_EQ(Read(path), c.text);
        DestroyIniDocument(&doc);
        EXPECT_EQ(LiveHostBlocks(), 0);
    }
}

TEST_F(IniErrors, LineLengthLimitIsExact) {
    // The limit counts the bytes before the line end, CR excluded.
    const std::string fits = "[S]\r\nK=" + std::string(kIniMaxLineLength - 2, 'x') + "\r\n";
    const std::string over = "[S]\r\nK=" + std::string(kIniMaxLineLength - 1, 'x') + "\r\n";
    IniFile file;
    EXPECT_EQ(ParseIniText("f.ini", fits.data(), fits.size(), &file).ok, 1);
    EXPECT_EQ(file.sections.at(0).entries.at(0).text.size(), kIniMaxLineLength - 2);
    const IniResult result = ParseIniText("f.ini", over.data(), over.size(), &file);
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(result.line, 2);
}

TEST_F(IniErrors, UnreadableFiles) {
    ConfigDocument doc;
    const std::string missing = (dir / "absent.ini").string();
    IniResult result = LoadIniDocument(missing.c_str(), 1, &doc);
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(result.notFound, 1);
    EXPECT_EQ(result.message.rfind(missing + ": cannot open", 0), 0u) << result.message;

    result = LoadIniDocument(dir.string().c_str(), 1, &doc); // a directory
    EXPECT_EQ(result.ok, 0);
    EXPECT_EQ(result.notFound, 0);
    EXPECT_FALSE(result.message.empty());

    const std::string tooLong(300, 'p');
    result = LoadIniDocument(tooLong.c_str(), 1, &doc);
    EXPECT_EQ(result.ok, 0);
    EXPECT_NE(result.message.find("longer than 259"), std::string::npos) << result.message;
    DestroyIniDocument(&doc);
}

TEST_F(IniErrors, LoadingWithoutMemoryServiceFailsClearly) {
    UnbindShell("HOST");
    const std::string text = "[S]\nK=1\n";
    ConfigDocument doc;
    const IniResult result = LoadIniDocumentFromText("a.ini", text.data(), text.size(), 1, &doc);
    BindShell("HOST", &shell);
    EXPECT_EQ(result.ok, 0);
    EXPECT_NE(result.message.find("memory service"), std::string::npos) << result.message;
    EXPECT_EQ(doc.sections.count, 0);
}

TEST_F(IniErrors, EveryRefusedAllocationFailsCleanly) {
    // Fail the N-th allocation for every N until a load gets through untouched.
    const std::string text = "[A]\nK=1\nL=two\n[B]\nM=3\n";
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        shell.memory.allocations = 0;
        shell.memory.failures = 0;
        shell.memory.failAt = n;
        ConfigDocument doc;
        const IniResult result =
            LoadIniDocumentFromText("a.ini", text.data(), text.size(), 1, &doc);
        shell.memory.failAt = 0;
        if (result.ok == 1) {
            EXPECT_EQ(shell.memory.failures, 0);
            EXPECT_EQ(doc.GetInt("B", "M", 0), 3);
            DestroyIniDocument(&doc);
            EXPECT_EQ(LiveHostBlocks(), 0);
            break;
        }
        EXPECT_NE(result.message.find("memory"), std::string::npos) << result.message;
        EXPECT_EQ(doc.sections.count, 0);
        EXPECT_STREQ(doc.fileName, "");
        DestroyIniDocument(&doc);
        EXPECT_EQ(LiveHostBlocks(), 0);
        ASSERT_LT(n, 100);
    }
}

TEST_F(IniDocumentShape, EmptyDocumentForAFileNotYetWritten) {
    const std::string path = (dir / "options.ini").string();
    ConfigDocument doc;
    ASSERT_EQ(InitEmptyIniDocument(&doc, path.c_str(), 1), 1);
    EXPECT_EQ(doc.GetInt("Pilot", "PilotID", 7), 7); // addMissing stores it
    ASSERT_EQ(doc.Save(nullptr), 1);
    EXPECT_EQ(Read(path), "[Pilot]\r\nPilotID=7\r\n\r\n");
    DestroyIniDocument(&doc);
    EXPECT_EQ(LiveHostBlocks(), 0);
}

} // namespace
