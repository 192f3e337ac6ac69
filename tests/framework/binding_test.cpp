// Binding of a plug-in to the shell: tag copy, service order, tagged memory, banner texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/binding.h"
#include "framework/trace.h"
#include "tests/support/fake_shell.h"

namespace {

void CollectTrace(const char* message, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(message);
}

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Binding() = BindingState{};
        SetTraceSink(CollectTrace, &traces);
    }
    void TearDown() override { SetTraceSink(nullptr, nullptr); }

    fake::FakeShell shell;
    std::vector<std::string> traces;
};

TEST_F(BindingTest, ModuleTagIsCutToSevenCharacters) {
    struct Case {
        const char* tag;
        const char* stored;
    } const cases[] = {
        {"MAIN", "MAIN"},
        {"SEVENCH", "SEVENCH"},
        {"EIGHTCHR", "EIGHTCH"},
        {"A_VERY_LONG_TAG", "A_VERY_"},
        {"", ""},
        {nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fake::Text(c.tag));
        std::memset(Binding().ModuleTag, 'x', sizeof Binding().ModuleTag);
        BindShell(c.tag, &shell);
        EXPECT_STREQ(Binding().ModuleTag, c.stored);
        EXPECT_EQ(Binding().ModuleTag[7], '\0');
        // Unbinding with the stored tag works whenever the tag is not empty.
        EXPECT_EQ(UnbindShell(Binding().ModuleTag), *c.stored != '\0' ? 1 : 0);
        if (*c.stored == '\0') {
            // An empty tag can never be unbound: give the services back by hand for the check.
            Binding().ModuleTag[0] = 'Z';
            Binding().ModuleTag[1] = '\0';
            EXPECT_EQ(UnbindShell("Z"), 1);
        }
    }
    EXPECT_TRUE(shell.ContractProblems().empty()) << shell.journal.Dump();
}

TEST_F(BindingTest, ServicesAreReleasedInExactReverseOrder) {
    BindShell("MAIN", &shell);
    EXPECT_EQ(shell.journal.WithPrefix("Shell."),
              (std::vector<std::string>{"Shell.AcquireService(DBG)", "Shell.AcquireService(MEM)",
                                        "Shell.AcquireService(APP)", "Shell.AcquireService(DLL)",
                                        "Shell.AcquireService(FMG)", "Shell.AcquireService(RND)"}));
    EXPECT_TRUE(
        shell.journal.InOrder({"APP.GetAppValueA()", "APP.GetAppValueB()", "APP.GetAppRecord()"}));
    EXPECT_EQ(Binding().appValueA, shell.app.valueA);
    EXPECT_EQ(Binding().appValueB, shell.app.valueB);
    EXPECT_EQ(Binding().appRecord[3], 4);
    EXPECT_EQ(shell.memory.LiveBlocks("MAIN"), 2); // the two banner texts

    shell.journal.Clear();
    shell.releaseAnswer = 42;
    EXPECT_EQ(UnbindShell("MAIN"), 42); // the result of the last release
    EXPECT_EQ(shell.journal.entries,
              (std::vector<std::string>{"Shell.ReleaseService(RND)", "Shell.ReleaseService(FMG)",
                                        "Shell.ReleaseService(DLL)", "Shell.ReleaseService(APP)",
                                        "MEM.ReleaseTag(MAIN)", "Shell.ReleaseService(MEM)",
                                        "Shell.ReleaseService(DBG)"}));
    EXPECT_EQ(VersionText(), nullptr);
    EXPECT_EQ(NoticeText(), nullptr);
    EXPECT_EQ(Binding().appValueA, 0);
    EXPECT_EQ(Binding().appValueB, 0);
    EXPECT_EQ(Binding().appRecord[3], 4); // the record keeps its contents
    EXPECT_STREQ(Binding().ModuleTag, "MAIN");
    EXPECT_EQ(Binding().shell, &shell);
    EXPECT_TRUE(shell.ContractProblems().empty()) << shell.journal.Dump();
}

TEST_F(BindingTest, MismatchedUnbindIsTracedAndReleasesNothing) {
    struct Case {
        const char* bound; // none: never bound
        const char* given;
        const char* message;
    } const cases[] = {
        {nullptr, "MAIN", "Unable to exit application shell MAIN from DLL !"},
        {"MAIN", "main", "Unable to exit application shell main from DLL MAIN!"},
        {"SMSN", "MAIN", "Unable to exit application shell MAIN from DLL SMSN!"},
        {"MAIN", "", "Unable to exit application shell  from DLL MAIN!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        fake::FakeShell local;
        Binding() = BindingState{};
        traces.clear();
        if (c.bound != nullptr) {
            BindShell(c.bound, &local);
        }
        local.journal.Clear();
        EXPECT_EQ(UnbindShell(c.given), 0);
        EXPECT_EQ(traces, std::vector<std::string>{c.message});
        EXPECT_TRUE(local.journal.entries.empty()) << local.journal.Dump();
        if (c.bound != nullptr) {
            EXPECT_NE(VersionText(), nullptr); // nothing was freed
            EXPECT_EQ(UnbindShell(c.bound), 1);
            EXPECT_TRUE(local.ContractProblems().empty()) << local.journal.Dump();
        }
    }
}

TEST_F(BindingTest, BannerTexts) {
    BindShell("MAIN", &shell);
    ASSERT_NE(VersionText(), nullptr);
    EXPECT_STREQ(VersionText(), "v07.05.05");
    EXPECT_EQ(std::strlen(VersionText()) + 1, 10u);
    ASSERT_NE(NoticeText(), nullptr);
    EXPECT_GT(std::strlen(NoticeText()), 0u);
    EXPECT_EQ(std::strchr(NoticeText(), '\n'), nullptr); // a single line
    EXPECT_EQ(UnbindShell("MAIN"), 1);
}

TEST_F(BindingTest, BannerTextsStayNoneWhenMemoryRefuses) {
    shell.memory.failAt = 1;
    shell.memory.failFromThenOn = true;
    BindShell("MAIN", &shell);
    EXPECT_EQ(VersionText(), nullptr);
    EXPECT_EQ(NoticeText(), nullptr);
    EXPECT_EQ(UnbindShell("MAIN"), 1);
    EXPECT_TRUE(shell.ContractProblems().empty()) << shell.journal.Dump();
}

TEST_F(BindingTest, MemDupString) {
    BindShell("MAIN", &shell);
    struct Case {
        const char* text;
        bool copied;
        size_t bytes;
    } const cases[] = {{nullptr, false, 0}, {"", true, 1}, {"abc", true, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(fake::Text(c.text));
        const int before = shell.memory.LiveBlocks("MAIN");
        const size_t bytesBefore = shell.memory.LiveBytes("MAIN");
        char* copy = MemDupString(c.text);
        ASSERT_EQ(copy != nullptr, c.copied);
        if (copy != nullptr) {
            EXPECT_NE(copy, c.text);
            EXPECT_STREQ(copy, c.text);
            EXPECT_EQ(shell.memory.LiveBlocks("MAIN"), before + 1);
            EXPECT_EQ(shell.memory.LiveBytes("MAIN") - bytesBefore, c.bytes);
        }
        MemFreeString(&copy);
        EXPECT_EQ(copy, nullptr);
        EXPECT_EQ(shell.memory.LiveBlocks("MAIN"), before);
    }
    shell.memory.failAt = shell.memory.allocations + 1;
    EXPECT_EQ(MemDupString("abc"), nullptr);
    EXPECT_EQ(UnbindShell("MAIN"), 1);
    EXPECT_TRUE(shell.ContractProblems().empty()) << shell.journal.Dump();
}

TEST_F(BindingTest, MemoryWhileUnbound) {
    EXPECT_EQ(MemAlloc(16), nullptr); // raw buffers have no fallback
    void* object = MemNew(16);        // objects fall back to the C heap
    ASSERT_NE(object, nullptr);
    MemFree(object); // does nothing: the block stays allocated
    std::memset(object, 0, 16);
    std::free(object);

    char* text = static_cast<char*>(std::malloc(4));
    char* const kept = text;
    MemFreeString(&text); // nothing freed, but the pointer is cleared all the same
    EXPECT_EQ(text, nullptr);
    std::free(kept);
    MemFreeString(nullptr);
}

TEST_F(BindingTest, MemoryWhileBoundGoesToTheShellUnderTheTag) {
    BindShell("SMSN", &shell);
    shell.memory.journalCalls = true;
    void* raw = MemAlloc(24);
    void* object = MemNew(8);
    ASSERT_NE(raw, nullptr);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(shell.memory.IsLive(raw));
    EXPECT_TRUE(shell.memory.IsLive(object));
    EXPECT_EQ(shell.memory.LiveBytes("SMSN"),
              24u + 8u + std::strlen(VersionText()) + 1 + std::strlen(NoticeText()) + 1);
    EXPECT_TRUE(shell.journal.InOrder({"MEM.Allocate(24,0,0,SMSN)", "MEM.Allocate(8,0,0,SMSN)"}));
    MemFree(raw);
    MemFree(object);
    EXPECT_EQ(UnbindShell("SMSN"), 1);
    EXPECT_TRUE(shell.ContractProblems().empty()) << shell.journal.Dump();
}

} // namespace
