// Binding of a plug-in library to the application shell.
//
// One binding state per library (static, zero at load): the shell, the module tag, the six system
// services held while bound, a snapshot of APP values, and the MEM copies of the two banner texts.
// BindShell is the first thing InitMenuCode does and UnbindShell the last thing ExitMenuCode does.
// The memory functions of core/memory.h are defined here, over this state.
#pragma once

#include <cstdint>

#include "core/memory.h"
#include "framework/contract.h"

struct BindingState {
    AppShell* shell;
    char ModuleTag[8];
    DebugService* DBG;
    MemoryService* MEM;
    AppService* APP;
    LibraryService* DLL;
    FileService* FMG;
    RandomService* RND;
    int32_t appValueA;
    int32_t appValueB;
    int32_t appRecord[4];
    char* versionText;
    char* noticeText;
};

// The library's binding state (for the framework and for tests).
BindingState& Binding();

void BindShell(const char* tag, AppShell* shell);
int UnbindShell(const char* tag);

const char* VersionText();
const char* NoticeText();

void PushDirectory();
void PopDirectory();
int FileExists(const char* path, int flag);

// The one export macro of the plug-ins: C linkage, undecorated, visible outside the library.
#if defined(_WIN32)
#define MENU_EXPORT extern "C" __declspec(dllexport)
#else
#define MENU_EXPORT extern "C" __attribute__((visibility("default")))
#endif
