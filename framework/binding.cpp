#include "framework/binding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/text.h"

namespace {

BindingState g_binding; // zero at load

// Composition buffers of the banner texts; only the MEM copies are handed out.
char g_versionBuffer[16];
char g_noticeBuffer[96];

constexpr const char* kNotice = "Menu plug-in for the front end. Not for resale.";

void AppendNumber(char* buffer, size_t size, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", number);
    AppendText(buffer, digits, size);
}

void ComposeVersion() {
    ClearText(g_versionBuffer);
    AppendText(g_versionBuffer, "v", sizeof g_versionBuffer);
    AppendNumber(g_versionBuffer, sizeof g_versionBuffer, 7);
    AppendText(g_versionBuffer, ".", sizeof g_versionBuffer);
    AppendNumber(g_versionBuffer, sizeof g_versionBuffer, 5);
    AppendText(g_versionBuffer, ".", sizeof g_versionBuffer);
    AppendNumber(g_versionBuffer, sizeof g_versionBuffer, 5);
}

} // namespace

BindingState& Binding() {
    return g_binding;
}

void BindShell(const char* tag, AppShell* shell) {
    BindingState& b = g_binding;
    b.shell = shell;
    CopyText(b.ModuleTag, tag, sizeof b.ModuleTag);
    if (IsEmptyText(tag)) {
        ClearText(b.ModuleTag);
    }
    shell->AcquireService("DBG", &b.DBG);
    shell->AcquireService("MEM", &b.MEM);
    shell->AcquireService("APP", &b.APP);
    shell->AcquireService("DLL", &b.DLL);
    shell->AcquireService("FMG", &b.FMG);
    shell->AcquireService("RND", &b.RND);

    if (b.APP != nullptr) {
        b.appValueA = b.APP->GetAppValueA();
        b.appValueB = b.APP->GetAppValueB();
        const int32_t* record = b.APP->GetAppRecord();
        if (record != nullptr) {
            std::memcpy(b.appRecord, record, sizeof b.appRecord);
        }
    }

    CopyText(g_noticeBuffer, kNotice, sizeof g_noticeBuffer);
    b.noticeText = MemDupString(g_noticeBuffer);
    ComposeVersion();
    b.versionText = MemDupString(g_versionBuffer);
}

int UnbindShell(const char* tag) {
    BindingState& b = g_binding;
    if (!TextEquals(tag, b.ModuleTag, 1)) {
        Trace("Unable to exit application shell %s from DLL %s!", tag != nullptr ? tag : "",
              b.ModuleTag);
        return 0;
    }
    MemFreeString(&b.versionText);
    MemFreeString(&b.noticeText);
    b.appValueA = 0;
    b.appValueB = 0;

    AppShell* shell = b.shell;
    shell->ReleaseService("RND", &b.RND);
    shell->ReleaseService("FMG", &b.FMG);
    shell->ReleaseService("DLL", &b.DLL);
    shell->ReleaseService("APP", &b.APP);
    if (b.MEM != nullptr) {
        b.MEM->ReleaseTag(b.ModuleTag);
    }
    shell->ReleaseService("MEM", &b.MEM);
    return shell->ReleaseService("DBG", &b.DBG);
}

const char* VersionText() {
    return g_binding.versionText;
}
const char* NoticeText() {
    return g_binding.noticeText;
}

// ---- memory ------------------------------------------------------------------------------

void* MemAlloc(size_t size) {
    MemoryService* mem = g_binding.MEM;
    if (mem == nullptr) {
        return nullptr; // raw buffers have no fallback heap
    }
    return mem->Allocate(static_cast<uint32_t>(size), 0, 0, g_binding.ModuleTag);
}

void* MemNew(size_t size) {
    if (g_binding.MEM == nullptr) {
        return std::malloc(size);
    }
    return MemAlloc(size);
}

void MemFree(void* block) {
    if (g_binding.MEM != nullptr) {
        g_binding.MEM->Free(block);
    }
}

char* MemDupString(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(MemAlloc(size));
    if (copy != nullptr) {
        std::memcpy(copy, text, size);
    }
    return copy;
}

void MemFreeString(char** text) {
    if (text != nullptr && *text != nullptr) {
        MemFree(*text);
        *text = nullptr;
    }
}

// ---- directory and file wrappers ---------------------------------------------------------

void PushDirectory() {
    g_binding.FMG->PushDirectory();
}
void PopDirectory() {
    g_binding.FMG->PopDirectory();
}
int FileExists(const char* path, int flag) {
    return g_binding.FMG->FileExists(path, flag);
}
